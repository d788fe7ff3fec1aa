#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "encoder/av_ptr.h"
#include "encoder/frame_rate.h"

namespace korvu::enc {

// What the container and the decoder tell about the video stream.
struct VideoFacts {
  int width = 0;
  int height = 0;
  AVPixelFormat pixel_format = AV_PIX_FMT_NONE;
  Rational frame_rate{0, 1};     // 0/1 when the container has none
  Rational sample_aspect{0, 1};  // 0/1 when unknown
  bool full_range = false;
  int64_t listed_frames = 0;     // the frame count the container lists, 0 when none
  int64_t estimated_frames = 0;  // the listed count, else one worked out from the duration
};

// One decoded picture and its slot: its place on the source's frame grid, counted from the
// first picture's timestamp, or -1 when it has no timestamp.
struct DecodedPicture {
  const AVFrame* frame;
  int64_t slot;
};

// The pictures of an input's video stream, in display order.
class VideoSource {
 public:
  virtual ~VideoSource() = default;

  virtual const VideoFacts& Facts() const = 0;

  // The next picture in display order, or nothing at the end of the stream. The frame stays
  // valid until the next call. Throws Error for data that cannot be read or decoded.
  virtual std::optional<DecodedPicture> Next() = 0;

  // Called at the end of the stream with the number of slots the pictures filled: the frames
  // that the container lists after them, which it marks as dropped. (A file that lost its end
  // is refused when it is opened.)
  virtual int64_t DroppedAtEnd(int64_t slots_filled) const = 0;
};

// Whether `path` names an AviSynth script (by its extension, as AviSynth knows them).
bool IsAviSynthScript(const std::string& path);

// Opens the video of `path` by the route this system has for it: an AviSynth script through
// AviSynth where the system has it (refused where it has not), anything else with FFmpeg.
// Throws Error naming the file.
std::unique_ptr<VideoSource> OpenSource(const std::string& path);

// The video stream of one input file, decoded with libavformat and libavcodec. Other streams
// (audio) are skipped unread.
class Source : public VideoSource {
 public:
  // Opens `path` and its decoder. Throws Error naming the file: missing or unreadable,
  // truncated, no video stream, no decoder for its codec.
  explicit Source(std::string path);

  const VideoFacts& Facts() const override { return facts_; }
  std::optional<DecodedPicture> Next() override;
  int64_t DroppedAtEnd(int64_t slots_filled) const override;

 private:
  void OpenContainer();
  void CheckWhole() const;
  void OpenDecoder();
  void ReadFacts();
  void FeedDecoder();
  int64_t SlotOf(const AVFrame& frame);

  std::string path_;
  AvPtr<AVFormatContext> format_;
  AvPtr<AVCodecContext> decoder_;
  AvPtr<AVPacket> packet_;
  AvPtr<AVFrame> frame_;
  AVStream* stream_ = nullptr;
  VideoFacts facts_;
  int64_t first_timestamp_ = AV_NOPTS_VALUE;
  int64_t packets_read_ = 0;  // of the video stream
};

}  // namespace korvu::enc
