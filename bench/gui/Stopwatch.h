#pragma once

#include <chrono>
#include <functional>

namespace kelvan::bench {

// The wall-clock seconds `work` takes.
inline double Seconds(const std::function<void()>& work) {
  const auto t0 = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace kelvan::bench
