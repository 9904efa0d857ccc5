#pragma once

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <string>
#include <vector>

namespace lumarine {

// A point given as percentages of the client width and height.
struct AnchorPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const AnchorPoint&, const AnchorPoint&) = default;
};

inline constexpr AnchorPoint kTopLeft{0, 0};
inline constexpr AnchorPoint kTopCenter{50, 0};
inline constexpr AnchorPoint kTopRight{100, 0};
inline constexpr AnchorPoint kMiddleLeft{0, 50};
inline constexpr AnchorPoint kMiddleCenter{50, 50};
inline constexpr AnchorPoint kMiddleRight{100, 50};
inline constexpr AnchorPoint kBottomLeft{0, 100};
inline constexpr AnchorPoint kBottomCenter{50, 100};
inline constexpr AnchorPoint kBottomRight{100, 100};
inline constexpr AnchorPoint kNoAnchor{-1, -1};

// Panel base that keeps its children in place on resize: each anchored child keeps fixed
// distances to proportional points of the client area. Derived panels create their children,
// call InitDialog(), then AddAnchor() for each child.
class ResizableDialog : public QWidget {
  Q_OBJECT

 public:
  explicit ResizableDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
  ~ResizableDialog() override;

  void AddAnchor(QWidget* child, AnchorPoint topLeft, AnchorPoint bottomRight = kNoAnchor);
  void ShowSizeGrip(bool show);
  bool SizeGripShown() const { return showGrip_; }
  QRect GripRect() const { return gripRect_; }
  // Stores the window placement under [section] entry in the settings file when the dialog
  // goes away, and restores a stored one now.
  void EnableSaveRestore(std::string section, std::string entry);
  void ArrangeLayout();

 protected:
  // The initialisation hook: call once the children exist.
  void InitDialog();

  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  struct Anchor {
    QPointer<QWidget> child;
    bool scrollRefresh = false;
    bool repaint = false;
    AnchorPoint topLeft;
    QPoint topLeftMargin;
    AnchorPoint bottomRight;
    QPoint bottomRightMargin;
  };

  QRect ComputeGripRect() const;
  void SavePlacement();
  void RestorePlacement();

  std::vector<Anchor> anchors_;
  QRect gripRect_;
  bool showGrip_ = true;
  QSize minTrackSize_;
  bool useMinTrack_ = true;
  bool initialised_ = false;
  std::string placementSection_;
  std::string placementEntry_;
  bool savePlacement_ = false;
};

}  // namespace lumarine
