#include "subjects/subject_tree.h"

#include <QApplication>
#include <QColorDialog>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "base/command_ids.h"
#include "base/message_ids.h"
#include "htmlview/html_ctrl_ex.h"
#include "platform/settings.h"
#include "platform/text_codec.h"
#include "subjects/subject_tree_owner.h"
#include "support/subject_titles.h"
#include "support/temp_dir.h"
#include "support/web_view_test.h"

namespace lumarine {
namespace {

// Stands in for the subject bar: records each request as the message it stands for, and
// accepts or refuses drops as told.
class OwnerRecorder : public SubjectTreeOwner {
 public:
  struct Message {
    int number;
    std::intptr_t first;
    std::intptr_t second;
  };
  void OnCommand(int commandId) override { messages.push_back({kMsgCommand, commandId, 0}); }
  void OpenSubject(SubjectItem* item) override {
    messages.push_back({kMsgOpenSubject, 0, Pointer(item)});
  }
  void SearchBlogComments(SubjectItem* item) override {
    messages.push_back({kMsgBlogSearch, 0, Pointer(item)});
  }
  bool MoveItem(SubjectItem* source, SubjectItem* target) override {
    messages.push_back({kMsgTreeDrop, Pointer(source), Pointer(target)});
    return acceptDrops;
  }
  void EditProperties(SubjectItem* item) override {
    messages.push_back({kMsgEditSubject, Pointer(item), 0});
  }
  std::vector<Message> messages;
  bool acceptDrops = true;

 private:
  static std::intptr_t Pointer(const SubjectItem* item) {
    return reinterpret_cast<std::intptr_t>(item);
  }
};

QPoint Inside(const SubjectItem* item) {
  return QPoint(item->rect.left + 20, (item->rect.top + item->rect.bottom) / 2);
}

}  // namespace

class SubjectTreeTest : public WebViewTest {
  Q_OBJECT

 private slots:
  void init() {
    program_ = std::make_unique<test::ScopedProgramDirectory>();
    tree_ = std::make_unique<SubjectTree>();
    tree_->SetFont(9, false, false, "Arial Unicode MS");
    tree_->SetOwner(&owner_);
    owner_.messages.clear();
    owner_.acceptDrops = true;
    tree_->resize(200, 300);
    tree_->show();
    QVERIFY(QTest::qWaitForWindowExposed(tree_.get()));
  }
  void cleanup() {
    tree_.reset();
    program_.reset();
  }

  void linesAreCountedInGb2312BytesAndNeverSplitACharacter() {
    using Lines = std::vector<std::string>;
    QCOMPARE(SubjectTree::BreakLines("ab中文cd", 3), (Lines{"ab", "中", "文c", "d"}));
    QCOMPARE(SubjectTree::BreakLines("ab中文cd", 4), (Lines{"ab中", "文cd"}));
    QCOMPARE(SubjectTree::BreakLines("abcdef", 6), (Lines{"abcdef"}));
    // Too narrow for anything: still one character per line, never an endless loop.
    QCOMPARE(SubjectTree::BreakLines("中a", 0), (Lines{"中", "a"}));
    // A character of four GB18030 bytes stays whole.
    QCOMPARE(SubjectTree::BreakLines("a😀b", 3), (Lines{"a", "😀", "b"}));
    QCOMPARE(SubjectTree::BreakLines("", 5), (Lines{""}));
    for (const std::string& line : SubjectTree::BreakLines(std::string(40, 'x') + "一二三四五", 7))
      QVERIFY(Gb18030Length(line) <= 7);
  }

  void aLongTitleWrapsAndEveryLineTakesItsRowWhateverTheScroll() {
    SubjectItem* shortItem = tree_->AddChild(nullptr, "short");
    std::string wide;
    for (int i = 0; i < 30; ++i) wide += "中";
    SubjectItem* longItem = tree_->AddChild(nullptr, wide + "end");
    Paint();
    const int row = tree_->RowHeight() + 2;
    QCOMPARE(shortItem->rect.bottom - shortItem->rect.top, row);
    const int lines = (longItem->rect.bottom - longItem->rect.top) / row;
    QVERIFY(lines >= 2);
    QCOMPARE(longItem->rect.bottom - longItem->rect.top, lines * row);
    QCOMPARE(tree_->ContentHeight(), (lines + 1) * row);
    QCOMPARE(longItem->rect.top, shortItem->rect.bottom);
    QCOMPARE(shortItem->rect.left, SubjectTree::kIndent);
    QCOMPARE(shortItem->rect.right, tree_->ClientWidth() - SubjectTree::kMargin);
  }

