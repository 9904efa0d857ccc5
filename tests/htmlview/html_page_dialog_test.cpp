#include "htmlview/html_page_dialog.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineSettings>
#include <atomic>
#include <utility>
#include <vector>

#include "htmlview/html_ctrl_ex.h"
#include "support/loopback_server.h"
#include "support/message_box_recorder.h"
#include "support/page_script.h"
#include "support/shell_open_recorder.h"
#include "support/web_view_test.h"

namespace lumarine {
namespace {

// An owner that records the commands its page sends and then handles them as usual.
class RecordingDialog : public HtmlPageDialog {
 public:
  explicit RecordingDialog(int resource, int showScrollBars)
      : HtmlPageDialog(nullptr, resource, 1000, QRect(0, 0, 400, 300), showScrollBars) {
    resize(400, 300);
  }
  void OnAppCommand(unsigned commandId, const std::string& argument) override {
    commands.emplace_back(commandId, argument);
    HtmlPageDialog::OnAppCommand(commandId, argument);
  }
  void OnDocumentReady() override { ++documents; }

  std::vector<std::pair<unsigned, std::string>> commands;
  int documents = 0;
};

QString TallContent() {
  return "document.getElementById('c_1').innerHTML = '<div style=\"height:3000px\">x</div>';";
}

}  // namespace

class HtmlPageDialogTest : public WebViewTest {
  Q_OBJECT

 private slots:
  void initTestCase() {
    manager_ = std::make_unique<RecordingDialog>(kHtmlChannelManager, 1);
    bar_ = std::make_unique<RecordingDialog>(kHtmlNewsList, 0);
    manager_->show();
    bar_->show();
    QVERIFY(test::WaitForDocument(manager_->View()));
    QVERIFY(test::WaitForDocument(bar_->View()));
  }

  void templatesAreCarriedByteForByteAndReadAsGb2312() {
    for (const auto& [resource, file] :
         {std::pair{":/pages/news_list.htm", "news_list.htm"},
          std::pair{":/pages/channel_manager.htm", "channel_manager.htm"}}) {
      QFile carried(resource);
      QFile source(QString(LUMARINE_SOURCE_DIR "/resources/pages/") + file);
      QVERIFY(carried.open(QIODevice::ReadOnly));
      QVERIFY(source.open(QIODevice::ReadOnly));
      QCOMPARE(carried.readAll(), source.readAll());
    }
    // Nothing else: every page the program carries is one of these two.
    QCOMPARE(QDir(":/pages").entryList(), (QStringList{"channel_manager.htm", "news_list.htm"}));
    QCOMPARE(test::RunScript(bar_->View()->page(), "document.getElementById('loading').innerText")
                 .toString(),
             QString::fromUtf8("正在加载数据..."));
    QCOMPARE(bar_->documents, 1);
  }

  void appLinksReachTheOwnerAndNeverChangeThePage_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<uint>("id");
    QTest::addColumn<QString>("argument");
    QTest::newRow("no @: single blank") << "window.navigate('app:1005')" << 1005u << " ";
    QTest::newRow("later @ in argument") << "window.navigate('app:1006@a@b')" << 1006u << "a@b";
    QTest::newRow("chinese name") << QString::fromUtf8("window.navigate('app:1006@热点 信息')")
                                  << 1006u << QString::fromUtf8("热点 信息");
    QTest::newRow("link click") << QString::fromUtf8(
                                       "var a = document.createElement('a'); a.href = "
                                       "'app:1005@科技'; document.body.appendChild(a); a.click();")
                                << 1005u << QString::fromUtf8("科技");
    QTest::newRow("id 0") << "location.href = 'app:x@y'" << 0u << "y";
  }
  void appLinksReachTheOwnerAndNeverChangeThePage() {
    QFETCH(QString, script);
    QFETCH(uint, id);
    QFETCH(QString, argument);
    manager_->commands.clear();
    const QUrl before = manager_->View()->url();
    test::RunScript(manager_->View()->page(), script);
    QTRY_COMPARE_WITH_TIMEOUT(manager_->commands.size(), size_t{1}, 10000);
    QCOMPARE(manager_->commands[0].first, id);
    QCOMPARE(QString::fromStdString(manager_->commands[0].second), argument);
    test::Settle();
    QCOMPARE(manager_->View()->url(), before);
    QCOMPARE(manager_->documents, 1);
  }

