#pragma once

#include <string>

#include "encoder/av_ptr.h"

namespace korvu::enc {

// Whether pictures of `format` reach x264 as they are: planar 4:2:0 with 8 bits.
bool IsPlanar420(int format);

// Brings decoded pictures into the planar 4:2:0 form that x264 takes. Pictures already in that
// form pass through untouched; others go through libswscale, for interlaced sources field by
// field, so that the chroma of one field never mixes with the other's.
class PictureConverter {
 public:
  // `subject` names the input in errors. Throws Error when fields of `height` cannot be
  // converted: its height is not divisible by 4.
  PictureConverter(std::string subject, int width, int height, bool by_field);

  // Makes `out` hold `in` as planar 4:2:0: a new reference to `in` itself when it is already so,
  // else a converted copy. Throws Error when the picture size differs from the one given.
  void Convert(const AVFrame& in, AVFrame& out);

 private:
  void Scale(const AVFrame& in, AVFrame& out);

  std::string subject_;
  int width_;
  int height_;
  bool by_field_;
  AvPtr<SwsContext> scaler_;
};

}  // namespace korvu::enc
