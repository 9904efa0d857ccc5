#include "subjects/subject_tree_model.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>

#include "subjects/item_path.h"

namespace lumarine {
namespace {

class SubjectTreeModelTest : public testing::Test {
 protected:
  SubjectItem* Group(SubjectItem* parent, const std::string& title) {
    SubjectItem* item = tree_.AddChild(parent, title);
    item->kind = kSubjectGroup;
    return item;
  }
  static std::string Titles(const SubjectItem* parent) {
    std::string text;
    for (const SubjectItem* item = parent->FirstChild(); item; item = item->NextSibling())
      text += (text.empty() ? "" : " ") + item->title;
    return text;
  }

  SubjectTreeModel tree_;
};

TEST_F(SubjectTreeModelTest, NewItemsAreExpandedKeywordSubjectsInTheDefaultColour) {
  SubjectItem* item = tree_.AddChild(nullptr, "A");
  EXPECT_EQ(item->parent, tree_.Root());
  EXPECT_EQ(item->kind, kSubjectKeyword);
  EXPECT_TRUE(item->expanded);
  EXPECT_TRUE(item->useDefaultColour);
  SubjectItem* coloured = tree_.InsertAfter(item, "B", 0x0000FF, false);
  EXPECT_FALSE(coloured->useDefaultColour);
  EXPECT_EQ(coloured->colour, 0x0000FFu);
  tree_.AddChild(nullptr, "D");
  tree_.InsertAfter(coloured, "C");
  EXPECT_EQ(Titles(tree_.Root()), "A B C D");
  EXPECT_EQ(tree_.InsertAfter(tree_.Root(), "X"), nullptr);
}

TEST_F(SubjectTreeModelTest, ItemPathWalksUpToTheRoot) {
  SubjectItem* sport = Group(nullptr, "Sport");
  SubjectItem* tennis = tree_.AddChild(sport, "Tennis");
  SubjectItem* odd = tree_.AddChild(sport, "TCP/IP");
  EXPECT_EQ(tree_.ItemPath(tennis), "/Sport/Tennis");
  EXPECT_EQ(tree_.ItemPath(odd), "/Sport/TCP\\/IP");
  EXPECT_EQ(tree_.ItemPath(tree_.Root()), "");
  EXPECT_EQ(tree_.ItemPath(), "");  // no selection
  tree_.Select(tennis);
  EXPECT_EQ(tree_.ItemPath(), "/Sport/Tennis");
}

TEST_F(SubjectTreeModelTest, ParentForNewSubjectFollowsTheSelection) {
  SubjectItem* sport = Group(nullptr, "Sport");
  SubjectItem* inGroup = tree_.AddChild(sport, "Tennis");
  SubjectItem* topLevel = tree_.AddChild(nullptr, "News");
  const struct {
    SubjectItem* selection;
    const char* path;
    SubjectItem* parent;
  } cases[] = {
      {nullptr, "", tree_.Root()},
      {topLevel, "", tree_.Root()},
      {inGroup, "/Sport", sport},
      {sport, "/Sport", sport},
  };
  for (const auto& c : cases) {
    tree_.Select(c.selection);
    const auto where = tree_.ParentForNewSubject();
    EXPECT_EQ(where.path, c.path);
    EXPECT_EQ(where.parent, c.parent);
  }
}

TEST_F(SubjectTreeModelTest, SelectionMovesTheHighlight) {
  SubjectItem* a = tree_.AddChild(nullptr, "A");
  SubjectItem* b = tree_.AddChild(nullptr, "B");
  tree_.Select(a);
  tree_.Select(b);
  EXPECT_FALSE(a->highlighted);
  EXPECT_TRUE(b->highlighted);
  tree_.Select(nullptr);
  EXPECT_FALSE(b->highlighted);
  EXPECT_EQ(tree_.Selection(), nullptr);
}

TEST_F(SubjectTreeModelTest, DeletingASubtreeClearsASelectionInsideIt) {
  SubjectItem* group = Group(nullptr, "G");
  SubjectItem* inner = tree_.AddChild(Group(group, "Inner"), "S");
  tree_.AddChild(nullptr, "After");
  tree_.Select(inner);
  tree_.DeleteItem(group);
  EXPECT_EQ(tree_.Selection(), nullptr);
  EXPECT_EQ(Titles(tree_.Root()), "After");
  tree_.DeleteItem(tree_.Root());  // never deleted
  EXPECT_FALSE(tree_.DeleteSelected());
  tree_.Select(tree_.Root()->FirstChild());
  EXPECT_TRUE(tree_.DeleteSelected());
  EXPECT_TRUE(tree_.IsEmpty());
}

TEST_F(SubjectTreeModelTest, ToggleFlipsExpanded) {
  SubjectItem* group = Group(nullptr, "G");
  tree_.ToggleExpanded(group);
  EXPECT_FALSE(group->expanded);
  tree_.ToggleExpanded(group);
  EXPECT_TRUE(group->expanded);
}

TEST_F(SubjectTreeModelTest, HitTestFollowsDrawingOrderAndSkipsCollapsedChildren) {
  SubjectItem* group = Group(nullptr, "G");
  SubjectItem* child = tree_.AddChild(group, "C");
  SubjectItem* next = tree_.AddChild(nullptr, "N");
  group->rect = {10, 0, 100, 20};
  child->rect = {20, 20, 100, 40};
  next->rect = {10, 40, 100, 60};
  EXPECT_EQ(tree_.HitTest(50, 10), group);
  EXPECT_EQ(tree_.HitTest(50, 30), child);
  EXPECT_EQ(tree_.HitTest(50, 50), next);
  EXPECT_EQ(tree_.HitTest(5, 10), nullptr);
  EXPECT_EQ(tree_.HitTest(50, 10, next), nullptr);
  group->expanded = false;
  EXPECT_EQ(tree_.HitTest(50, 30), nullptr);  // stale rect of a hidden child
}

TEST_F(SubjectTreeModelTest, DropPlacesTheItemBesideOrInsideTheTarget) {
  SubjectItem* group = Group(nullptr, "G");
  SubjectItem* first = tree_.AddChild(group, "First");
  SubjectItem* second = tree_.AddChild(group, "Second");
  SubjectItem* a = tree_.AddChild(nullptr, "A");
  SubjectItem* b = tree_.AddChild(nullptr, "B");

  EXPECT_EQ(tree_.MoveForDrop(a, second), a);  // in front of a later subject
  EXPECT_EQ(Titles(group), "First A Second");
  EXPECT_EQ(tree_.Selection(), a);
  EXPECT_TRUE(a->highlighted);

  EXPECT_EQ(tree_.MoveForDrop(b, first), b);  // onto the first child: to the end
  EXPECT_EQ(Titles(group), "First A Second B");

  EXPECT_EQ(tree_.MoveForDrop(first, tree_.Root()->FirstChild()), first);  // onto a group
  EXPECT_EQ(Titles(group), "A Second B First");
  EXPECT_EQ(first->parent, group);

  EXPECT_EQ(tree_.MoveForDrop(a, a), nullptr);
  EXPECT_EQ(tree_.MoveForDrop(group, first), nullptr);  // into its own subtree
  EXPECT_EQ(tree_.MoveForDrop(nullptr, a), nullptr);
  EXPECT_EQ(Titles(tree_.Root()), "G");
}

// Dropped on the item just after it, a subject went to the end of its list.
TEST_F(SubjectTreeModelTest, DropOnTheNextItemKeepsTheSourceInFrontOfIt) {
  SubjectItem* a = tree_.AddChild(nullptr, "A");
  SubjectItem* b = tree_.AddChild(nullptr, "B");
  SubjectItem* c = tree_.AddChild(nullptr, "C");
  EXPECT_EQ(tree_.MoveForDrop(a, b), a);  // A is the first child
  EXPECT_EQ(Titles(tree_.Root()), "A B C");
  EXPECT_EQ(tree_.MoveForDrop(b, c), b);
  EXPECT_EQ(Titles(tree_.Root()), "A B C");
  EXPECT_EQ(tree_.MoveForDrop(c, a), c);  // onto the first child: still the end
  EXPECT_EQ(Titles(tree_.Root()), "A B C");
}

TEST_F(SubjectTreeModelTest, PathStepsNumberSiblingsThatShareATitleGroupsFirst) {
  SubjectItem* subject = tree_.AddChild(nullptr, "A&B");
  SubjectItem* group = Group(nullptr, "A&B");
  tree_.AddChild(nullptr, "A$B");  // a title of its own
  SubjectItem* inner = tree_.AddChild(group, "x/y");
  tree_.AddChild(nullptr, "Other");
  EXPECT_EQ(tree_.ItemPath(subject), "/A&B\\#2");
  EXPECT_EQ(tree_.ItemPath(inner), "/A&B\\#1/x\\/y");
  const std::vector<ItemPathStep> steps = SplitItemPathSteps(tree_.ItemPath(inner));
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].title, "A&B");
  EXPECT_EQ(steps[0].occurrence, 1);
  EXPECT_EQ(steps[1].title, "x/y");
  EXPECT_EQ(steps[1].occurrence, 0);
  // A title that merely looks like a number keeps its text.
  EXPECT_EQ(SplitItemPath("/" + EscapePathStep("a\\#2") + "/" + EscapePathStep("b\\")),
            std::vector<std::string>({"a\\#2", "b\\"}));
  EXPECT_EQ(SplitItemPath("/a\\#2b/c\\#0"), std::vector<std::string>({"a#2b", "c#0"}));
}

