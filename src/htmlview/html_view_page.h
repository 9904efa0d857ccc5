#pragma once

#include <QWebEnginePage>

namespace lumarine {

class CHtmlCtrlEx;

// The page behind a CHtmlCtrlEx: turns app: navigations into commands of the view (and
// cancels them), refuses every other main-frame navigation away from the view's template,
// routes script message boxes to the view's handler, and opens links meant for a new window
// (or clicked links that would leave the template) in the desktop's browser.
class HtmlViewPage : public QWebEnginePage {
  Q_OBJECT

 public:
  explicit HtmlViewPage(CHtmlCtrlEx* view);

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
  bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;

 private:
  CHtmlCtrlEx* view_;
};

}  // namespace lumarine
