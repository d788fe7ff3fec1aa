#include "encoder/x264_encoder.h"

#include <cstdio>

#include "encoder/error.h"

namespace korvu::enc {
namespace {

// How x264's messages speak of its statistics and side files, and of the passes that they join.
constexpr const char* kStatsWords[] = {"stats",   "statistics", "mbtree",
                                       "MB-tree", "1st pass",   "2nd pass"};

bool AboutStats(const std::string& reason) {
  for (const char* word : kStatsWords)
    if (reason.find(word) != std::string::npos) return true;
  return false;
}

}  // namespace

X264Encoder::X264Encoder(x264_param_t param, std::string subject, std::string stats,
                         WarningSink warn)
    : subject_(std::move(subject)), stats_(std::move(stats)), warn_(std::move(warn)) {
  param.pf_log = &X264Encoder::Log;
  param.p_log_private = this;
  param.i_log_level = X264_LOG_WARNING;
  handle_ = x264_encoder_open(&param);
  if (handle_ == nullptr) throw Failure("x264 refuses the settings");
}

X264Encoder::~X264Encoder() {
  if (handle_ != nullptr) x264_encoder_close(handle_);
}

std::span<const uint8_t> X264Encoder::Encode(x264_picture_t* picture) {
  x264_nal_t* nals = nullptr;
  int nal_count = 0;
  x264_picture_t coded;
  const int size = x264_encoder_encode(handle_, &nals, &nal_count, picture, &coded);
  if (size < 0) throw Failure("x264 failed");
  // x264 lays the payloads of one call out back to back.
  if (size == 0 || nal_count == 0) return {};
  return {nals[0].p_payload, static_cast<size_t>(size)};
}

int X264Encoder::DelayedFrames() const {
  return x264_encoder_delayed_frames(handle_);
}

x264_param_t X264Encoder::Parameters() const {
  x264_param_t param;
  x264_encoder_parameters(handle_, &param);
  return param;
}

bool X264Encoder::StatsUnwritten() {
  std::lock_guard lock(log_mutex_);
  return AboutStats(first_error_) && first_error_.find("written") != std::string::npos;
}

void X264Encoder::Log(void* self, int level, const char* format, va_list args) {
  auto* encoder = static_cast<X264Encoder*>(self);
  char line[512];
  std::vsnprintf(line, sizeof line, format, args);
  std::string text(line);
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  std::lock_guard lock(encoder->log_mutex_);
  if (level == X264_LOG_ERROR && encoder->first_error_.empty()) encoder->first_error_ = text;
  if (level == X264_LOG_WARNING && encoder->warn_) encoder->warn_(text);
}

Error X264Encoder::Failure(std::string_view what) {
  std::lock_guard lock(log_mutex_);
  const std::string reason = first_error_.empty() ? "no reason given" : first_error_;
  if (AboutStats(reason)) return Error(stats_, "cannot be used (x264: " + reason + ")");
  return Error(subject_, std::string(what) + ": " + reason);
}

}  // namespace korvu::enc
