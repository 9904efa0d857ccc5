#pragma once

#include <QWidget>

class QWebEngineView;

namespace lumarine {

// The bar's top-level window "Ledgewatch": borderless, always on top, no taskbar entry.
class CMainFrame : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kBarWidth = 200;

  explicit CMainFrame(QWidget* parent = nullptr);

  // Places the frame at the left edge of the primary screen's work area and shows it.
  void Dock();

  QWebEngineView* View() const { return view_; }

 signals:
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QWebEngineView* view_;
};

}  // namespace lumarine
