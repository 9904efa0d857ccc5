#include "subjects/subject_bar.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "base/command_ids.h"
#include "base/label_button.h"
#include "base/message_ids.h"
#include "htmlview/html_ctrl_ex.h"
#include "platform/process_values.h"
#include "platform/settings.h"
#include "platform/text_codec.h"
#include "subjects/subject_tree.h"
#include "subjects/subject_url_template.h"
#include "support/loopback_server.h"
#include "support/message_box_recorder.h"
#include "support/shell_open_recorder.h"
#include "support/subject_titles.h"
#include "support/temp_dir.h"
#include "support/web_view_test.h"

namespace lumarine {
namespace {

QPoint Inside(const SubjectItem* item) {
  return QPoint(item->rect.left + 20, (item->rect.top + item->rect.bottom) / 2);
}

// Records the messages the bar posts to its frame.
class FrameRecorder : public QWidget {
 public:
  bool event(QEvent* event) override {
    if (static_cast<int>(event->type()) == kMsgToggleSubjectBar) {
      ++toggles;
      return true;
    }
    return QWidget::event(event);
  }
  int toggles = 0;
};

// Answers the next modal dialog: fills its first line edit (if `text` is given) and
// presses OK. Records what the edit held when the dialog opened.
void AnswerNextDialog(const QString& text, QString* prefilled = nullptr) {
  QTimer::singleShot(0, [text, prefilled] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    if (auto* edit = dialog->findChild<QLineEdit*>()) {
      if (prefilled) *prefilled = edit->text();
      edit->setText(text);
    }
    dialog->accept();
  });
}

}  // namespace

class SubjectBarTest : public WebViewTest {
  Q_OBJECT