  void capitalPrefixEndsTheDialogWithOne() {
    RecordingDialog dialog(kHtmlChannelManager, 1);
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.show();
    QVERIFY(test::WaitForDocument(dialog.View()));
    test::RunScript(dialog.View()->page(), "window.navigate('APP:1000@')");
    QTRY_COMPARE_WITH_TIMEOUT(dialog.commands.size(), size_t{1}, 10000);
    QCOMPARE(dialog.commands[0].first, 1000u);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toInt(), 1);
    QCOMPARE(dialog.result(), 1);
    QVERIFY(!dialog.isVisible());
  }

  void resizeCommandsChangeTheDialogAndTheView() {
    const QSize start = manager_->size();
    manager_->OnAppCommand(1001, "x40@25");
    QCOMPARE(manager_->size(), start + QSize(-40, 25));
    QCOMPARE(manager_->View()->geometry(), QRect(QPoint(0, 0), manager_->size()));
    manager_->OnAppCommand(1002, "x40@25");
    QCOMPARE(manager_->size(), start);
    manager_->OnAppCommand(1002, "");  // nothing to read: no change, no fault
    QCOMPARE(manager_->size(), start);
  }

  void addressWithAppLaterInItIsNoCommandAndOpensInTheBrowser() {
    test::ShellOpenRecorder opened;
    RecordingDialog dialog(kHtmlChannelManager, 1);
    QVERIFY(test::WaitForDocument(dialog.View()));
    const QString address = "http://127.0.0.1:9/page?next=app:1006@x";
    test::RunScript(dialog.View()->page(), "var a = document.createElement('a'); a.href = '" +
                                               address +
                                               "'; document.body.appendChild(a); a.click();");
    QTRY_COMPARE_WITH_TIMEOUT(opened.Opened().size(), size_t{1}, 10000);
    QCOMPARE(QString::fromStdString(opened.Opened()[0]), address);
    QVERIFY(dialog.commands.empty());
    QCOMPARE(dialog.View()->url().toString(), QString("qrc:/pages/channel_manager.htm"));
  }

  void theTemplateStaysWhateverThePageOrADropTriesToLoad() {
    test::LoopbackServer server;
    std::atomic<int> served{0};
    server.Server().Get("/page", [&served](const httplib::Request&, httplib::Response& response) {
      ++served;
      response.set_content("<p id=p>elsewhere</p>", "text/html");
    });
    server.Start();
    const QString address = QString::fromStdString(server.Url("/page"));
    CHtmlCtrlEx* view = bar_->View();
    const int documents = bar_->documents;
    for (const QString& script :
         {"location.href = '" + address + "'", "window.navigate('" + address + "')",
          "location.replace('" + address + "')"}) {
      test::RunScript(view->page(), script);
      test::Settle(500);
    }
    // A link dropped on the page.
    QWidget* target = view->focusProxy() ? view->focusProxy() : view;
    QMimeData dropped;
    dropped.setUrls({QUrl(address)});
    dropped.setText(address);
    const QPoint at(50, 50);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::LinkAction, &dropped, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction | Qt::LinkAction, &dropped, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &move);
    test::Settle(300);
    QDropEvent drop(at, Qt::CopyAction | Qt::LinkAction, &dropped, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &drop);
    test::Settle(1000);

    QCOMPARE(served.load(), 0);
    QCOMPARE(view->url().toString(), QString("qrc:/pages/news_list.htm"));
    QCOMPARE(bar_->documents, documents);
    QVERIFY(!view->settings()->testAttribute(QWebEngineSettings::NavigateOnDropEnabled));
    QCOMPARE(test::RunScript(view->page(), "document.getElementById('loading') ? 1 : 0").toInt(),
             1);
  }

  void scriptAlertsAreCaptionedCaption() {
    test::MessageBoxRecorder boxes;
    test::RunScript(bar_->View()->page(), "alert('hello'); 1");
    QTRY_COMPARE_WITH_TIMEOUT(boxes.Calls().size(), size_t{1}, 10000);
    QCOMPARE(boxes.Calls()[0].text, std::string("hello"));
    QCOMPARE(boxes.Calls()[0].caption, std::string("Caption"));
    QCOMPARE(boxes.Calls()[0].buttons, unsigned{kMbOk});
  }

  void barHidesScrollBarsManagerShowsThemBothScroll() {
    // A shown vertical scroll bar takes width from the layout viewport.
    const QString gutter = "window.innerWidth - document.documentElement.clientWidth";
    for (RecordingDialog* dialog : {bar_.get(), manager_.get()}) {
      test::RunScript(dialog->View()->page(), TallContent());
      test::Settle();
    }
    QCOMPARE(test::RunScript(bar_->View()->page(), gutter).toInt(), 0);
    QVERIFY(test::RunScript(manager_->View()->page(), gutter).toInt() > 0);

    bar_->ScrollBy(true, 30);
    QTRY_COMPARE_WITH_TIMEOUT(
        test::RunScript(bar_->View()->page(), "document.body.scrollTop").toInt(), 30, 5000);
    bar_->ScrollBy(true, 30);
    bar_->ScrollBy(false, 30);
    QTRY_COMPARE_WITH_TIMEOUT(
        test::RunScript(bar_->View()->page(), "document.body.scrollTop").toInt(), 30, 5000);
  }

  void fontSizeIsKeptAcrossReloads() {
    CHtmlCtrlEx* view = bar_->View();
    view->SetFontSize(14);
    QCOMPARE(test::RunScript(view->page(), "document.body.style.fontSize").toString(),
             QString("14px"));
    view->LoadFromResource(kHtmlNewsList);
    QVERIFY(test::WaitForDocument(view));
    QCOMPARE(test::RunScript(view->page(), "document.body.style.fontSize").toString(),
             QString("14px"));
    test::RunScript(view->page(), "document.body.style.fontSize = '20px'");
    view->SetFontSize(0);
    QCOMPARE(test::RunScript(view->page(), "document.body.style.fontSize").toString(),
             QString("14px"));
    QVERIFY(!view->LoadFromResource(999));
  }

  void operationsWaitForTheLoadThatQueuedThemNotAnEarlierOne() {
    // A load started while another is still on its way: what is queued after it belongs to
    // its document, whatever the earlier load reports on the way.
    RecordingDialog dialog(kHtmlNewsList, 0);
    CHtmlCtrlEx* view = dialog.View();
    QVERIFY(test::WaitForDocument(view));
    for (int pause = 0; pause < 40; pause += 2) {
      view->LoadFromResource(kHtmlNewsList);
      test::Settle(pause);
      view->LoadFromResource(kHtmlNewsList);
      view->RunWhenLoaded(
          "document.getElementById('c_1').insertAdjacentHTML('afterbegin', '<p id=mark></p>')");
      QTRY_VERIFY_WITH_TIMEOUT(!view->IsLoading(), 10000);
      test::Settle(100);
      QVERIFY2(
          test::RunScript(view->page(), "document.getElementById('mark') ? 1 : 0").toInt() == 1,
          qPrintable(QString("pause %1 ms").arg(pause)));
    }
  }

 private:
  std::unique_ptr<RecordingDialog> manager_;
  std::unique_ptr<RecordingDialog> bar_;
};

}  // namespace lumarine

QTEST_MAIN(lumarine::HtmlPageDialogTest)

#include "html_page_dialog_test.moc"
