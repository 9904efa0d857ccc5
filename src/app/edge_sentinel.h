#pragma once

#include <QWidget>

namespace lumarine {

// A one-pixel column at the screen edge where an auto-hidden bar waits. The window system
// tells it when the pointer arrives, so nothing has to watch the pointer while the bar is
// away. A dock window like the bar, so ordinary and maximised windows stay beneath it.
class EdgeSentinel : public QWidget {
  Q_OBJECT

 public:
  EdgeSentinel();

 signals:
  void Touched();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace lumarine
