#include <cstring>
#include <string>

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

#include "encoder/error.h"
#include "encoder/source.h"
#include "encoder/win32/avifile_source.h"

namespace korvu::enc {
namespace {

std::string Clip(const char* name) {
  return std::string(KORVU_CLIPS) + "/" + name;
}

// Row by row, whichever way up each frame lies in memory.
bool SamePixels(const AVFrame& a, const AVFrame& b) {
  const auto format = static_cast<AVPixelFormat>(a.format);
  if (a.format != b.format) return false;
  const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
  for (int plane = 0; plane < av_pix_fmt_count_planes(format); ++plane) {
    const int rows = plane == 0 ? a.height : AV_CEIL_RSHIFT(a.height, descriptor->log2_chroma_h);
    const int bytes = av_image_get_linesize(format, a.width, plane);
    for (int row = 0; row < rows; ++row)
      if (std::memcmp(a.data[plane] + row * a.linesize[plane],
                      b.data[plane] + row * b.linesize[plane], bytes) != 0)
        return false;
  }
  return true;
}

// The route an AviSynth script takes reads a plain AVI file's pictures as FFmpeg does.
class AviFileRouteTest : public testing::TestWithParam<const char*> {};

TEST_P(AviFileRouteTest, ReadsThePicturesFfmpegReads) {
  AviFileSource avifile(Clip(GetParam()));
  Source ffmpeg(Clip(GetParam()));
  const VideoFacts &a = avifile.Facts(), &b = ffmpeg.Facts();
  EXPECT_EQ(a.width, b.width);
  EXPECT_EQ(a.height, b.height);
  EXPECT_EQ(a.frame_rate.num * b.frame_rate.den, b.frame_rate.num * a.frame_rate.den);
  EXPECT_EQ(a.listed_frames, b.listed_frames);
  for (int frame = 0;; ++frame) {
    const auto from_avifile = avifile.Next();
    const auto from_ffmpeg = ffmpeg.Next();
    ASSERT_EQ(from_avifile.has_value(), from_ffmpeg.has_value()) << "frame " << frame;
    if (!from_avifile) {
      EXPECT_EQ(frame, 10);
      break;
    }
    EXPECT_EQ(from_avifile->slot, from_ffmpeg->slot);
    EXPECT_TRUE(SamePixels(*from_avifile->frame, *from_ffmpeg->frame)) << "frame " << frame;
  }
}

INSTANTIATE_TEST_SUITE_P(Forms, AviFileRouteTest,
                         testing::Values("i420.avi", "bgr24.avi", "yuy2.avi"));

TEST(AviFileRouteTest, AnAviSynthScriptWithoutAviSynthSaysSo) {
  const std::string script = Clip("script.avs");
  try {
    OpenSource(script);
    FAIL() << "opened " << script;
  } catch (const Error& error) {
    EXPECT_EQ(error.what(), script +
                                ": is an AviSynth script, and AviSynth is not installed; "
                                "install AviSynth or give the video file itself");
  }
}

}  // namespace
}  // namespace korvu::enc
