#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QVariant>
#include <QWebEnginePage>
#include <memory>

#include "htmlview/html_ctrl_ex.h"

namespace lumarine::test {

// Runs a script in the page and waits for its value (an invalid QVariant after 10 s).
inline QVariant RunScript(QWebEnginePage* page, const QString& script) {
  struct Answer {
    bool done = false;
    QVariant value;
  };
  auto answer = std::make_shared<Answer>();
  page->runJavaScript(script, [answer](const QVariant& value) {
    answer->value = value;
    answer->done = true;
  });
  QElapsedTimer timer;
  timer.start();
  while (!answer->done && timer.elapsed() < 10000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return answer->value;
}

// Waits until the view has completed its current document (true) or 30 s passed.
inline bool WaitForDocument(CHtmlCtrlEx* view) {
  QSignalSpy completed(view, &CHtmlCtrlEx::DocumentCompleted);
  if (!view->IsLoading()) return true;
  return completed.wait(30000);
}

// Lets queued events, page scripts and engine round trips run for a while.
inline void Settle(int milliseconds = 200) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

}  // namespace lumarine::test
