#include "app/main_frame.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace lumarine {

CMainFrame::CMainFrame(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint),
      view_(new QWebEngineView(this)) {
  setWindowTitle("Ledgewatch");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  view_->setUrl(QUrl("qrc:/pages/welcome.html"));
}

void CMainFrame::Dock() {
  const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
  setGeometry(workArea.left(), workArea.top(), kBarWidth, workArea.height());
  show();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  event->accept();
  emit Closed();
}

}  // namespace lumarine