 private slots:
  void initTestCase() {
    server_.Server().Get("/feed", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(
          "<rss><channel><title>c</title><item><title>头条新闻</title>"
          "<link>http://news.test/1</link><description>正文</description></item>"
          "</channel></rss>",
          "text/xml; charset=utf-8");
    });
    server_.Start();
  }

  void init() {
    program_ = std::make_unique<test::ScopedProgramDirectory>();
    SetSubjectSearchTemplate("http://search.test/news?q=%s");
  }
  void cleanup() {
    bar_.reset();
    frame_.reset();
    program_.reset();
    SetSubjectSearchTemplate(std::string(Settings::kGoogleNewsTemplate));
  }

  void startsWithAnEmptyFileAndTheStoredLook() {
    Settings::SetSubjectTextColor(0x00FF00);
    Open();
    QVERIFY(Reloaded().empty());
    QVERIFY(program_->ReadProfile("subject.xml").find("<SUBJECTS SAVETIME=") != std::string::npos);
    QCOMPARE(bar_->Tree()->TextColor(), uint32_t(0x00FF00));
    QCOMPARE(bar_->MenuButton()->GetKind(), int(LabelButton::kMenu));
    // The tree keeps its distances to the bar's edges when the frame resizes the bar.
    ShowAndPaint();
    const auto gaps = [this] {
      const QRect tree = bar_->Tree()->geometry();
      return QList<int>(
          {tree.left(), tree.top(), bar_->width() - tree.right(), bar_->height() - tree.bottom()});
    };
    bar_->resize(200, 400);
    const QList<int> before = gaps();
    bar_->resize(180, 520);
    QCOMPARE(gaps(), before);
    QCOMPARE(before[1], 19);  // below the header strip's caption row
    // Rounded corners: the corner pixel is outside the window shape.
    QVERIFY(!bar_->mask().contains(QPoint(0, 0)));
    QVERIFY(bar_->mask().contains(QPoint(90, 260)));
  }

  void loadsTheTreeFromTheFileGroupsFirst() {
    program_->WriteProfile(
        "subject.xml",
        "<?xml version=\"1.0\" encoding=\"gb2312\"?><SUBJECTS SAVETIME=\"1\">"
        "<ITEM FOLDER=\"0\" TITLE=\"A\" FEED=\"A\" TYPE=\"1\"/>"
        "<ITEM FOLDER=\"1\" TITLE=\"G\"><ITEM FOLDER=\"0\" TITLE=\"F\" FEED=\"http://f\" "
        "TYPE=\"2\"/></ITEM></SUBJECTS>");
    Open();
    QCOMPARE(TreeTitles(), std::string("G[F] A"));
  }

  void newSubjectsAndGroupsGoToTheFileAndTheTree() {
    Open();
    AnswerNextDialog("Sport");
    bar_->OnCommand(kCmdNewSubjectGroup);
    QCOMPARE(TreeTitles(), std::string("Sport"));
    SubjectItem* sport = Root()->FirstChild();
    QCOMPARE(sport->kind, int(kSubjectGroup));

    // With the group selected (and collapsed) a keyword subject goes into it.
    bar_->Tree()->Model().Select(sport);
    sport->expanded = false;
    AnswerNextDialog("网球");
    bar_->OnCommand(kCmdNewKeywordSubject);
    QVERIFY(sport->expanded);
    const SubjectItem* tennis = sport->FirstChild();
    QCOMPARE(tennis->title, std::string("网球"));
    QCOMPARE(tennis->url, std::string("http://search.test/news?q=%E7%BD%91%E7%90%83"));
    // With a subject inside the group selected it goes to the same group.
    bar_->Tree()->Model().Select(sport->FirstChild());
    QVERIFY(bar_->AddKeywordSubject("Golf"));
    // Feed subjects and groups always go to the top level.
    QVERIFY(bar_->AddFeedSubject("Feed", "http://f.test/rss?a=1&b=2"));
    QVERIFY(bar_->AddGroup("News"));
    QCOMPARE(TreeTitles(), std::string("Sport[网球 Golf] Feed News"));
    QCOMPARE(Reloaded(), std::string("Sport[网球 Golf] News Feed"));

    // A title already in the chosen parent changes neither file nor tree.
    const std::string file = program_->ReadProfile("subject.xml");
    bar_->Tree()->Model().Select(sport);
    QVERIFY(!bar_->AddKeywordSubject("Golf"));
    QVERIFY(!bar_->AddGroup("News"));
    QCOMPARE(TreeTitles(), std::string("Sport[网球 Golf] Feed News"));
    QCOMPARE(program_->ReadProfile("subject.xml"), file);
  }

  void deletingAsksFirstAndThenRemovesFromFileAndTree() {
    Open();
    QVERIFY(bar_->AddGroup("G"));
    bar_->Tree()->Model().Select(Root()->FirstChild());
    QVERIFY(bar_->AddKeywordSubject("Inside"));
    bar_->Tree()->Model().Select(Root()->FirstChild());
    {
      test::MessageBoxRecorder cancel(kIdCancel);
      bar_->OnCommand(kCmdDeleteSubject);
      QCOMPARE(cancel.Calls().size(), size_t(1));
      QCOMPARE(cancel.Calls()[0].text, std::string("你确定要删除选中的专题吗?"));
      QCOMPARE(cancel.Calls()[0].caption, std::string("删除专题"));
      QCOMPARE(cancel.Calls()[0].buttons, unsigned(kMbOkCancel));
      QCOMPARE(TreeTitles(), std::string("G[Inside]"));
    }
    test::MessageBoxRecorder ok(kIdOk);
    bar_->OnCommand(kCmdDeleteSubject);
    QCOMPARE(TreeTitles(), std::string(""));
    QCOMPARE(Reloaded(), std::string(""));
    bar_->OnCommand(kCmdDeleteSubject);  // nothing selected: nothing to ask
    QCOMPARE(ok.Calls().size(), size_t(1));
  }

  void aRefusedMoveLeavesTheTreeAsItWas() {
    Open();
    QVERIFY(bar_->AddGroup("G"));
    bar_->Tree()->Model().Select(Root()->FirstChild());
    QVERIFY(bar_->AddKeywordSubject("Tennis"));
    bar_->Tree()->Model().Select(nullptr);
    QVERIFY(bar_->AddKeywordSubject("Tennis"));
    ShowAndPaint();
    SubjectItem* top = Root()->LastChild();
    Drag(top, Root()->FirstChild()->FirstChild());
    QCOMPARE(TreeTitles(), std::string("G[Tennis] Tennis"));
    QCOMPARE(Reloaded(), std::string("G[Tennis] Tennis"));
  }

  void aMoveKeepsTheFileInTheOrderTheTreeShows() {
    Open();
    // Made in this order, the file holds A before the group; the tree shows the group first.
    QVERIFY(bar_->AddKeywordSubject("A"));
    QVERIFY(bar_->AddGroup("G"));
    QVERIFY(bar_->AddKeywordSubject("B"));
    bar_->Tree()->Model().Select(Root()->FirstChild()->NextSibling());  // G
    QVERIFY(bar_->AddKeywordSubject("C"));
    QVERIFY(bar_->AddKeywordSubject("D"));
    bar_.reset();
    Open();
    QCOMPARE(TreeTitles(), std::string("G[C D] A B"));
    ShowAndPaint();

    SubjectItem* group = Root()->FirstChild();
    SubjectItem* a = group->NextSibling();
    SubjectItem* b = a->NextSibling();
    Drag(b, a);  // in front of A, which follows the group
    QCOMPARE(TreeTitles(), std::string("G[C D] B A"));
    QCOMPARE(Reloaded(), TreeTitles());
    ShowAndPaint();
    Drag(a, group->FirstChild()->NextSibling());  // into the group, in front of D
    QCOMPARE(TreeTitles(), std::string("G[C A D] B"));
    QCOMPARE(Reloaded(), TreeTitles());
    ShowAndPaint();
    Drag(b, group);  // onto the group: its end
    QCOMPARE(TreeTitles(), std::string("G[C A D B]"));
    QCOMPARE(Reloaded(), TreeTitles());
  }

  void propertiesRenameAGroupInTheFileAndRefusedEditsChangeNothing() {
    Open();
    QVERIFY(bar_->AddGroup("Old"));
    QVERIFY(bar_->AddFeedSubject("Feed", "http://f.test/a"));
    QVERIFY(bar_->AddKeywordSubject("Taken"));
    SubjectItem* group = Root()->FirstChild();
    QString prefilled;
    AnswerNextDialog("New", &prefilled);
    bar_->EditProperties(group);
    QCOMPARE(prefilled, QString("Old"));
    QCOMPARE(group->title, std::string("New"));
    QVERIFY(group->url.empty());
    QCOMPARE(Reloaded(), std::string("New Feed Taken"));

    SubjectItem* feed = group->NextSibling();
    QVERIFY(!bar_->EditItem(feed, "Taken", "http://f.test/b"));
    QCOMPARE(feed->title, std::string("Feed"));
    QCOMPARE(feed->url, std::string("http://f.test/a"));
    QVERIFY(bar_->EditItem(feed, "Renamed", "http://f.test/b"));
    QCOMPARE(feed->url, std::string("http://f.test/b"));
    SubjectItem* keyword = feed->NextSibling();
    QVERIFY(bar_->EditItem(keyword, "K2", ""));
    QCOMPARE(keyword->url, std::string("http://search.test/news?q=%4B%32"));
    QCOMPARE(Reloaded(), std::string("New Renamed K2"));
  }

  void doubleClickWritesTheSubjectPageAndOpensIt() {
    test::ShellOpenRecorder opened;
    Open();
    QVERIFY(bar_->AddFeedSubject("我的专题", server_.Url("/feed")));
    ShowAndPaint();
    QTest::mouseDClick(bar_->Tree(), Qt::LeftButton, {}, Inside(Root()->FirstChild()));
    bar_->PageWorker().WaitForRequests();
    const std::string page = Gb18030ToUtf8(test::ReadFileBytes(program_->Path() + "/subject.htm"));
    QVERIFY(page.find("我的专题") != std::string::npos);
    QVERIFY(page.find("头条新闻") != std::string::npos);
    QCOMPARE(opened.Opened().size(), size_t(1));
    QCOMPARE(opened.Opened()[0], program_->Path() + "/subject.htm");
  }

  void textXmlCannotHoldNeverReachesTreeOrFile() {
    Open();
    QVERIFY(
        bar_->AddKeywordSubject("a\x01"
                                "b\x0B"));
    QVERIFY(bar_->AddGroup("G\xEF\xBF\xBF"));
    QVERIFY(bar_->AddFeedSubject("F\x1F", "http://f.test/\x02x"));
    QVERIFY(bar_->EditItem(Root()->FirstChild()->NextSibling(), "H\x07", ""));
    QCOMPARE(TreeTitles(), std::string("ab H F"));
    QCOMPARE(Root()->LastChild()->url, std::string("http://f.test/x"));
    QCOMPARE(Reloaded(), std::string("H ab F"));
  }

  void sameTitledSiblingsAreDeletedAsChosen() {
    program_->WriteProfile(
        "subject.xml",
        "<?xml version=\"1.0\" encoding=\"gb2312\"?><SUBJECTS SAVETIME=\"1\">"
        "<ITEM FOLDER=\"1\" TITLE=\"X\"><ITEM FOLDER=\"0\" TITLE=\"in\" FEED=\"in\" TYPE=\"1\"/>"
        "</ITEM><ITEM FOLDER=\"0\" TITLE=\"X\" FEED=\"X\" TYPE=\"1\"/></SUBJECTS>");
    Open();
    bar_->Tree()->Model().Select(Root()->LastChild());
    QVERIFY(bar_->DeleteSelection());
    QCOMPARE(TreeTitles(), std::string("X[in]"));
    QCOMPARE(Reloaded(), std::string("X[in]"));
  }

  void aSubjectDroppedOnTheNextOneStaysInFrontOfIt() {
    Open();
    for (const char* title : {"A", "B", "C"}) QVERIFY(bar_->AddKeywordSubject(title));
    ShowAndPaint();
    Drag(Root()->FirstChild(), Root()->FirstChild()->NextSibling());  // A onto B
    QCOMPARE(TreeTitles(), std::string("A B C"));
    QCOMPARE(Reloaded(), TreeTitles());
  }

  void opmlExportWritesTheTreeOrExplainsWhyNot() {
    Open();
    QVERIFY(bar_->AddKeywordSubject("K"));
    test::TempDir dir;
    test::MessageBoxRecorder messages;
    bar_->ExportOpmlFile(dir.File("missing/out.opml"));
    bar_->ExportOpmlFile(dir.File("out.opml"));
    const auto calls = messages.Calls();
    QCOMPARE(calls.size(), size_t(2));
    QVERIFY(calls[0].text.starts_with("无法导出OPML文件: "));
    QCOMPARE(calls[1].caption, std::string("导出到OPML"));
    QVERIFY(test::ReadFileBytes(dir.File("out.opml")).find("lumarine:keyword=\"K\"") !=
            std::string::npos);
  }

  void barMenuHasItsEntriesAndCloseAsksTheFrame() {
    Open();
    const auto menu = bar_->BuildBarMenu();
    QStringList texts;
    for (const QAction* action : menu->actions())
      texts << (action->isSeparator() ? "-" : action->text());
    QCOMPARE(texts, QStringList({"新建专题", "删除选中专题", "新建组", "从OPML导入...",
                                 "导出到OPML...", "-", "关闭专题栏"}));
    QCOMPARE(menu->actions()[4]->data().toInt(), kCmdExportOpml);
    QStringList sub;
    for (const QAction* action : menu->actions()[0]->menu()->actions())
      sub << action->text() + "=" + QString::number(action->data().toInt());
    QCOMPARE(sub, QStringList({"根据关键词...=32778", "根据Feed地址...=32792"}));

    bar_->OnCommand(kCmdCloseSubjectBar);
    bar_->OnCommand(kCmdRefreshAllSubjects);
    QCoreApplication::processEvents();
    QCOMPARE(frame_->toggles, 1);
  }

  void opmlImportFillsFileAndTreeOrExplainsWhyNot() {
    Open();
    QVERIFY(bar_->AddFeedSubject("Known", "http://known.test/rss"));
    test::TempDir dir;
    dir.Write("good.opml",
              "<opml version=\"1.0\"><body><outline text=\"Tech\">"
              "<outline text=\"One\" xmlUrl=\"http://one.test/rss\"/>"
              "<outline text=\"Known again\" xmlUrl=\"http://known.test/rss\"/>"
              "</outline></body></opml>");
    dir.Write("bad.opml", "<opml><body><outline text=\"x\"></body>");
    test::MessageBoxRecorder messages;
    const std::string before = program_->ReadProfile("subject.xml");
    bar_->ImportOpmlFile(dir.File("bad.opml"));
    QCOMPARE(program_->ReadProfile("subject.xml"), before);
    QCOMPARE(TreeTitles(), std::string("Known"));
    bar_->ImportOpmlFile(dir.File("good.opml"));
    QCOMPARE(TreeTitles(), std::string("Tech[One] Known"));
    QCOMPARE(Reloaded(), TreeTitles());
    const auto calls = messages.Calls();
    QCOMPARE(calls.size(), size_t(2));
    QVERIFY(calls[0].text.starts_with("无法导入OPML文件: "));
    QVERIFY(calls[1].text.find("1 个专题") != std::string::npos);
    QVERIFY(calls[1].text.find("跳过 1 个") != std::string::npos);
  }

 private:
  void Open() {
    if (!frame_) frame_ = std::make_unique<FrameRecorder>();
    bar_.reset(static_cast<SubjectBar*>(SubjectBar::Create(frame_.get())));
  }
  void ShowAndPaint() {
    frame_->resize(bar_->size());
    frame_->show();
    bar_->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    bar_->Tree()->repaint();
    QCoreApplication::processEvents();
  }
  void Drag(SubjectItem* from, SubjectItem* to) {
    QTest::mousePress(bar_->Tree(), Qt::LeftButton, {}, Inside(from));
    QTest::mouseRelease(bar_->Tree(), Qt::LeftButton, {}, Inside(to));
  }
  SubjectItem* Root() { return bar_->Tree()->Model().Root(); }
  std::string TreeTitles() { return test::SubjectTitles(Root()->FirstChild()); }
  std::string Reloaded() const {
    SubjectStore store;
    if (!store.Load(program_->Profile("subject.xml"))) return "<load failed>";
    SubjectTreeModel tree;
    store.FillTree(tree);
    return test::SubjectTitles(tree.Root()->FirstChild());
  }

  test::LoopbackServer server_;
  std::unique_ptr<test::ScopedProgramDirectory> program_;
  std::unique_ptr<FrameRecorder> frame_;
  std::unique_ptr<SubjectBar> bar_;
};

}  // namespace lumarine

QTEST_MAIN(lumarine::SubjectBarTest)

#include "subject_bar_test.moc"
