#include "htmlview/html_ctrl_ex.h"

#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QPointer>
#include <QWebEngineLoadingInfo>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlScheme>
#include <utility>

#include "htmlview/doc_host_handler.h"
#include "htmlview/engine_switches.h"
#include "htmlview/html_view_page.h"
#include "platform/message_box.h"

namespace lumarine {
namespace {

// The templates were written for an old engine. This runs before any page script of every
// document and makes them behave as they did there, without touching their text:
// window.navigate exists; the bodies' min-width (ignored by that engine) gives way so rows
// wrap inside the narrow bar, also for long unbroken words (but never inside a channel tag's
// brackets); spans with a width lay out as columns; and the manager's head row keeps its
// padding inside its 100% width.
constexpr char kCompatibilityScript[] = R"JS(
(function () {
  if (typeof window.navigate !== 'function') {
    // Deferred, so that a link's own default action (href="#") cannot cancel it.
    window.navigate = function (url) {
      var target = String(url);
      setTimeout(function () { window.location.href = target; }, 0);
    };
  }
  try {
    var sheet = new CSSStyleSheet();
    sheet.replaceSync(
      'body { min-width: 0 !important; }' +
      '#c_1 > div { overflow-wrap: anywhere; }' +
      '.classtag { white-space: nowrap; }' +
      'span[style*="width"] { display: inline-block; }' +
      '#pagehead { box-sizing: border-box; }');
    document.adoptedStyleSheets = document.adoptedStyleSheets.concat([sheet]);
  } catch (e) {}
})();
)JS";

QString TemplatePath(int resourceId) {
  switch (resourceId) {
    case kHtmlNewsList:
      return ":/pages/news_list.htm";
    case kHtmlChannelManager:
      return ":/pages/channel_manager.htm";
    default:
      return {};
  }
}

}  // namespace

CHtmlCtrlEx::CHtmlCtrlEx(QWidget* parent) : QWebEngineView(parent), page_(new HtmlViewPage(this)) {
  setPage(page_);
  QWebEngineScript compatibility;
  compatibility.setName("lumarine-compatibility");
  compatibility.setSourceCode(kCompatibilityScript);
  compatibility.setInjectionPoint(QWebEngineScript::DocumentCreation);
  compatibility.setWorldId(QWebEngineScript::MainWorld);
  compatibility.setRunsOnSubFrames(true);
  page_->scripts().insert(compatibility);
  QWebEngineSettings* viewSettings = settings();
  // Addresses nobody handles must not reach the desktop's protocol handlers.
  viewSettings->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
  // A link or file dropped on the page must not replace the template.
  viewSettings->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
  // What two local pages of text and links never use.
  viewSettings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
  viewSettings->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
  viewSettings->setAttribute(QWebEngineSettings::WebGLEnabled, false);
  viewSettings->setAttribute(QWebEngineSettings::Accelerated2dCanvasEnabled, false);
  viewSettings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
  setContextMenuPolicy(Qt::NoContextMenu);
  connect(page_, &QWebEnginePage::loadingChanged, this, &CHtmlCtrlEx::OnLoadingChanged);
  ApplyHandlerSettings();
}

CHtmlCtrlEx::~CHtmlCtrlEx() = default;

void CHtmlCtrlEx::PrepareEngine() {
  RegisterAppScheme();
  const QByteArray userFlags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  EngineHost host;
  host.sandboxDisabled = qEnvironmentVariableIntValue("QTWEBENGINE_DISABLE_SANDBOX") != 0 ||
                         userFlags.contains("--no-sandbox");
  host.gpuPresent = !QDir("/dev/dri").entryList({"renderD*"}, QDir::System).isEmpty();
  if (!host.gpuPresent) {
    // Qt's side of the views then draws in software too, and loads no GL at all.
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
      qputenv("QT_XCB_GL_INTEGRATION", "none");
  }
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", QByteArray::fromStdString(MergeEngineSwitches(
                                            userFlags.toStdString(), DefaultEngineSwitches(host))));
}

void CHtmlCtrlEx::RegisterAppScheme() {
  if (QWebEngineUrlScheme::schemeByName("app").name() == "app") return;
  QWebEngineUrlScheme scheme("app");
  scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
  QWebEngineUrlScheme::registerScheme(scheme);
}

