#include "encoder/encode_pass.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

#include "encoder/console.h"
#include "encoder/error.h"
#include "encoder/frame_timeline.h"
#include "encoder/output_file.h"
#include "encoder/picture_converter.h"
#include "encoder/progress.h"
#include "encoder/same_file.h"
#include "encoder/source.h"
#include "encoder/stats_files.h"
#include "encoder/stop_signal.h"
#include "encoder/x264_encoder.h"
#include "encoder/x264_params.h"

namespace korvu::enc {
namespace {

// Longer gaps in the timestamps are jumps, not dropped frames.
constexpr double kMaxGapSeconds = 10;

void Warn(const std::string& text) {
  // On a terminal the progress line may be open: write over it, as wide as a progress line may be.
  static const bool terminal = IsTerminal(stderr);
  static const size_t width = terminal ? std::max(TerminalColumns(stderr) - 1, 0) : 0;
  std::string line = "korvu-enc: x264: " + text;
  if (terminal) line = "\r" + line + std::string(width - std::min(width, line.size()), ' ');
  WriteText(stderr, line + "\n");
}

Rational OutputRate(const Options& options, const VideoFacts& facts) {
  if (options.fps) return *options.fps;
  if (facts.frame_rate.num == 0)
    throw Error(options.input, "has no frame rate; give one with -fps");
  return facts.frame_rate;
}

int64_t FrameTotal(const Options& options, const VideoFacts& facts) {
  if (options.max_frames == 0) return facts.estimated_frames;
  if (facts.estimated_frames == 0) return options.max_frames;
  return std::min<int64_t>(options.max_frames, facts.estimated_frames);
}

PictureFormat FormatOf(const VideoFacts& facts) {
  const bool full_range = facts.full_range || facts.pixel_format == AV_PIX_FMT_YUVJ420P;
  return {facts.width, facts.height, facts.sample_aspect,
          IsPlanar420(facts.pixel_format) && full_range};
}

x264_picture_t PictureOf(const AVFrame& frame, int64_t number) {
  x264_picture_t picture;
  x264_picture_init(&picture);
  picture.img.i_csp = X264_CSP_I420;
  picture.img.i_plane = 3;
  for (int p = 0; p < 3; ++p) {
    picture.img.plane[p] = frame.data[p];
    picture.img.i_stride[p] = frame.linesize[p];
  }
  picture.i_pts = number;
  return picture;
}

class Pass {
 public:
  Pass(const Options& options, std::FILE* console, bool terminal);
  void Run();

 private:
  void OpenFiles();
  void OpenEncoder();
  void CheckFirstPass(const ApplyContext& context, const PictureFormat& picture);
  void EncodeAndFinish();
  void EncodeAll();
  void EmitCopies(const AVFrame& picture, int64_t count);
  void Emit(const AVFrame& frame);
  void Write(std::span<const uint8_t> bytes);
  void Finish();

