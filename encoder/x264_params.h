#pragma once

#include <stdint.h>
#include <x264.h>

#include "encoder/frame_rate.h"
#include "encoder/options.h"

namespace korvu::enc {

// The pictures that reach x264: planar 4:2:0, 8 bits.
struct PictureFormat {
  int width = 0;
  int height = 0;
  Rational sample_aspect{0, 1};  // 0/1 when unknown
  bool full_range = false;
};

// The x264 settings of one pass: every row of the option table in order, then the picture
// format, then, for pass 1, x264's fast first pass - the same steps as x264's own front end,
// so that two passes with the same options always agree on their statistics.
x264_param_t BuildParams(const Options& options, const ApplyContext& context,
                         const PictureFormat& picture);

}  // namespace korvu::enc
