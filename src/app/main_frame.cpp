#include "app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "app/about_dialog.h"
#include "app/app_bar_mngr.h"
#include "app/autostart_entry.h"
#include "app/line_walk.h"
#include "app/news_notifier.h"
#include "app/settings_dialog.h"
#include "base/bar_images.h"
#include "base/command_ids.h"
#include "base/message_ids.h"
#include "base/news_stored_event.h"
#include "base/user_message_event.h"
#include "platform/process_values.h"
#include "platform/settings.h"

namespace lumarine {
namespace {

constexpr QRgb kClientFill = 0xF7F7F3;  // colour reference 0xF3F7F7
constexpr QRgb kEdgeGrey = 0xC8C8C8;
constexpr QRgb kSloganGrey = 0x969696;

QRect FromEdges(int left, int top, int right, int bottom) {
  return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

// Hit areas of the three title band buttons for client width w.
QRect TrayButton(int w) { return FromEdges(w - 46, 7, w - 38, 16); }
QRect CloseButton(int w) { return FromEdges(w - 12, 8, w - 4, 16); }
QRect MenuButton(int w) { return FromEdges(w - 29, 9, w - 21, 16); }

// The close button's X: two poly-lines, each diagonal three pixels thick.
std::vector<GridPoint> CloseGlyph(int w) {
  const GridPoint tl{w - 12, 8}, tr{w - 4, 8}, bl{w - 12, 16}, br{w - 4, 16};
  std::vector<GridPoint> pixels = PolylinePixels(
      {tl, br, {br.x, br.y - 1}, {tl.x + 1, tl.y}, {tl.x, tl.y + 1}, {br.x - 1, br.y}, br});
  const std::vector<GridPoint> second = PolylinePixels(
      {bl, tr, {tr.x, tr.y + 1}, {bl.x + 1, bl.y}, {bl.x, bl.y - 1}, {tr.x - 1, tr.y}, tr});
  pixels.insert(pixels.end(), second.begin(), second.end());
  return pixels;
}

QWidget* PlaceholderPanel(QWidget* frame, const char* name) {
  auto* panel = new QWidget(frame);
  panel->setObjectName(name);
  panel->setAutoFillBackground(true);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, ThemeShade(4));
  panel->setPalette(palette);
  return panel;
}

}  // namespace

CMainFrame::CMainFrame(CAppBarMngr& dock, MainFrameHooks hooks)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint),
      dock_(dock),
      hooks_(std::move(hooks)),
      titleStrip_(TitleStripImage()) {
  setWindowTitle("Ledgewatch");
  setWindowIcon(AppIcon());
  // The frame paints every pixel itself.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  resize(kBarWidth, 600);

  SetSubjectSearchTemplate(Settings::SubjectFeedTemplate());
  subjectHidden_ = Settings::SubjectBarHidden();
  channelHidden_ = Settings::ChannelBarHidden();
  dock_.SetAutoHide(Settings::AutoHide() ? 1 : 0);
  if (!hooks_.createPanelsLater) CreatePanels();
  splashTimerId_ = startTimer(hooks_.splashMilliseconds);

  mainMenu_ = BuildMenu({{kCmdToggleSubjectBar, "关闭/显示专题栏"},
                         {kCmdToggleChannelBar, "关闭/显示频道栏"},
                         {kCmdAutoHide, "自动隐藏"},
                         {kCmdAutoStart, "开机自动启动"},
                         {kCmdSwitchDockSide, "右停靠"},
                         {kCmdSettings, "设置..."},
                         {0, nullptr},
                         {kCmdAbout, "关于Lumarine..."}});
  actions_.at(kCmdAutoHide)->setCheckable(true);
  actions_.at(kCmdAutoStart)->setCheckable(true);
  trayMenu_ = BuildMenu({{kCmdRestore, "打开Lumarine"}, {kCmdExit, "退出Lumarine"}});
  notifier_ = new NewsNotifier({[this] { return NewsListVisible(); }, [this] { ShowNewsList(); },
                                [this] { return trayIcon_; }},
                               this);
  notifier_->Watch(this);

  connect(&dock_, &CAppBarMngr::SideChanged, this, [this] {
    Relayout();
    update();
  });
  // Arrow keys anywhere in the frame scroll the news list.
  qApp->installEventFilter(this);
}

CMainFrame::~CMainFrame() {
  if (trayIcon_) trayIcon_->hide();
}

QMenu* CMainFrame::BuildMenu(std::initializer_list<std::pair<int, const char*>> entries) {
  auto* menu = new QMenu(this);
  for (const auto& [id, text] : entries) {
    if (text == nullptr) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(QString::fromUtf8(text));
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, commandId = id] { OnCommand(commandId); });
    actions_[id] = action;
  }
  return menu;
}

