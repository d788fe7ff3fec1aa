#pragma once

#include <memory>
#include <new>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace korvu::enc {

// Owners for FFmpeg's objects, each freed by FFmpeg's own function.
struct AvDeleter {
  void operator()(AVFormatContext* p) const { avformat_close_input(&p); }
  void operator()(AVCodecContext* p) const { avcodec_free_context(&p); }
  void operator()(AVFrame* p) const { av_frame_free(&p); }
  void operator()(AVPacket* p) const { av_packet_free(&p); }
  void operator()(SwsContext* p) const { sws_freeContext(p); }
};
template <typename T>
using AvPtr = std::unique_ptr<T, AvDeleter>;

inline AvPtr<AVFrame> NewFrame() {
  AvPtr<AVFrame> frame(av_frame_alloc());
  if (!frame) throw std::bad_alloc();
  return frame;
}

// FFmpeg's text for one of its error codes.
inline std::string AvErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

}  // namespace korvu::enc
