#pragma once

#include <QApplication>

namespace kelvan::view {

// The hourglass while a long operation runs on the user-interface thread, for as long as
// the object lives.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace kelvan::view
