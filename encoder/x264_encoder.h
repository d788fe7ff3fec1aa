#pragma once

#include <cstdarg>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include <stdint.h>
#include <x264.h>

#include "encoder/error.h"

namespace korvu::enc {

// One open libx264 encoder. x264's own log goes through this object: errors become the reason
// of the Error that a failed call throws, warnings go to `warn` as single lines.
class X264Encoder {
 public:
  using WarningSink = std::function<void(const std::string&)>;

  // Opens libx264 with `param`. Errors name `subject` (the input), or `stats` when x264's reason
  // is about its statistics files. Throws Error when x264 refuses the settings.
  X264Encoder(x264_param_t param, std::string subject, std::string stats, WarningSink warn);
  ~X264Encoder();
  X264Encoder(const X264Encoder&) = delete;
  X264Encoder& operator=(const X264Encoder&) = delete;

  // Encodes one picture, or with null hands out a frame that x264 still holds. Returns the coded
  // bytes, empty while x264 holds frames back; valid until the next call. Throws Error.
  std::span<const uint8_t> Encode(x264_picture_t* picture);
  // Frames that x264 still holds.
  int DelayedFrames() const;
  // The settings after x264 has checked and completed them.
  x264_param_t Parameters() const;
  // Whether x264 failed because it could not write its statistics.
  bool StatsUnwritten();

 private:
  static void Log(void* self, int level, const char* format, va_list args);
  Error Failure(std::string_view what);

  std::string subject_;
  std::string stats_;
  WarningSink warn_;
  std::mutex log_mutex_;  // x264 logs from its worker threads too
  std::string first_error_;
  x264_t* handle_ = nullptr;
};

}  // namespace korvu::enc
