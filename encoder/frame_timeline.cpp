#include "encoder/frame_timeline.h"

namespace korvu::enc {

int64_t FrameTimeline::Place(int64_t slot) {
  if (next_frame_ == 0) {
    offset_ = slot < 0 ? 0 : slot;
    next_frame_ = 1;
    return 0;
  }
  const int64_t frame = slot < 0 ? -1 : slot - offset_;
  if (frame < next_frame_) {
    ++next_frame_;
    return 0;
  }
  int64_t gap = frame - next_frame_;
  if (gap > max_gap_) {
    offset_ += gap;
    gap = 0;
  }
  next_frame_ += gap + 1;
  return gap;
}

}  // namespace korvu::enc
