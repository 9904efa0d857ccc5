#pragma once

#include <QCursor>
#include <QFont>
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "subjects/subject_tree_model.h"

class QMenu;
class QPainter;
class QScrollBar;

namespace lumarine {

class SubjectTreeOwner;

// The custom-drawn subject tree of the subject bar: groups and subjects with a small icon
// and a title that wraps over as many lines as it needs, on white, scrolling vertically.
// It never touches the subject file: every change the user asks for goes to its owner (the
// bar), which updates the store and this tree. A drop moves the item only when the owner
// moved it. It writes its own font size and text colour to the settings. User-interface
// thread only.
class SubjectTree : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kIndent = 10;
  static constexpr int kMargin = 4;
  static constexpr int kIconSize = 16;
  static constexpr uint32_t kInitialTextColour = 0x3A3A3A;  // colour references 0x00BBGGRR
  static constexpr uint32_t kHighlightColour = 0xFFFAEE;
  static constexpr int kMenuTitleBytes = 45;
  static constexpr int kSmallestFont = 7;
  static constexpr int kLargestFont = 13;

  explicit SubjectTree(QWidget* parent = nullptr);
  ~SubjectTree() override;

  // The item font: `pointSize` points on this screen; the row height follows it.
  virtual SubjectTree& SetFont(int pointSize, bool bold, bool italic, const QString& faceName);
  virtual SubjectTree& SetTextColor(uint32_t colour);
  uint32_t TextColor() const { return textColour_; }
  const QFont& ItemFont() const { return font_; }
  int RowHeight() const { return rowHeight_; }

  // Receiver of the tree's requests; not owned, it must outlive the tree (the bar is the
  // tree's parent). Null: requests go nowhere.
  void SetOwner(SubjectTreeOwner* owner) { owner_ = owner; }
  SubjectTreeModel& Model() { return model_; }

  // Model operations with the repaint the callers ask for.
  SubjectItem* AddChild(SubjectItem* parent, std::string title, uint32_t colour = 0,
                        bool useDefault = true, bool repaint = true);
  SubjectItem* InsertAfter(SubjectItem* sibling, std::string title, uint32_t colour = 0,
                           bool useDefault = true, bool repaint = true);
  void DeleteItem(SubjectItem* item, bool repaint = true);
  void DeleteSelected();
  void ToggleExpanded(SubjectItem* item, bool repaint = true);
  std::string ItemPath(const SubjectItem* item = nullptr) const { return model_.ItemPath(item); }

  int ContentHeight() const { return contentHeight_; }
  int ClientWidth() const;
  QScrollBar* VerticalScrollBar() const { return scrollBar_; }
  bool IsDragging() const { return dragging_; }
  const QCursor& DragCursor() const { return dragCursor_; }

  // The context menu for a right click at `point` (widget coordinates), after the click
  // has chosen the selection; none when nothing is selected. Entries carry their command.
  std::unique_ptr<QMenu> PrepareContextMenu(const QPoint& point);
  // The command switch of the context menu.
  void OnCommand(int commandId);

  // A title broken into lines of at most `maxBytes` bytes in its GB2312 form, never inside
  // a character; every line holds at least one character, and an empty title one line.
  static std::vector<std::string> BreakLines(const std::string& title, int maxBytes);
  // The title as the context menu shows it: cut to 45 GB2312 bytes with "..." when longer.
  static std::string MenuTitle(const std::string& title);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  int DrawItems(QPainter& painter, SubjectItem* item, int x, int y, int clientWidth,
                int clientHeight);
  int DrawItem(QPainter& painter, SubjectItem* item, int x, int y, int clientWidth,
               int clientHeight);
  void DrawIcons(QPainter& painter, const SubjectItem* item);
  void UpdateScrollBar();
  void PlaceScrollBar();
  void ChooseTextColour();
  void StepFontSize(int step);

  SubjectTreeModel model_;
  SubjectTreeOwner* owner_ = nullptr;
  QFont font_;
  int rowHeight_ = 0;
  int charWidth_ = 1;
  uint32_t textColour_ = kInitialTextColour;
  int contentHeight_ = 0;
  bool updatingScrollBar_ = false;
  QScrollBar* scrollBar_;
  QImage subjectIcon_;
  QImage groupIcon_;
  QCursor dragCursor_;
  bool dragging_ = false;
  SubjectItem* dragSource_ = nullptr;
  SubjectItem* dropTarget_ = nullptr;
};

}  // namespace lumarine
