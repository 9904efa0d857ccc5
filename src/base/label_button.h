#pragma once

#include <QString>
#include <QWidget>

namespace lumarine {

// A flat push label of the panels: transparent over its parent, a grey frame while the pointer
// is over it, and a press posts kMsgLabelButton to the parent with the button's kind. Kind 0
// draws its text with a drop-down arrow, kind 1 a menu chevron, kind 2 its text alone.
class LabelButton : public QWidget {
  Q_OBJECT

 public:
  enum Kind { kTextWithArrow = 0, kMenu = 1, kPlain = 2 };

  explicit LabelButton(QWidget* parent = nullptr);

  void SetKind(int kind);
  int GetKind() const { return kind_; }
  void SetText(const QString& text);
  QString Text() const { return text_; }
  bool Hovering() const { return hovering_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  int kind_ = kTextWithArrow;
  QString text_;
  bool hovering_ = false;
};

}  // namespace lumarine
