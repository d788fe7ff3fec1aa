#pragma once

#include <cstdint>

namespace korvu::enc {

// Lays decoded pictures out on the output's frame sequence by their slots (their places on the
// source's frame grid). A gap before a picture holds frames the source dropped; they are filled
// with copies of the previous picture, so a constant-rate source keeps its frame count. A picture
// without a slot, or one at or before a slot already filled, takes the next frame: no picture is
// ever left out.
class FrameTimeline {
 public:
  // Gaps longer than `max_gap` frames are taken for a jump in the timestamps, not for dropped
  // frames: the grid moves on without filling them.
  explicit FrameTimeline(int64_t max_gap) : max_gap_(max_gap) {}

  // Places the next picture, whose slot is `slot` (-1 for none), and returns how many copies of
  // the previous picture go before it.
  int64_t Place(int64_t slot);

  // Frames laid out so far, copies included.
  int64_t FramesPlaced() const { return next_frame_; }

 private:
  int64_t max_gap_;
  int64_t next_frame_ = 0;
  int64_t offset_ = 0;  // slot minus frame, after jumps
};

}  // namespace korvu::enc
