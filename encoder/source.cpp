#include "encoder/source.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "encoder/error.h"
#include "encoder/file_access.h"

namespace korvu::enc {
namespace {

Rational ToRational(AVRational value) {
  if (value.num <= 0 || value.den <= 0) return {0, 1};
  av_reduce(&value.num, &value.den, value.num, value.den, INT32_MAX);
  return {value.num, value.den};
}

std::string OpenFailure(int code) {
  if (code == AVERROR_INVALIDDATA) return "is not a video file that FFmpeg can read";
  return "cannot be opened (" + AvErrorText(code) + ")";
}

}  // namespace

bool IsAviSynthScript(const std::string& path) {
  if (path.size() < 4) return false;
  std::string extension = path.substr(path.size() - 4);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return extension == ".avs";
}

Source::Source(std::string path)
    : path_(std::move(path)), packet_(av_packet_alloc()), frame_(NewFrame()) {
  if (!packet_) throw std::bad_alloc();
  // A failure reaches the user as one line, through Error; FFmpeg's own chatter would add more.
  av_log_set_level(AV_LOG_QUIET);
  OpenContainer();
  OpenDecoder();
  ReadFacts();
}

// An AVI file starts with the size of its RIFF chunk, which covers the whole file (past 1 GiB,
// in OpenDML files, its first part): a file shorter than that lost its end. A pipe has no size
// to compare, and its bytes are the decoder's: it is not read twice.
void Source::CheckWhole() const {
  std::error_code error;
  if (!std::filesystem::is_regular_file(FilePath(path_), error)) return;
  std::ifstream file(FilePath(path_), std::ios::binary);
  char header[12] = {};
  if (!file.read(header, sizeof header) || std::memcmp(header, "RIFF", 4) != 0 ||
      std::memcmp(header + 8, "AVI ", 4) != 0)
    return;
  const uint64_t promised = 8 + (static_cast<uint64_t>(static_cast<uint8_t>(header[4])) |
                                 static_cast<uint64_t>(static_cast<uint8_t>(header[5])) << 8 |
                                 static_cast<uint64_t>(static_cast<uint8_t>(header[6])) << 16 |
                                 static_cast<uint64_t>(static_cast<uint8_t>(header[7])) << 24);
  const uint64_t size = std::filesystem::file_size(FilePath(path_), error);
  if (!error && size < promised)
    throw Error(path_, "is truncated: " + std::to_string(size) + " of its " +
                           std::to_string(promised) + " bytes are there");
}

void Source::OpenContainer() {
  AVFormatContext* format = nullptr;
  if (int code = avformat_open_input(&format, path_.c_str(), nullptr, nullptr); code < 0)
    throw Error(path_, OpenFailure(code));
  format_.reset(format);
  CheckWhole();
  if (int code = avformat_find_stream_info(format, nullptr); code < 0)
    throw Error(path_, "has no readable streams (" + AvErrorText(code) + ")");
  const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (index < 0) throw Error(path_, "has no video stream");
  stream_ = format->streams[index];
  for (unsigned i = 0; i < format->nb_streams; ++i)
    if (format->streams[i] != stream_) format->streams[i]->discard = AVDISCARD_ALL;
}

void Source::OpenDecoder() {
  const AVCodecParameters* codec = stream_->codecpar;
  const AVCodec* decoder = avcodec_find_decoder(codec->codec_id);
  if (decoder == nullptr)
    throw Error(path_, std::string("has video in a format FFmpeg cannot decode (") +
                           avcodec_get_name(codec->codec_id) + ")");
  decoder_.reset(avcodec_alloc_context3(decoder));
  if (!decoder_) throw std::bad_alloc();
  int code = avcodec_parameters_to_context(decoder_.get(), codec);
  decoder_->pkt_timebase = stream_->time_base;
  if (code >= 0) code = avcodec_open2(decoder_.get(), decoder, nullptr);
  if (code < 0) throw Error(path_, "cannot start its video decoder (" + AvErrorText(code) + ")");
}

void Source::ReadFacts() {
  const AVCodecParameters* codec = stream_->codecpar;
  facts_.width = codec->width;
  facts_.height = codec->height;
  facts_.pixel_format = static_cast<AVPixelFormat>(codec->format);
  facts_.frame_rate = ToRational(av_guess_frame_rate(format_.get(), stream_, nullptr));
  facts_.sample_aspect = ToRational(av_guess_sample_aspect_ratio(format_.get(), stream_, nullptr));
  facts_.full_range = codec->color_range == AVCOL_RANGE_JPEG;
  facts_.listed_frames = std::max<int64_t>(stream_->nb_frames, 0);
  facts_.estimated_frames = facts_.listed_frames;
  if (facts_.estimated_frames == 0 && format_->duration > 0 && facts_.frame_rate.num > 0)
    facts_.estimated_frames = static_cast<int64_t>(
        static_cast<double>(format_->duration) / AV_TIME_BASE * facts_.frame_rate.Value() + 0.5);
}

std::optional<DecodedPicture> Source::Next() {
  for (;;) {
    const int code = avcodec_receive_frame(decoder_.get(), frame_.get());
    if (code == 0) return DecodedPicture{frame_.get(), SlotOf(*frame_)};
    if (code == AVERROR_EOF) return std::nullopt;
    if (code != AVERROR(EAGAIN))
      throw Error(path_, "has video data that cannot be decoded (" + AvErrorText(code) + ")");
    FeedDecoder();
  }
}

// Hands the decoder the next packet of the video stream, or the end of the stream.
void Source::FeedDecoder() {
  for (;;) {
    int code = av_read_frame(format_.get(), packet_.get());
    if (code == AVERROR_EOF) {
      avcodec_send_packet(decoder_.get(), nullptr);
      return;
    }
    if (code < 0) throw Error(path_, "cannot be read to its end (" + AvErrorText(code) + ")");
    // Empty chunks are frames the container marks as dropped; the timestamps show the gap.
    if (packet_->stream_index != stream_->index || packet_->size == 0) {
      av_packet_unref(packet_.get());
      continue;
    }
    ++packets_read_;
    const bool corrupt = packet_->flags & AV_PKT_FLAG_CORRUPT;
    if (!corrupt) code = avcodec_send_packet(decoder_.get(), packet_.get());
    av_packet_unref(packet_.get());
    if (corrupt)
      throw Error(path_, "has damaged data in video frame " + std::to_string(packets_read_) +
                             "; the file seems truncated or broken");
    if (code < 0)
      throw Error(path_, "has video data that cannot be decoded in frame " +
                             std::to_string(packets_read_) + " (" + AvErrorText(code) + ")");
    return;
  }
}

int64_t Source::SlotOf(const AVFrame& frame) {
  const int64_t timestamp = frame.best_effort_timestamp;
  if (timestamp == AV_NOPTS_VALUE || facts_.frame_rate.num == 0) return -1;
  if (first_timestamp_ == AV_NOPTS_VALUE) first_timestamp_ = timestamp;
  const AVRational frame_duration{facts_.frame_rate.den, facts_.frame_rate.num};
  return av_rescale_q_rnd(timestamp - first_timestamp_, stream_->time_base, frame_duration,
                          static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
}

int64_t Source::DroppedAtEnd(int64_t slots_filled) const {
  return std::max<int64_t>(facts_.listed_frames - slots_filled, 0);
}

}  // namespace korvu::enc
