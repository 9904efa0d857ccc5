// The subject page opens in the user's browser: this loads one full of hostile descriptions
// and titles in a real engine (local pages may reach files and the web, as a browser lets
// them) and records what the page tries.
#include <QApplication>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <set>

#include "platform/text_codec.h"
#include "subjects/subject_page.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

// Every request the page makes, none let through: nothing leaves the machine.
class RequestRecorder : public QWebEngineUrlRequestInterceptor {
 public:
  using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
  void interceptRequest(QWebEngineUrlRequestInfo& info) override {
    requests.push_back(info.requestUrl());
    info.block(info.requestUrl() != page);
  }
  QUrl page;
  std::vector<QUrl> requests;
};

class RecordingPage : public QWebEnginePage {
 public:
  using QWebEnginePage::QWebEnginePage;
  std::vector<QUrl> navigations;
  int dialogs = 0;
  int windows = 0;

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
    navigations.push_back(url);
    return navigations.size() == 1;  // the page itself
  }
  void javaScriptAlert(const QUrl&, const QString&) override { ++dialogs; }
  bool javaScriptConfirm(const QUrl&, const QString&) override { return ++dialogs, false; }
  bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override {
    return ++dialogs, false;
  }
  QWebEnginePage* createWindow(WebWindowType) override { return ++windows, nullptr; }
};

// Each tries to run script (which would set window.ran), load a local file or go elsewhere.
const char* const kHostile[] = {
    "<script>window.ran=1;alert(1)</script>",
    "<img src=x onerror=\"window.ran=1\"><img src=\"/etc/passwd\"><img src=\"passwd\">",
    "<img src=\"file:///etc/passwd\"><img src=\"FiLe:/etc/hosts\"><img src=\" file:///x\">",
    "<img src=\"&#x66;ile:///etc/passwd\"><img src=\"fi&#x09;le:///etc/passwd\">",
    "<iframe src=\"file:///etc/passwd\"></iframe><frameset><frame src=\"file:///\">",
    "<object data=\"file:///etc/passwd\"></object><embed src=\"file:///etc/passwd\">",
    "<link rel=stylesheet href=\"file:///x.css\"><style>@import url(file:///y.css);</style>",
    "<div style=\"background:url(file:///z.png)\">styled</div><table background=\"file:///t\">",
    "<img srcset=\"file:///s.png 1x\"><video poster=\"file:///p.png\" src=\"file:///v\"></video>",
    "<audio src=\"file:///a.mp3\"></audio><source src=\"file:///b\"><input type=image src=\"/i\">",
    "<base href=\"file:///etc/\"><img src=\"shadow\"><a href=\"group\">base</a>",
    "<meta http-equiv=\"refresh\" content=\"0;url=http://elsewhere.test/\">",
    "<svg onload=\"window.ran=1\"><image href=\"file:///svg.png\"/><script>window.ran=1</script>",
    "<math><maction actiontype=statusline "
    "xlink:href=\"javascript:window.ran=1\">m</maction></math>",
    "<noscript><p title=\"</noscript><img src=x onerror=window.ran=1>\"></noscript>",
    "<a href=\"javascript:window.ran=1\" id=j>j</a><a href=\"&#106;avascript:alert(1)\">k</a>",
    "<form action=\"http://elsewhere.test/\"><button autofocus onfocus=\"window.ran=1\">b</button>",
    "<body onload=\"window.ran=1\"><details open ontoggle=\"window.ran=1\">d</details>",
    "</td></tr></table><script>window.ran=1</script><table><tr><td>",
    "<img src=\"http://listed.test/ok.png\"><img src=\"//cdn.test/i.png\"><a href=\"/n\">n</a>",
};

}  // namespace

class SubjectPageHostileTest : public QObject {
  Q_OBJECT

 public:
  // Web views share GL contexts, which must be said before the application exists.
  static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

 private slots:
  void hostileDescriptionsRunNothingLoadNoFileAndGoNowhere() {
    std::vector<SubjectFeedItem> items;
    for (const char* description : kHostile)
      items.push_back({"<img src=file:///t.png onerror=\"window.ran=1\"><b>t</b>",
                       "http://news.test/item/1.html", description});
    items.push_back({"<script>window.ran=1</script>", "file:///etc/passwd", "<img src=\"r.png\">"});
    items.push_back({"x", "javascript:window.ran=1", "<a href=\"r\">r</a>"});
    // The feed itself was a local file: nothing relative may resolve against it.
    const std::string html =
        BuildSubjectPage("新闻 <script>window.ran=1</script>", items, "file:///home/user/feed.xml");
    test::TempDir dir;
    dir.Write("subject.htm", Utf8ToGb18030(html));

    RequestRecorder recorder;
    QWebEngineProfile profile;
    recorder.page = QUrl::fromLocalFile(QString::fromStdString(dir.File("subject.htm")));
    profile.setUrlRequestInterceptor(&recorder);
    RecordingPage page(&profile);
    page.settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    page.settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    page.settings()->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
    page.load(recorder.page);
    QVERIFY(loaded.wait(30000));
    QVERIFY(loaded.first().first().toBool());
    // Whatever the page queued behind its load (a refresh, a timer) runs before this probe.
    QSignalSpy titled(&page, &QWebEnginePage::titleChanged);
    page.runJavaScript("setTimeout(function(){document.title='settled'},100)");
    QVERIFY(titled.wait(10000));
    QCOMPARE(page.title(), QString("settled"));

    QVariant ran;
    bool answered = false;
    page.runJavaScript(
        "typeof window.ran + '|' + document.characterSet + '|' + "
        "document.querySelector('.channelTitle').textContent",
        [&](const QVariant& value) { ran = value, answered = true; });
    QTRY_VERIFY_WITH_TIMEOUT(answered, 10000);
    QCOMPARE(ran.toString(),
             QString::fromUtf8("undefined|GB18030|新闻 <script>window.ran=1</script>"));
    QCOMPARE(page.dialogs, 0);
    QCOMPARE(page.windows, 0);
    QCOMPARE(page.navigations.size(), size_t{1});
    QCOMPARE(page.navigations.front(), recorder.page);

    // Every request is the page or an address the page lists, and none is a file.
    std::set<QString> listed;
    static const QRegularExpression kAddress("(?:href|src)=\"([^\"]*)\"");
    for (auto match = kAddress.globalMatch(QString::fromStdString(html)); match.hasNext();)
      listed.insert(match.next().captured(1).replace("&amp;", "&"));
    QVERIFY(listed.count("http://listed.test/ok.png"));
    QVERIFY(listed.count("https://cdn.test/i.png"));
    QVERIFY(listed.count("http://news.test/n"));
    QVERIFY(!recorder.requests.empty());
    for (const QUrl& request : recorder.requests) {
      if (request == recorder.page) continue;
      QVERIFY2(request.scheme() != "file", qPrintable(request.toString()));
      QVERIFY2(listed.count(request.toString()), qPrintable(request.toString()));
    }
    QVERIFY(html.find("file:") == std::string::npos);
  }
};

}  // namespace lumarine

QTEST_MAIN(lumarine::SubjectPageHostileTest)

#include "subject_page_hostile_test.moc"
