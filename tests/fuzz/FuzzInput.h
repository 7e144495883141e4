#pragma once
// What every fuzz target shares: the input split into a few option bytes and the rest,
// and a check that stops the run with a message when a property does not hold.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace kelvan::fuzz {

// The first bytes of an input choose options; the rest is the text.
class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  // The next option byte, 0 once the input is used up.
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::string_view Rest() const {
    return {reinterpret_cast<const char*>(data_) + pos_, size_ - pos_};
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// A property that must hold for every input; a failure aborts, which the fuzzer reports
// as a crash with the input that caused it.
inline void Check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "property does not hold: %s\n", what);
  std::abort();
}

}  // namespace kelvan::fuzz
