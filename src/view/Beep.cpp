#include "view/Beep.h"

#include <QApplication>

#include <atomic>

namespace kelvan::view {

namespace {
std::atomic<int>& Counter() {
  static std::atomic<int> count{0};
  return count;
}
}  // namespace

void Beep() {
  ++Counter();
  QApplication::beep();
}

int BeepCount() { return Counter().load(); }

}  // namespace kelvan::view
