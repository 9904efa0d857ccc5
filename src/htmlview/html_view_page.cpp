#include "htmlview/html_view_page.h"

#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlSchemeHandler>

#include "htmlview/app_link.h"
#include "htmlview/html_ctrl_ex.h"
#include "platform/html_text.h"
#include "platform/message_box.h"
#include "platform/shell_open.h"

namespace lumarine {
namespace {

// The engine only lets a page navigate to a scheme that has a handler; app: navigations are
// cancelled before they load, so anything reaching the handler is refused.
class RefusingSchemeHandler : public QWebEngineUrlSchemeHandler {
 public:
  using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
  void requestStarted(QWebEngineUrlRequestJob* job) override {
    job->fail(QWebEngineUrlRequestJob::RequestDenied);
  }
};

}  // namespace

HtmlViewPage::HtmlViewPage(CHtmlCtrlEx* view) : QWebEnginePage(view), view_(view) {
  QWebEngineProfile* engineProfile = profile();
  // Both views share the one profile: nothing of theirs needs a disk cache or spell check.
  engineProfile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
  engineProfile->setSpellCheckEnabled(false);
  if (!engineProfile->urlSchemeHandler("app"))
    engineProfile->installUrlSchemeHandler("app", new RefusingSchemeHandler(engineProfile));
  // A request left unanswered is dropped, so the view itself never opens a second window.
  connect(this, &QWebEnginePage::newWindowRequested, this, [](QWebEngineNewWindowRequest& request) {
    const std::string address = request.requestedUrl().toString(QUrl::FullyEncoded).toStdString();
    if (IsWebAddress(address)) ShellOpen(address);
  });
}

bool HtmlViewPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
  const std::string address = url.toString(QUrl::FullyEncoded).toStdString();
  if (const std::optional<AppLink> link = ParseAppLink(address)) {
    // Only the program's own templates talk to the program.
    if (this->url().scheme() == "qrc") view_->OnAppCmd(*link);
    return false;
  }
  if (!isMainFrame || view_->TakeTemplateNavigation(url)) return true;
  // A jump within the template stays on it.
  if (url.adjusted(QUrl::RemoveFragment) == this->url().adjusted(QUrl::RemoveFragment)) return true;
  // Anything else would replace the template, and the rows sent to it would be lost: a link
  // the user clicks opens in the browser instead.
  if (type == NavigationTypeLinkClicked && IsWebAddress(address)) ShellOpen(address);
  return false;
}

void HtmlViewPage::javaScriptAlert(const QUrl& /*securityOrigin*/, const QString& msg) {
  view_->ShowScriptMessage(msg.toStdString(), kMbOk);
}

bool HtmlViewPage::javaScriptConfirm(const QUrl& /*securityOrigin*/, const QString& msg) {
  return view_->ShowScriptMessage(msg.toStdString(), kMbOkCancel) == kIdOk;
}

}  // namespace lumarine
