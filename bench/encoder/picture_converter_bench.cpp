// What one 1080-line picture costs on its way to x264: passed through when it is 4:2:0 already,
// converted from 4:2:2 as one picture, or field by field for interlaced coding.

#include <benchmark/benchmark.h>

#include "encoder/av_ptr.h"
#include "encoder/picture_converter.h"

namespace korvu::enc {
namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

AvPtr<AVFrame> GreyPicture(AVPixelFormat format) {
  AvPtr<AVFrame> frame = NewFrame();
  frame->format = format;
  frame->width = kWidth;
  frame->height = kHeight;
  if (av_frame_get_buffer(frame.get(), 0) < 0) throw std::bad_alloc();
  for (int p = 0; p < 4 && frame->buf[p] != nullptr; ++p)
    std::fill_n(frame->buf[p]->data, frame->buf[p]->size, 128);
  return frame;
}

void Convert(benchmark::State& state, AVPixelFormat format, bool by_field) {
  PictureConverter converter("bench", kWidth, kHeight, by_field);
  const AvPtr<AVFrame> in = GreyPicture(format);
  AvPtr<AVFrame> out = NewFrame();
  for (auto _ : state) {
    converter.Convert(*in, *out);
    benchmark::DoNotOptimize(out->data[0]);
  }
}

void BM_PassThrough420(benchmark::State& state) {
  Convert(state, AV_PIX_FMT_YUV420P, false);
}
void BM_Convert422Progressive(benchmark::State& state) {
  Convert(state, AV_PIX_FMT_YUV422P, false);
}
void BM_Convert422ByField(benchmark::State& state) {
  Convert(state, AV_PIX_FMT_YUV422P, true);
}
void BM_ConvertYuyvByField(benchmark::State& state) {
  Convert(state, AV_PIX_FMT_YUYV422, true);
}

BENCHMARK(BM_PassThrough420);
BENCHMARK(BM_Convert422Progressive);
BENCHMARK(BM_Convert422ByField);
BENCHMARK(BM_ConvertYuyvByField);

}  // namespace
}  // namespace korvu::enc
