#include "app/gui_message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <cstdio>
#include <memory>
#include <optional>

namespace lumarine {
namespace {

// The answer of a box closed without a choice: the cautious one.
int DefaultAnswer(unsigned buttons) {
  return buttons == kMbYesNo ? kIdNo : buttons == kMbOkCancel ? kIdCancel : kIdOk;
}

}  // namespace

GuiMessageBox::GuiMessageBox() : previous_(SetMessageBoxService(this)) {}

GuiMessageBox::~GuiMessageBox() {
  Shutdown();
  SetMessageBoxService(previous_);
}

int GuiMessageBox::ShowOnGuiThread(const std::string& text, const std::string& caption,
                                   unsigned buttons) {
  QMessageBox box(QMessageBox::NoIcon,
                  QString::fromStdString(caption.empty() ? "Lumarine" : caption),
                  QString::fromStdString(text));
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  switch (buttons) {
    case kMbOkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case kMbYesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
  }
  switch (box.exec()) {
    case QMessageBox::Yes:
      return kIdYes;
    case QMessageBox::No:
      return kIdNo;
    case QMessageBox::Cancel:
      return kIdCancel;
    case QMessageBox::Ok:
      return kIdOk;
    default:
      return DefaultAnswer(buttons);
  }
}

int GuiMessageBox::Show(const std::string& text, const std::string& caption, unsigned buttons) {
  if (qApp && QThread::currentThread() == qApp->thread())
    return ShowOnGuiThread(text, caption, buttons);
  const std::shared_ptr<State> state = state_;  // outlives this object if need be
  // A worker that only reports does not wait for the user: it may be joined by the GUI
  // thread at any moment (a channel change, exit), and waiting would deadlock that join.
  const bool waitForAnswer = buttons != kMbOk;
  {
    std::lock_guard lock(state->mutex);
    if (state->shutDown || !qApp) {
      std::fprintf(stderr, "%s\n", text.c_str());
      return DefaultAnswer(buttons);
    }
    // Workers repeat a failure for every feed and round; one box of a report is enough
    // while it is still waiting or open.
    if (!waitForAnswer && !state->openReports.insert(caption + '\n' + text).second) return kIdOk;
  }
  auto answer = std::make_shared<std::optional<int>>();
  QMetaObject::invokeMethod(
      qApp,
      [state, answer, text, caption, buttons, waitForAnswer] {
        {
          std::lock_guard lock(state->mutex);
          if (state->shutDown) return;  // exit has begun; the caller was released
        }
        const int result = ShowOnGuiThread(text, caption, buttons);
        std::lock_guard lock(state->mutex);
        if (!waitForAnswer) state->openReports.erase(caption + '\n' + text);
        *answer = result;
        state->answered.notify_all();
      },
      Qt::QueuedConnection);
  if (!waitForAnswer) return kIdOk;
  std::unique_lock lock(state->mutex);
  state->answered.wait(lock, [&] { return answer->has_value() || state->shutDown; });
  return answer->has_value() ? **answer : DefaultAnswer(buttons);
}

void GuiMessageBox::Shutdown() {
  std::lock_guard lock(state_->mutex);
  state_->shutDown = true;
  state_->answered.notify_all();
}

}  // namespace lumarine