  void hitTestingFollowsThePaintedRectangles() {
    SubjectItem* group = tree_->AddChild(nullptr, "Sport");
    group->kind = kSubjectGroup;
    SubjectItem* tennis = tree_->AddChild(group, "Tennis");
    SubjectItem* top = tree_->AddChild(nullptr, "Top");
    Paint();
    SubjectTreeModel& model = tree_->Model();
    QCOMPARE(tennis->rect.left, SubjectTree::kIndent * 2);
    QCOMPARE(group->rect.top, SubjectTree::kMargin);
    QCOMPARE(model.HitTest(Inside(tennis).x(), Inside(tennis).y()), tennis);
    QCOMPARE(model.HitTest(Inside(top).x(), Inside(top).y()), top);
    QCOMPARE(model.HitTest(5, Inside(top).y()), nullptr);  // left of the text area
    QCOMPARE(model.HitTest(20, top->rect.bottom + 30), nullptr);

    // A collapsed group hides its children from drawing and hit tests.
    QTest::mouseDClick(tree_.get(), Qt::LeftButton, {}, Inside(group));
    QVERIFY(!group->expanded);
    Paint();
    QCOMPARE(top->rect.top, group->rect.bottom);
    QCOMPARE(model.HitTest(Inside(top).x(), Inside(top).y()), top);
    QVERIFY(owner_.messages.empty());  // a group toggles and sends nothing
  }

  void selectionFollowsTheLeftButtonAndMissesKeepIt() {
    SubjectItem* a = tree_->AddChild(nullptr, "A");
    SubjectItem* b = tree_->AddChild(nullptr, "B");
    Paint();
    QTest::mousePress(tree_.get(), Qt::LeftButton, {}, Inside(a));
    QTest::mouseRelease(tree_.get(), Qt::LeftButton, {}, Inside(a));
    QCOMPARE(tree_->Model().Selection(), a);
    QVERIFY(a->highlighted);
    QTest::mousePress(tree_.get(), Qt::LeftButton, {}, Inside(b));
    QTest::mouseRelease(tree_.get(), Qt::LeftButton, {}, Inside(b));
    QCOMPARE(tree_->Model().Selection(), b);
    QVERIFY(!a->highlighted && b->highlighted);
    QTest::mouseClick(tree_.get(), Qt::LeftButton, {}, QPoint(50, 280));
    QCOMPARE(tree_->Model().Selection(), b);
    QVERIFY(owner_.messages.empty());  // a press and release on one item moves nothing
  }

