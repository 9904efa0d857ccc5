#pragma once

#include <QIcon>
#include <QImage>

namespace lumarine {

// Icon 128 with the unread count drawn on it for the notification area: a small red badge in
// the lower right corner, "99+" above 99. No badge for a count of 0 or less.
class TrayBadge {
 public:
  static QIcon Icon(int unread);
  static QImage Image(int size, int unread);
};

}  // namespace lumarine