bool CHtmlCtrlEx::CreateFromStatic(int placeholderId, QWidget* parent, DocHostHandler* handler) {
  const QString name = QString::number(placeholderId);
  QWidget* placeholder = parent->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
  if (!placeholder || placeholder == this) return false;
  const QRect rect = placeholder->geometry();
  delete placeholder;
  setParent(parent);
  setObjectName(name);
  setGeometry(rect);
  SetHandler(handler);
  createdFromStatic = true;
  show();
  return true;
}

void CHtmlCtrlEx::SetHandler(DocHostHandler* handler) {
  this->handler = handler;
  ApplyHandlerSettings();
}

void CHtmlCtrlEx::ApplyHandlerSettings() {
  const bool show = handler && handler->showScrollBars != 0;
  settings()->setAttribute(QWebEngineSettings::ShowScrollBars, show);
}

bool CHtmlCtrlEx::LoadFromResource(int resourceId) {
  const QString path = TemplatePath(resourceId);
  if (path.isEmpty()) return false;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  pending_.clear();
  if (loading_) {
    // The engine reports a load started during another as part of that one, so operations
    // queued for the new page would run when the old one ends. It waits for that end instead.
    queuedTemplate_ = {path, file.readAll()};
    return true;
  }
  StartTemplateLoad(path, file.readAll());
  return true;
}

void CHtmlCtrlEx::StartTemplateLoad(const QString& path, const QByteArray& bytes) {
  loading_ = true;
  ++templateNavigations_;
  // The templates are GB2312 text without a charset declaration of their own.
  page_->setContent(bytes, "text/html;charset=GB2312", QUrl("qrc" + path));
}

bool CHtmlCtrlEx::TakeTemplateNavigation(const QUrl& url) {
  // The engine asks about the template as the data: address that carries its bytes.
  if (templateNavigations_ == 0 || url.scheme() != "data") return false;
  --templateNavigations_;
  return true;
}

void CHtmlCtrlEx::SetFontSize(int size) {
  if (size != 0) fontSize = size;
  ApplyFontSize();
}

void CHtmlCtrlEx::ApplyFontSize() {
  page_->runJavaScript(
      QString("if (document.body && document.body.style) document.body.style.fontSize = '%1px';")
          .arg(fontSize));
}

void CHtmlCtrlEx::ScrollBy(bool down, int amount) {
  const int delta = down ? amount : -amount;
  page_->runJavaScript(
      QString(
          "try { var b = document.body; if (b) b.scrollTop = b.scrollTop + (%1); } catch (e) {}")
          .arg(delta));
}

void CHtmlCtrlEx::RunWhenLoaded(const QString& script) {
  if (loading_)
    pending_.push_back(script);
  else
    page_->runJavaScript(script);
}

void CHtmlCtrlEx::OnAppCmd(const AppLink& link) {
  // The command runs after the browser has finished deciding on the navigation, so that a
  // command that opens a modal dialog never spins an event loop inside the engine's callback.
  QPointer<CHtmlCtrlEx> self(this);
  QMetaObject::invokeMethod(
      this,
      [self, link] {
        if (self && self->handler) self->handler->OnAppCommand(link.commandId, link.argument);
      },
      Qt::QueuedConnection);
}

int CHtmlCtrlEx::ShowScriptMessage(const std::string& text, unsigned buttons) {
  if (handler) return handler->ShowMessage(text, buttons);
  return ShowMessageBox(text, "Caption", buttons);
}

void CHtmlCtrlEx::OnLoadingChanged(const QWebEngineLoadingInfo& info) {
  // Only template loads reach the document; a refused navigation (app: commands, addresses
  // away from the template) starts and stops without touching it.
  const QString scheme = info.url().scheme();
  if (!loading_ || info.status() == QWebEngineLoadingInfo::LoadStartedStatus ||
      (scheme != "qrc" && scheme != "data"))
    return;
  OnLoadFinished(info.status() == QWebEngineLoadingInfo::LoadSucceededStatus);
}

void CHtmlCtrlEx::OnLoadFinished(bool ok) {
  if (!queuedTemplate_.first.isEmpty()) {
    // The document that ended is replaced at once; nobody hears of it.
    auto [path, bytes] = std::exchange(queuedTemplate_, {});
    StartTemplateLoad(path, bytes);
    return;
  }
  loading_ = false;
  std::vector<QString> pending;
  pending.swap(pending_);
  ApplyFontSize();
  if (handler) handler->OnDocumentReady();
  emit DocumentCompleted(ok);
  if (loading_) return;  // the handler started another load; what waited belongs to this one
  for (const QString& script : pending) page_->runJavaScript(script);
}

}  // namespace lumarine