  void theScrollBarAppearsOnlyWhenTheContentIsTaller() {
    tree_->AddChild(nullptr, "one");
    Paint();
    QVERIFY(!tree_->VerticalScrollBar()->isVisible());
    for (int i = 0; i < 40; ++i) tree_->AddChild(nullptr, "item " + std::to_string(i));
    Paint();
    Paint();
    QScrollBar* bar = tree_->VerticalScrollBar();
    QVERIFY(bar->isVisible());
    QCOMPARE(tree_->ClientWidth(), tree_->width() - bar->width());
    QCOMPARE(bar->pageStep(), tree_->height());
    QCOMPARE(bar->maximum(), tree_->ContentHeight() + 8 - tree_->height() + 1);

    // The wheel moves one line per step, either way, and stops at the ends.
    QWheelEvent down(QPointF(50, 50), tree_->mapToGlobal(QPointF(50, 50)), QPoint(),
                     QPoint(0, -480), Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(tree_.get(), &down);
    QCOMPARE(bar->value(), tree_->RowHeight());
    QWheelEvent up(QPointF(50, 50), tree_->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120),
                   Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(tree_.get(), &up);
    QApplication::sendEvent(tree_.get(), &up);
    QCOMPARE(bar->value(), 0);

    // Scrolled, the items move up and hit tests follow them.
    bar->setValue(bar->maximum());
    Paint();
    SubjectItem* last = tree_->Model().Root()->LastChild();
    QVERIFY(last->rect.bottom <= tree_->height());
    QCOMPARE(tree_->Model().HitTest(Inside(last).x(), Inside(last).y()), last);

    while (tree_->Model().Root()->FirstChild()->NextSibling())
      tree_->DeleteItem(tree_->Model().Root()->FirstChild()->NextSibling());
    Paint();
    QVERIFY(!bar->isVisible());
    QCOMPARE(bar->value(), 0);
  }

  void contextMenuHasItsEntriesAndStates() {
    QVERIFY(!tree_->PrepareContextMenu(QPoint(30, 10)));  // empty tree: no menu
    SubjectItem* keyword = tree_->AddChild(nullptr, "Keyword");
    SubjectItem* feed = tree_->AddChild(nullptr, "Feed");
    feed->kind = kSubjectFeed;
    Paint();
    auto menu = tree_->PrepareContextMenu(Inside(keyword));
    QVERIFY(menu);
    QCOMPARE(tree_->Model().Selection(), keyword);
    QStringList texts;
    QList<int> ids;
    QList<bool> enabled;
    for (const QAction* action : menu->actions()) {
      texts << (action->isSeparator() ? "-" : action->text());
      ids << action->data().toInt();
      enabled << action->isEnabled();
    }
    QCOMPARE(texts, QStringList({"Keyword", "-", "新建专题", "删除专题", "查看属性", "-",
                                 "查看Blog评论", "-", "设置文字颜色", "增大字体", "缩小字体"}));
    QCOMPARE(ids, QList<int>({kCmdNewKeywordSubject, 0, kCmdTreeNewSubject, kCmdTreeDeleteSubject,
                              kCmdTreeProperties, 0, kCmdTreeBlogComments, 0, kCmdTreeTextColour,
                              kCmdTreeFontLarger, kCmdTreeFontSmaller}));
    QVERIFY(!enabled[0]);
    QVERIFY(enabled[6]);

    menu = tree_->PrepareContextMenu(Inside(feed));
    QVERIFY(!menu->actions()[6]->isEnabled());  // blog comments: keyword subjects only
    // Right-clicking empty space keeps the selection and shows its menu.
    menu = tree_->PrepareContextMenu(QPoint(50, 280));
    QVERIFY(menu);
    QCOMPARE(tree_->Model().Selection(), feed);
    QVERIFY(feed->highlighted);
  }

  void menuTitleIsCutAfter45BytesWithoutSplittingACharacter() {
    const std::string exact(45, 'a');
    QCOMPARE(SubjectTree::MenuTitle(exact), exact);
    QCOMPARE(SubjectTree::MenuTitle(exact + "b"), exact + "...");
    // 22 two-byte characters are 44 bytes; the 23rd would end at byte 46.
    const std::string wide = "a" + [] {
      std::string s;
      for (int i = 0; i < 30; ++i) s += "中";
      return s;
    }();
    const std::string cut = SubjectTree::MenuTitle(wide);
    QCOMPARE(Gb18030Length(cut), size_t(1 + 44 + 3));
    QVERIFY(cut.ends_with("中..."));
    SubjectItem* item = tree_->AddChild(nullptr, wide);
    Paint();
    QCOMPARE(tree_->PrepareContextMenu(Inside(item))->actions()[0]->text(),
             QString::fromStdString(cut));
  }

  void commandsReachTheOwnerOnlyWithASelection() {
    tree_->OnCommand(kCmdTreeDeleteSubject);
    tree_->OnCommand(kCmdTreeBlogComments);
    QCoreApplication::processEvents();
    QVERIFY(owner_.messages.empty());
    SubjectItem* item = tree_->AddChild(nullptr, "A");
    tree_->Model().Select(item);
    const auto expected = reinterpret_cast<std::intptr_t>(item);
    tree_->OnCommand(kCmdTreeNewSubject);
    tree_->OnCommand(kCmdTreeProperties);
    tree_->OnCommand(kCmdTreeBlogComments);
    QCOMPARE(owner_.messages.size(), size_t(3));  // sent at once
    tree_->OnCommand(kCmdTreeDeleteSubject);
    QCOMPARE(owner_.messages.size(), size_t(3));  // posted
    QCoreApplication::processEvents();
    QCOMPARE(owner_.messages.size(), size_t(4));
    const auto& m = owner_.messages;
    QVERIFY(m[0].number == kMsgCommand && m[0].first == kCmdNewKeywordSubject);
    QVERIFY(m[1].number == kMsgEditSubject && m[1].first == expected);
    QVERIFY(m[2].number == kMsgBlogSearch && m[2].second == expected);
    QVERIFY(m[3].number == kMsgCommand && m[3].first == kCmdDeleteSubject);
  }

  void doubleClickSendsTheSubjectOrNothingToOpen() {
    SubjectItem* subject = tree_->AddChild(nullptr, "A");
    Paint();
    QTest::mouseDClick(tree_.get(), Qt::LeftButton, {}, Inside(subject));
    QTest::mouseDClick(tree_.get(), Qt::LeftButton, {}, QPoint(50, 250));
    QCOMPARE(owner_.messages.size(), size_t(2));
    QCOMPARE(owner_.messages[0].number, kMsgOpenSubject);
    QCOMPARE(owner_.messages[0].second, reinterpret_cast<std::intptr_t>(subject));
    QCOMPARE(owner_.messages[1].second, std::intptr_t(0));
  }

  void aDropMovesTheItemOnlyWhenTheOwnerAcceptsIt() {
    SubjectItem* group = tree_->AddChild(nullptr, "G");
    group->kind = kSubjectGroup;
    SubjectItem* first = tree_->AddChild(group, "First");
    SubjectItem* second = tree_->AddChild(group, "Second");
    SubjectItem* a = tree_->AddChild(nullptr, "A");
    tree_->AddChild(nullptr, "B");
    Paint();
    owner_.acceptDrops = false;
    Drag(a, second);
    QCOMPARE(owner_.messages.size(), size_t(1));
    QCOMPARE(owner_.messages[0].number, kMsgTreeDrop);
    QCOMPARE(owner_.messages[0].first, reinterpret_cast<std::intptr_t>(a));
    QCOMPARE(owner_.messages[0].second, reinterpret_cast<std::intptr_t>(second));
    QCOMPARE(test::SubjectTitles(tree_->Model().Root()->FirstChild()),
             std::string("G[First Second] A B"));

    owner_.acceptDrops = true;
    Drag(a, second);  // in front of a subject
    QCOMPARE(test::SubjectTitles(tree_->Model().Root()->FirstChild()),
             std::string("G[First A Second] B"));
    QCOMPARE(tree_->Model().Selection(), a);
    Paint();
    Drag(a, first);  // onto the first child: to the end of its group
    QCOMPARE(test::SubjectTitles(tree_->Model().Root()->FirstChild()),
             std::string("G[First Second A] B"));
    Paint();
    Drag(a, group);  // onto a group: its last child
    QCOMPARE(test::SubjectTitles(tree_->Model().Root()->FirstChild()),
             std::string("G[First Second A] B"));
    Paint();
    const size_t before = owner_.messages.size();
    Drag(a, a);  // onto itself: nothing
    QCOMPARE(owner_.messages.size(), before);
    QVERIFY(!tree_->IsDragging());
  }

  void dragsShowTheDragCursorOverItems() {
    SubjectItem* a = tree_->AddChild(nullptr, "A");
    SubjectItem* b = tree_->AddChild(nullptr, "B");
    Paint();
    QTest::mousePress(tree_.get(), Qt::LeftButton, {}, Inside(a));
    QVERIFY(tree_->IsDragging());
    QMouseEvent move(QEvent::MouseMove, QPointF(Inside(b)), tree_->mapToGlobal(QPointF(Inside(b))),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(tree_.get(), &move);
    QCOMPARE(tree_->cursor().shape(), Qt::BitmapCursor);
    QTest::mouseRelease(tree_.get(), Qt::LeftButton, {}, QPoint(50, 280));
    QVERIFY(!tree_->IsDragging());
    QCOMPARE(tree_->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(owner_.messages.empty());  // dropped on nothing
  }

  void fontStepsStartFrom13AndAreWrittenBack() {
    tree_->OnCommand(kCmdTreeFontLarger);
    QCOMPARE(Settings::SubjectFontSize(0), 13);
    tree_->OnCommand(kCmdTreeFontSmaller);
    QCOMPARE(Settings::SubjectFontSize(0), 12);
    const int rowAt12 = tree_->RowHeight();
    for (int i = 0; i < 10; ++i) tree_->OnCommand(kCmdTreeFontSmaller);
    QCOMPARE(Settings::SubjectFontSize(0), 7);
    QVERIFY(tree_->RowHeight() < rowAt12);
    for (int i = 0; i < 10; ++i) tree_->OnCommand(kCmdTreeFontLarger);
    QCOMPARE(Settings::SubjectFontSize(0), 13);
  }

  void chosenTextColourIsUsedAndStoredAsAColourReference() {
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      dialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
      dialog->accept();
    });
    tree_->OnCommand(kCmdTreeTextColour);
    QCOMPARE(tree_->TextColor(), uint32_t(0x563412));
    QCOMPARE(Settings::SubjectTextColor(), 0x563412);
  }

 private:
  void Paint() {
    tree_->repaint();
    QCoreApplication::processEvents();
  }
  void Drag(SubjectItem* from, SubjectItem* to) {
    const QPoint target = Inside(to);
    QTest::mousePress(tree_.get(), Qt::LeftButton, {}, Inside(from));
    QTest::mouseRelease(tree_.get(), Qt::LeftButton, {}, target);
  }

  std::unique_ptr<test::ScopedProgramDirectory> program_;
  OwnerRecorder owner_;
  std::unique_ptr<SubjectTree> tree_;
};

}  // namespace lumarine

QTEST_MAIN(lumarine::SubjectTreeTest)

#include "subject_tree_test.moc"
