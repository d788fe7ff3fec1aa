#pragma once

// The lengths of the inputs a fuzzer tried, told when its run ends (scripts/fuzz shows the line):
// a run that never tried a long input cannot have found a reader that is slow on one.
#include <cstddef>
#include <cstdio>

namespace korvu::fuzz {

class InputLengths {
 public:
  static constexpr std::size_t kLong = 100'000;  // bytes

  void Tried(std::size_t size) {
    if (size > longest_) longest_ = size;
    if (size >= kLong) ++long_inputs_;
    ++inputs_;
  }

  // libFuzzer leaves through exit() once its time is up, which runs this.
  ~InputLengths() {
    std::fprintf(stderr,
                 "Longest input tried: %zu bytes; %zu of %zu inputs had %zu bytes or more\n",
                 longest_, long_inputs_, inputs_, kLong);
  }

 private:
  std::size_t longest_ = 0;
  std::size_t long_inputs_ = 0;
  std::size_t inputs_ = 0;
};

inline InputLengths input_lengths;

}  // namespace korvu::fuzz