  const Options& options_;
  std::unique_ptr<VideoSource> source_;
  Rational rate_;
  std::string stats_name_;
  std::unique_ptr<OutputFile> output_;
  std::unique_ptr<StatsOutput> stats_output_;
  FirstPassStats first_pass_;
  std::unique_ptr<X264Encoder> encoder_;  // after the files: closed before they are cleaned up
  PictureConverter converter_;
  Progress progress_;
  int64_t limit_;
  int64_t frames_ = 0;  // handed to x264
  int64_t coded_ = 0;   // handed back
  uint64_t bytes_ = 0;
};

Pass::Pass(const Options& options, std::FILE* console, bool terminal)
    : options_(options),
      source_(OpenSource(options.input)),
      rate_(OutputRate(options, source_->Facts())),
      converter_(options.input, source_->Facts().width, source_->Facts().height,
                 options.field_order != FieldOrder::kProgressive),
      progress_(console, terminal, options.pass, FrameTotal(options, source_->Facts()), rate_),
      limit_(options.max_frames > 0 ? options.max_frames : INT64_MAX) {}

void Pass::Run() {
  OpenFiles();
  OpenEncoder();
  EncodeAndFinish();
}

void Pass::OpenFiles() {
  CheckWritesApart(options_);
  if (options_.pass == 1) {
    stats_output_ = std::make_unique<StatsOutput>(options_.stats);
    stats_name_ = stats_output_->WorkingName();
    return;
  }
  first_pass_ = ReadFirstPassStats(options_.stats);
  CheckBitrate(first_pass_.totals, rate_, options_.bitrate);
  stats_name_ = options_.stats;
  output_ = std::make_unique<OutputFile>(options_.output);
}

void Pass::OpenEncoder() {
  if (options_.field_mode == 2)
    std::fputs(
        "korvu-enc: -fmode 2: libx264 cannot code field pictures (PAFF); coding MBAFF "
        "instead\n",
        stderr);
  const ApplyContext context{rate_, stats_name_.data()};
  const PictureFormat picture = FormatOf(source_->Facts());
  if (options_.pass == 2) CheckFirstPass(context, picture);
  encoder_ = std::make_unique<X264Encoder>(BuildParams(options_, context, picture), options_.input,
                                           options_.stats, Warn);
}

// Opens x264 as pass 1 would, without its files, to learn the settings it would note in the
// statistics; x264 itself does not compare all of them.
void Pass::CheckFirstPass(const ApplyContext& context, const PictureFormat& picture) {
  Options first = options_;
  first.pass = 1;
  x264_param_t param = BuildParams(first, context, picture);
  param.rc.b_stat_write = 0;
  param.i_threads = 1;
  X264Encoder probe(param, options_.input, options_.stats, nullptr);
  CheckSameSettings(first_pass_, probe.Parameters(), options_.stats);
}

// x264 does not say why it could not write the statistics; the disk does.
void Pass::EncodeAndFinish() {
  try {
    EncodeAll();
    Finish();
  } catch (const Error& error) {
    if (stats_output_ && encoder_ && encoder_->StatsUnwritten())
      throw stats_output_->WriteFailure(error);
    throw;
  }
}

void Pass::EncodeAll() {
  FrameTimeline timeline(std::lround(source_->Facts().frame_rate.Value() * kMaxGapSeconds));
  AvPtr<AVFrame> current = NewFrame();
  AvPtr<AVFrame> previous = NewFrame();
  while (frames_ < limit_) {
    ThrowIfStopped();
    auto picture = source_->Next();
    if (!picture) {
      if (timeline.FramesPlaced() == 0) throw Error(options_.input, "holds no pictures");
      EmitCopies(*previous, source_->DroppedAtEnd(timeline.FramesPlaced()));
      return;
    }
    EmitCopies(*previous, timeline.Place(picture->slot));
    if (frames_ == limit_) return;
    converter_.Convert(*picture->frame, *current);
    Emit(*current);
    std::swap(current, previous);
  }
}

// Frames the source dropped, filled with the picture before them.
void Pass::EmitCopies(const AVFrame& picture, int64_t count) {
  for (; count > 0 && frames_ < limit_; --count) Emit(picture);
}

void Pass::Emit(const AVFrame& frame) {
  if (options_.pass == 2 && frames_ == first_pass_.totals.frames)
    throw Error(options_.stats,
                "was made with other settings: " + std::to_string(first_pass_.totals.frames) +
                    " frames there, more now; run -npass 1 again");
  x264_picture_t picture = PictureOf(frame, frames_);
  Write(encoder_->Encode(&picture));
  ++frames_;
  progress_.Update(frames_, coded_, bytes_);
}

void Pass::Write(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return;
  if (output_) output_->Write(bytes);
  bytes_ += bytes.size();
  ++coded_;  // x264 hands back at most one frame per call
}

void Pass::Finish() {
  while (encoder_->DelayedFrames() > 0) {
    ThrowIfStopped();
    Write(encoder_->Encode(nullptr));
  }
  if (options_.pass == 2 && frames_ != first_pass_.totals.frames)
    throw Error(options_.stats,
                "was made with other settings: " + std::to_string(first_pass_.totals.frames) +
                    " frames there, " + std::to_string(frames_) + " now; run -npass 1 again");
  const x264_param_t settings = encoder_->Parameters();
  encoder_.reset();  // x264 completes the statistics when it closes
  if (stats_output_)
    CheckBitrate(stats_output_->Verify(frames_, settings), rate_, options_.bitrate);
  CommitUnlessStopped([this] {
    if (output_) output_->Commit();
    if (stats_output_) stats_output_->Commit();
  });
  progress_.Finish(frames_, bytes_,
                   options_.pass == 1 ? "statistics in " + options_.stats
                                      : std::to_string(bytes_) + " bytes in " + options_.output);
}

}  // namespace

void RunPass(const Options& options, std::FILE* console, bool terminal) {
  Pass(options, console, terminal).Run();
}

}  // namespace korvu::enc