QAction* CMainFrame::MenuAction(int commandId) const {
  const auto found = actions_.find(commandId);
  return found == actions_.end() ? nullptr : found->second;
}

void CMainFrame::CreatePanels() {
  if (panelsCreated_ || destroyed_) return;
  panelsCreated_ = true;
  if (!subjectHidden_ && !subjectBar_)
    subjectBar_ = CreatePanel(hooks_.createSubjectBar, "subjectBar");
  if (!channelHidden_ && !channelBar_)
    channelBar_ = CreatePanel(hooks_.createChannelBar, "channelBar");
  Relayout();
}

QWidget* CMainFrame::CreatePanel(const std::function<QWidget*(QWidget*)>& factory,
                                 const char* name) {
  QWidget* panel = factory ? factory(this) : PlaceholderPanel(this, name);
  if (panel == nullptr) return nullptr;
  panel->setParent(this);
  panel->hide();
  return panel;
}

// ---- messages and commands ----

bool CMainFrame::event(QEvent* event) {
  const auto* message = static_cast<UserMessageEvent*>(event);
  switch (static_cast<int>(event->type())) {
    case kMsgCommand:
      OnCommand(static_cast<int>(message->First()));
      return true;
    case kMsgToggleSubjectBar:
      ToggleSubjectBar();
      return true;
    case kMsgToggleChannelBar:
      ToggleChannelBar();
      return true;
    case kMsgTrayNotify:
      OnTrayNotify(static_cast<QSystemTrayIcon::ActivationReason>(message->First()));
      return true;
    case kMsgNewsStored: {
      const auto* stored = static_cast<NewsStoredEvent*>(event);
      notifier_->OnNewsStored(stored->count, stored->titles);
      return true;
    }
    default:
      return QWidget::event(event);
  }
}

void CMainFrame::OnCommand(int commandId) {
  switch (commandId) {
    case kCmdToggleSubjectBar:
      PostUserMessage(this, kMsgToggleSubjectBar);
      break;
    case kCmdToggleChannelBar:
      PostUserMessage(this, kMsgToggleChannelBar);
      break;
    case kCmdSwitchDockSide:
      dock_.SwitchSide();
      break;
    case kCmdAutoHide:
      dock_.ToggleAutoHide();
      break;
    case kCmdAutoStart:
      AutostartEntry::Set(!AutostartEntry::Exists());
      break;
    case kCmdSettings:
      OpenDialog(new SettingsDialog(this));
      break;
    case kCmdAbout:
      OpenDialog(new AboutDialog(this));
      break;
    case kCmdRestore:
      Restore();
      break;
    case kCmdExit:
      if (trayIcon_) trayIcon_->hide();
      DestroyFrame();
      break;
    default:
      break;
  }
}

void CMainFrame::OnTrayNotify(QSystemTrayIcon::ActivationReason reason) {
  // The context menu (right button) is shown by the icon itself. A single click restores
  // too, as on every Linux desktop; the double click that follows finds the bar back.
  if ((reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger) && trayIcon_ &&
      trayIcon_->isVisible())
    Restore();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !channelBar_ || !watched->isWidgetType())
    return QWidget::eventFilter(watched, event);
  auto* widget = static_cast<QWidget*>(watched);
  // A key event travels up the parents; act once, where it was first delivered.
  QWidget* first = QApplication::focusWidget();
  if (first == nullptr || first->window() != this) first = this;
  if (widget != first || widget->window() != this) return QWidget::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key == Qt::Key_Up) PostCommand(channelBar_, kCmdScrollUp);
  if (key == Qt::Key_Down) PostCommand(channelBar_, kCmdScrollDown);
  return QWidget::eventFilter(watched, event);
}

// ---- painting and layout ----

void CMainFrame::paintEvent(QPaintEvent*) {
  const int w = width();
  const int h = height();
  const QColor shade = ThemeShade(2);
  QPainter painter(this);
  painter.fillRect(rect(), QColor(kClientFill));
  painter.drawImage(QRect(0, 0, w, kTitleHeight), titleStrip_);

  painter.fillRect(FromEdges(w - 46, 12, w - 38, 14), shade);
  constexpr int kTriangleRows[][2] = {{9, 9}, {10, 7}, {11, 5}, {12, 3}, {13, 1}, {14, 1}};
  for (const auto& [y, count] : kTriangleRows)
    painter.fillRect(QRect(w - 29 + (9 - count) / 2, y, count, 1), shade);
  for (const GridPoint& p : CloseGlyph(w)) painter.fillRect(QRect(p.x, p.y, 1, 1), shade);

  painter.setFont(SongTiFont(15, 700));
  painter.setPen(shade);
  painter.drawText(QRect(3, 7, w, 20), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromUtf8("Lumarine快讯"));

  const int edgeX = dock_.Left() ? w - 2 : 0;
  const QColor white(Qt::white);
  const QColor grey(kEdgeGrey);
  painter.fillRect(QRect(edgeX, 1, 1, h - 1), dock_.Left() ? white : grey);
  painter.fillRect(QRect(edgeX + 1, 1, 1, h - 1), dock_.Left() ? grey : white);

  if (splash_) {
    painter.setFont(SongTiFont(12, 400));
    painter.setPen(QColor(kSloganGrey));
    painter.drawText(QRect(10, h / 2 - 10, w, 20), Qt::AlignLeft | Qt::AlignTop,
                     QString::fromUtf8("Lumarine 信息尽在掌握"));
  }
}

