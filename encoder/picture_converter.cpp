#include "encoder/picture_converter.h"

#include <string>

extern "C" {
#include <libavutil/pixdesc.h>
}

#include "encoder/error.h"

namespace korvu::enc {

bool IsPlanar420(int format) {
  return format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P;
}

PictureConverter::PictureConverter(std::string subject, int width, int height, bool by_field)
    : subject_(std::move(subject)), width_(width), height_(height), by_field_(by_field) {
  // Each field must be whole lines of 4:2:0 chroma.
  if (by_field_ && height_ % 4 != 0)
    throw Error(subject_, "has a picture height of " + std::to_string(height_) +
                              "; interlaced coding needs one divisible by 4");
}

void PictureConverter::Convert(const AVFrame& in, AVFrame& out) {
  if (in.width != width_ || in.height != height_)
    throw Error(subject_, "the picture size changes from " + std::to_string(width_) + "x" +
                              std::to_string(height_) + " to " + std::to_string(in.width) + "x" +
                              std::to_string(in.height) + " within the video");
  av_frame_unref(&out);
  if (IsPlanar420(in.format)) {
    if (av_frame_ref(&out, &in) < 0) throw std::bad_alloc();
    return;
  }
  out.format = AV_PIX_FMT_YUV420P;
  out.width = width_;
  out.height = height_;
  if (av_frame_get_buffer(&out, 0) < 0) throw std::bad_alloc();
  Scale(in, out);
}

// A field is every other line: start one line down for the second, step two lines at a time.
void PictureConverter::Scale(const AVFrame& in, AVFrame& out) {
  const int fields = by_field_ ? 2 : 1;
  const int rows = height_ / fields;
  const auto format = static_cast<AVPixelFormat>(in.format);
  scaler_.reset(sws_getCachedContext(scaler_.release(), width_, rows, format, width_, rows,
                                     AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
  if (!scaler_)
    throw Error(subject_, std::string("pictures in ") + av_get_pix_fmt_name(format) +
                              " cannot be converted to 4:2:0");
  const int in_planes = av_pix_fmt_count_planes(format);
  for (int field = 0; field < fields; ++field) {
    const uint8_t* src[4] = {in.data[0], in.data[1], in.data[2], in.data[3]};
    int src_stride[4] = {in.linesize[0], in.linesize[1], in.linesize[2], in.linesize[3]};
    uint8_t* dst[4] = {out.data[0], out.data[1], out.data[2], nullptr};
    int dst_stride[4] = {out.linesize[0], out.linesize[1], out.linesize[2], 0};
    for (int p = 0; p < in_planes; ++p) {
      src[p] += field * in.linesize[p];
      src_stride[p] *= fields;
    }
    for (int p = 0; p < 3; ++p) {
      dst[p] += field * out.linesize[p];
      dst_stride[p] *= fields;
    }
    sws_scale(scaler_.get(), src, src_stride, 0, rows, dst, dst_stride);
  }
}

}  // namespace korvu::enc
