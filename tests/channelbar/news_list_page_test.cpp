#include "channelbar/news_list_page.h"

#include <QDir>
#include <QTest>

#include "htmlview/doc_host_handler.h"
#include "htmlview/html_ctrl_ex.h"
#include "support/page_script.h"
#include "support/shell_open_recorder.h"
#include "support/web_view_test.h"

namespace lumarine {
namespace {

RssItem Item(const std::string& title, const std::string& link = "http://news.example/item",
             const std::string& className = "科技") {
  RssItem item;
  item.title = title;
  item.link = link;
  item.className = className;
  return item;
}

}  // namespace

// The bar's page in a 200-pixel view without scroll bars, as the channel bar shows it.
class NewsListPageTest : public WebViewTest {
  Q_OBJECT

 private slots:
  void initTestCase() {
    view_ = std::make_unique<CHtmlCtrlEx>();
    view_->SetHandler(&handler_);
    view_->resize(200, 500);
    view_->show();
    QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
    page_ = std::make_unique<NewsListPage>(view_.get());
  }

  void init() {
    page_->Reload();
    QVERIFY(test::WaitForDocument(view_.get()));
  }

  void latestPassesShowOnTop() {
    for (const char* title : {"A", "B", "C"}) page_->InsertNewsRow(Item(title));
    page_->InsertNewsRow(Item("D"));
    QCOMPARE(RowTexts(), QStringList({"D", "C", "B", "A"}));
  }

  void aRowAlreadyOnThePageIsNeverInsertedAgain() {
    page_->InsertNewsRow(Item("A"));
    page_->InsertNewsRow(Item("B"));
    page_->InsertNewsRow(Item("A"));
    page_->InsertNewsRow(Item("A", "http://news.example/other"));  // another item
    QCOMPARE(RowTexts(), QStringList({"A", "B", "A"}));
    page_->Reload();
    QVERIFY(test::WaitForDocument(view_.get()));
    page_->InsertNewsRow(Item("A"));  // a fresh page shows it again
    QCOMPARE(RowTexts(), QStringList({"A"}));
  }

  void rowsSentDuringALoadArriveAfterItInOrder() {
    page_->InsertNewsRow(Item("old"));
    page_->Reload();  // drops the rows of the page it replaces
    page_->InsertNewsRow(Item("first"));
    page_->InsertNewsRow(Item("second"));
    QVERIFY(view_->IsLoading());
    QVERIFY(test::WaitForDocument(view_.get()));
    QCOMPARE(RowTexts(), QStringList({"second", "first"}));
  }

  void loadingMarkerShowsAfterALoadUntilHidden() {
    const QString display = "document.getElementById('loading').style.display";
    QCOMPARE(Script("getComputedStyle(document.getElementById('loading')).display"),
             QString("block"));
    page_->SetElementHidden("loading", true);
    QCOMPARE(Script(display), QString("none"));
    page_->SetElementHidden("loading", false);
    QCOMPARE(Script(display), QString(""));
    page_->SetElementHidden("no-such-element", true);  // silently nothing
    QCOMPARE(Script(display), QString(""));
  }

  // Titles are HTML: inline markup takes effect, the rest goes with its text kept.
  void feedMarkupShowsAsTextAndRunsNothing() {
    const std::string img = "<img src=x onerror=\"window.ran=1\">";
    page_->InsertNewsRow(Item("<b>bold</b> &amp; more"));
    page_->InsertNewsRow(Item(img + "pic", "http://a.example/", "<script>window.ran=2</script>"));
    test::Settle(300);
    QCOMPARE(Script("String(window.ran)"), QString("undefined"));
    QCOMPARE(Script("document.querySelectorAll('#c_1 img, #c_1 script').length"), QString("0"));
    QCOMPARE(Script("document.querySelectorAll('#c_1 b').length"), QString("1"));
    QCOMPARE(RowTexts(), QStringList({"pic", "bold & more"}));
    QCOMPARE(Script("document.querySelector('#c_1 .classtag').textContent"),
             QString("[<script>window.ran=2</script>]"));
  }

  void aLinkWithABlankOpensWholeInTheDefaultBrowser() {
    test::ShellOpenRecorder opened;
    page_->InsertNewsRow(Item("spaced", "http://news.example/a b?x=1"));
    QCOMPARE(Script("document.querySelector('#c_1 a').getAttribute('href')"),
             QString("http://news.example/a b?x=1"));
    const QRect link = LinkRect();
    QVERIFY(link.isValid());
    QTest::mouseClick(view_->focusProxy(), Qt::LeftButton, {}, link.center());
    QTRY_COMPARE_WITH_TIMEOUT(opened.Opened().size(), size_t{1}, 10000);
    QCOMPARE(opened.Opened()[0], std::string("http://news.example/a%20b?x=1"));
    QCOMPARE(view_->url().toString(), QString("qrc:/pages/news_list.htm"));
  }

  void rowsWrapInsideTheBar() {
    for (const char* title :
         {"这是一条很长的新闻标题，用来检查在两百像素宽的栏中能否正常换行显示",
          "An English headline long enough to need two or three lines in the bar",
          "Unbroken_http://very.long.example/path/without/any/blank/at/all/in/it"})
      page_->InsertNewsRow(Item(title));
    // Every row and the document fit the view's width: nothing runs off to the right.
    QCOMPARE(Script("document.scrollingElement.scrollWidth <= window.innerWidth"), QString("true"));
    QCOMPARE(Script("Array.from(document.querySelectorAll('#c_1 > div')).every("
                    "d => d.getBoundingClientRect().right <= 200 && "
                    "d.getBoundingClientRect().height > 20)"),
             QString("true"));
    test::Settle(1000);  // let the compositor draw the rows before grabbing
    const QString shot = QDir::temp().filePath("lumarine_news_list_page.png");
    QVERIFY(view_->grab().save(shot));
    qInfo("screenshot: %s", qPrintable(shot));
  }

  void cleanupTestCase() {
    page_.reset();
    view_.reset();
  }

 private:
  QString Script(const QString& script) {
    return test::RunScript(view_->page(), script).toString();
  }
  QStringList RowTexts() {
    return test::RunScript(view_->page(),
                           "Array.from(document.querySelectorAll('#c_1 > div')).map("
                           "d => d.firstChild.textContent)")
        .toStringList();
  }
  QRect LinkRect() {
    const QStringList parts =
        Script(
            "var r = document.querySelector('#c_1 a').getBoundingClientRect();"
            "[Math.round(r.x), Math.round(r.y), Math.round(r.width), Math.round(r.height)]"
            ".join(',')")
            .split(',');
    return QRect(parts[0].toInt(), parts[1].toInt(), parts[2].toInt(), parts[3].toInt());
  }

  DocHostHandler handler_;  // scroll bars hidden, as in the bar
  std::unique_ptr<CHtmlCtrlEx> view_;
  std::unique_ptr<NewsListPage> page_;
};

}  // namespace lumarine

QTEST_MAIN(lumarine::NewsListPageTest)

#include "news_list_page_test.moc"