void CMainFrame::Relayout() {
  const int w = width();
  const int h = height();
  const int leftInset = dock_.Left() ? outerInset_ : innerInset_;
  const int rightInset = dock_.Left() ? innerInset_ : outerInset_;
  if (subjectBar_)
    subjectBar_->setGeometry(FromEdges(leftInset, kTitleHeight, w - rightInset, splitter_ - 3));
  if (channelBar_)
    channelBar_->setGeometry(FromEdges(leftInset, splitter_ + 3, w - rightInset, h - 2));
}

QRect CMainFrame::SplitterBand() const {
  return FromEdges(5, splitter_ - 2, width() - 5, splitter_ + 3);
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Relayout();
}

void CMainFrame::timerEvent(QTimerEvent* event) {
  if (event->timerId() == splashTimerId_)
    OnSplashTimer();
  else
    QWidget::timerEvent(event);
}

void CMainFrame::OnSplashTimer() {
  CreatePanels();
  splash_ = false;
  killTimer(splashTimerId_);
  splashTimerId_ = 0;
  if (subjectHidden_ || !subjectBar_)
    splitter_ = kTitleHeight - 2;
  else
    subjectBar_->show();
  if (channelHidden_ || !channelBar_)
    splitter_ = height();
  else
    channelBar_->show();
  Relayout();
  update();
}

// ---- panels ----

void CMainFrame::ToggleChannelBar() {
  if (!channelBar_) channelBar_ = CreatePanel(hooks_.createChannelBar, "channelBar");
  if (!channelBar_) return;
  if (channelBar_->isVisibleTo(this)) {
    if (subjectBar_ && subjectBar_->isVisibleTo(this)) sharedSplitter_ = splitter_;
    splitter_ = height();
    channelBar_->hide();
    channelHidden_ = true;
    Settings::SetChannelBarHidden(true);
  } else {
    splitter_ =
        subjectBar_ && subjectBar_->isVisibleTo(this) ? SharedSplitter(height() / 5) : kTitleHeight;
    if (hooks_.signalListRefresh) hooks_.signalListRefresh();
    channelBar_->show();
    channelHidden_ = false;
    Settings::SetChannelBarHidden(false);
  }
  channelBar_->update();
  Relayout();
  update();
}

// Showing a panel beside the other gives back the split they had when one was hidden.
int CMainFrame::SharedSplitter(int fallback) const {
  return sharedSplitter_ > kTitleHeight && sharedSplitter_ < height() ? sharedSplitter_ : fallback;
}

void CMainFrame::ToggleSubjectBar() {
  if (!subjectBar_) subjectBar_ = CreatePanel(hooks_.createSubjectBar, "subjectBar");
  if (!subjectBar_) return;
  if (subjectBar_->isVisibleTo(this)) {
    if (channelBar_ && channelBar_->isVisibleTo(this)) sharedSplitter_ = splitter_;
    splitter_ = kTitleHeight;
    subjectBar_->hide();
    subjectHidden_ = true;
    Settings::SetSubjectBarHidden(true);
  } else {
    splitter_ =
        channelBar_ && channelBar_->isVisibleTo(this) ? SharedSplitter(height() / 3) : height() / 3;
    subjectBar_->show();
    subjectHidden_ = false;
    Settings::SetSubjectBarHidden(false);
  }
  subjectBar_->update();
  Relayout();
  update();
}

// ---- mouse ----

void CMainFrame::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  const QPoint p = event->position().toPoint();
  const int w = width();
  if (TrayButton(w).contains(p)) return GoToTray();
  if (CloseButton(w).contains(p)) return DestroyFrame();
  QWidget* grabber = QWidget::mouseGrabber();
  if (MenuButton(w).contains(p)) {
    ShowMainMenu();
  } else if (SplitterBand().contains(p)) {
    if (grabber == nullptr) {
      setCursor(Qt::SizeVerCursor);
      splitterDrag_ = true;
    }
  } else if (p.y() < kTitleHeight && grabber == nullptr) {
    dock_.BeginMoveDrag(event->globalPosition().toPoint());
  }
  QWidget::mousePressEvent(event);
}

