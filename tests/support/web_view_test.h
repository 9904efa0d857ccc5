#pragma once

#include <QCoreApplication>
#include <QObject>

#include "htmlview/html_ctrl_ex.h"

namespace lumarine {

// Base of the QtTest classes whose tests show web views. QTEST_MAIN calls initMain before the
// application exists, which is when the web engine must hear that views share GL contexts and
// which scheme the program's own pages use.
class WebViewTest : public QObject {
 public:
  static void initMain() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    CHtmlCtrlEx::RegisterAppScheme();
  }
};

}  // namespace lumarine
