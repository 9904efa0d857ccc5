#pragma once

#include <QString>
#include <QWebEngineView>
#include <string>
#include <utility>
#include <vector>

#include "htmlview/app_link.h"

class QWebEngineLoadingInfo;

namespace lumarine {

class DocHostHandler;
class HtmlViewPage;

// Page templates the program carries, by resource number.
enum HtmlResource : int {
  kHtmlNewsList = 132,
  kHtmlChannelManager = 150,
};

// The HTML view that dialogs embed in place of a placeholder widget. It loads the program's
// page templates, keeps the body font size across documents, turns app: links into calls on
// its handler and runs page operations once the current document has loaded.
// GUI thread only. The handler is not owned and must outlive the view.
class CHtmlCtrlEx : public QWebEngineView {
  Q_OBJECT

 public:
  explicit CHtmlCtrlEx(QWidget* parent = nullptr);
  ~CHtmlCtrlEx() override;

  // Makes app: addresses known to the web engine, so that navigations to them come to the
  // view to be cancelled instead of being refused as unknown. Call once before the
  // QApplication is created.
  static void RegisterAppScheme();
  // RegisterAppScheme, and the engine's start-up switches for this host (engine_switches.h):
  // without a GPU the views are drawn without GL. Whatever the user set in the environment
  // (QTWEBENGINE_CHROMIUM_FLAGS, QT_QUICK_BACKEND, QT_XCB_GL_INTEGRATION) stays in force.
  // Call once before the QApplication is created.
  static void PrepareEngine();

  // Takes the place of `parent`'s direct child named by `placeholderId` (its object name is
  // the number): same geometry, same name; the placeholder is deleted. False when there is
  // no such child.
  bool CreateFromStatic(int placeholderId, QWidget* parent, DocHostHandler* handler);
  // Binds a handler without a placeholder (applies its scroll bar choice).
  void SetHandler(DocHostHandler* handler);

  // Loads a page template; false for an unknown resource. Operations waiting for the
  // previous document are dropped with it. While another load is still on its way, this one
  // starts when that one ends, and only this one's document runs what is queued from now on.
  bool LoadFromResource(int resourceId);
  // True, once, for the main-frame navigation that carries a template this view is loading;
  // every other main-frame navigation would take the view away from its template.
  bool TakeTemplateNavigation(const QUrl& url);

  // 0 keeps the current size. Applied to the body as "<n>px" now and after every load.
  void SetFontSize(int size);
  int FontSize() const { return fontSize; }

  // Moves the document's vertical scroll position; silently nothing without a document.
  void ScrollBy(bool down, int amount);

  // Runs a page operation on the current document, or, while a document is loading, once it
  // has loaded (in the order given), so that nothing sent during a load is lost.
  void RunWhenLoaded(const QString& script);
  bool IsLoading() const { return loading_; }

  // Called by the page for every app: navigation, which it then cancels.
  virtual void OnAppCmd(const AppLink& link);
  int ShowScriptMessage(const std::string& text, unsigned buttons);

 signals:
  // After the handler heard of a completed document.
  void DocumentCompleted(bool ok);

 private:
  void ApplyHandlerSettings();
  void OnLoadingChanged(const QWebEngineLoadingInfo& info);
  void OnLoadFinished(bool ok);
  void ApplyFontSize();
  void StartTemplateLoad(const QString& path, const QByteArray& bytes);

  HtmlViewPage* page_;  // child of the view
  DocHostHandler* handler = nullptr;
  int fontSize = 12;
  bool createdFromStatic = false;
  bool loading_ = false;
  std::vector<QString> pending_;
  std::pair<QString, QByteArray> queuedTemplate_;  // path and bytes; empty path: none
  int templateNavigations_ = 0;                    // template loads not yet navigated
};

}  // namespace lumarine
