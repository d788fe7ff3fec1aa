#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>
// After windows.h, whose types it uses.
#include <vfw.h>

#include "encoder/source.h"

namespace korvu::enc {

struct AviFileLibrary;

// The video stream of a file that Windows' AVIFile interface opens: an AviSynth script, through
// the handler that AviSynth installs, or an AVI file of uncompressed pictures. The pictures come
// as the stream holds them (RGB, I420, YV12 or YUY2), one per frame.
class AviFileSource : public VideoSource {
 public:
  // Throws Error naming the file: not there, no handler for its kind (AviSynth missing), no video
  // stream, pictures in a form this route does not read.
  explicit AviFileSource(std::string path);
  ~AviFileSource() override;
  AviFileSource(const AviFileSource&) = delete;
  AviFileSource& operator=(const AviFileSource&) = delete;

  const VideoFacts& Facts() const override { return facts_; }
  std::optional<DecodedPicture> Next() override;
  int64_t DroppedAtEnd(int64_t) const override { return 0; }

 private:
  void ReadFormat();
  void PointFrameAtBuffer();

  std::string path_;
  const AviFileLibrary* avifile_;
  PAVISTREAM stream_ = nullptr;
  VideoFacts facts_;
  LONG start_ = 0;
  LONG next_ = 0;
  std::vector<uint8_t> buffer_;
  DWORD compression_ = 0;
  int bits_ = 0;
  bool bottom_up_ = false;
  AvPtr<AVFrame> frame_;
};

}  // namespace korvu::enc