void CMainFrame::mouseMoveEvent(QMouseEvent* event) {
  if (dock_.MoveDragging()) return dock_.MoveDrag(event->globalPosition().toPoint());
  const QPoint p = event->position().toPoint();
  if (SplitterBand().contains(p) || splitterDrag_)
    setCursor(Qt::SizeVerCursor);
  else
    unsetCursor();
  if (!splitterDrag_) return QWidget::mouseMoveEvent(event);
  if (p.y() <= kTitleHeight || p.y() > height() - 20) return;
  splitter_ = p.y();
  Relayout();
  update();
}

void CMainFrame::mouseReleaseEvent(QMouseEvent* event) {
  // Only the button that started a drag ends it.
  if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  if (splitterDrag_) {
    splitterDrag_ = false;
    update(QRect(0, splitter_ - 2, width(), 5));
  }
  if (dock_.MoveDragging()) {
    dock_.EndMoveDrag(event->globalPosition().toPoint());
    if (subjectBar_) subjectBar_->update();
    if (channelBar_) channelBar_->update();
    update();
  }
  QWidget::mouseReleaseEvent(event);
}

void CMainFrame::ShowMainMenu() {
  actions_.at(kCmdSwitchDockSide)->setText(QString::fromUtf8(dock_.Left() ? "右停靠" : "左停靠"));
  actions_.at(kCmdAutoHide)->setChecked(Settings::AutoHide());
  actions_.at(kCmdAutoStart)->setChecked(AutostartEntry::Exists());
  mainMenu_->popup(mapToGlobal(QPoint(width() - 29, 16)));
}

// ---- notification area, dialogs, shut-down ----

void CMainFrame::GoToTray() {
  const bool trayExists =
      hooks_.trayAvailable ? hooks_.trayAvailable() : QSystemTrayIcon::isSystemTrayAvailable();
  // Without a notification area nothing could bring the bar back: leave it where it is.
  if (!trayExists) return;
  // A slide still running would show the frame again at its next step.
  dock_.StopSlide();
  if (!trayIcon_) {
    trayIcon_ = new QSystemTrayIcon(AppIcon(), this);
    trayIcon_->setContextMenu(trayMenu_);
    connect(trayIcon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
              PostUserMessage(this, kMsgTrayNotify, reason);
            });
  }
  trayIcon_->setToolTip("Lumarine Is Running");
  notifier_->ApplyBadge();
  trayIcon_->show();
  dock_.Register(false);
  showMinimized();
  hide();
}

void CMainFrame::Restore() {
  if (trayIcon_) trayIcon_->hide();
  // Reserved before the window is mapped: window managers read the strut when they take the
  // window on, and some ignore one that comes later.
  dock_.Register(true);
  showNormal();
}

void CMainFrame::ShowBar() {
  if (destroyed_) return;
  if (trayIcon_ && trayIcon_->isVisible()) return Restore();
  const QRect screen = dock_.ScreenRect();
  // In auto-hide a running slide may be taking the bar out: slide it in instead.
  const bool leaving = dock_.Sliding() && dock_.AutoHide() != 0;
  if (leaving || !isVisible() || !geometry().intersects(screen))
    dock_.Slide(dock_.Left() ? screen.left() - dock_.Width() : screen.right() + 1, dock_.Left());
  raise();
  activateWindow();
}

bool CMainFrame::NewsListVisible() const {
  // While the splash shows, the channel panel is about to appear: it counts as in view. The
  // minimised state is not asked: the bar is minimised only on its way to the tray, and
  // without a window manager the state may stay set after a restore.
  return isVisible() && channelBar_ && !channelHidden_ && geometry().intersects(dock_.ScreenRect());
}

// The default action of a news notification: the bar back from the tray or in from the screen
// edge, with the channel panel shown.
void CMainFrame::ShowNewsList() {
  if (destroyed_) return;  // a click that arrives while the bar closes must not bring it back
  ShowBar();
  if (!channelBar_ || channelHidden_) ToggleChannelBar();
  raise();
  activateWindow();
}

void CMainFrame::OpenDialog(QWidget* dialog) {
  // Top-most like the bar, so the dialog never opens beneath it.
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowFlag(Qt::WindowStaysOnTopHint);
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

void CMainFrame::DestroyFrame() {
  if (destroyed_) return;
  destroyed_ = true;
  dock_.StopSlide();
  dock_.Register(false);
  if (splashTimerId_ != 0) killTimer(splashTimerId_);
  splashTimerId_ = 0;
  hide();
  emit Closed();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  event->accept();
  DestroyFrame();
}

}  // namespace lumarine