// Runs `work` on a thread whose stack is far smaller than the default, so that recursion as
// deep as a long list overflows it at once rather than by chance.
void RunOnSmallStack(const std::function<void()>& work) {
  pthread_attr_t attributes;
  ASSERT_EQ(pthread_attr_init(&attributes), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&attributes, 256 * 1024), 0);
  pthread_t thread;
  const int created = pthread_create(
      &thread, &attributes,
      [](void* argument) -> void* {
        (*static_cast<const std::function<void()>*>(argument))();
        return nullptr;
      },
      const_cast<std::function<void()>*>(&work));
  pthread_attr_destroy(&attributes);
  ASSERT_EQ(created, 0);
  ASSERT_EQ(pthread_join(thread, nullptr), 0);
}

TEST_F(SubjectTreeModelTest, ManySiblingsAreReleasedWithoutDeepRecursion) {
  auto tree = std::make_unique<SubjectTreeModel>();
  SubjectItem* last = tree->AddChild(nullptr, "0");
  for (int i = 1; i < 200000; ++i) last = tree->InsertAfter(last, "x");
  // One frame per sibling would overflow this stack and crash the test.
  bool released = false;
  RunOnSmallStack([&] {
    tree.reset();
    released = true;
  });
  EXPECT_TRUE(released);
}

}  // namespace
}  // namespace lumarine
