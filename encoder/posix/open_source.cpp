#include "encoder/error.h"
#include "encoder/source.h"

namespace korvu::enc {

std::unique_ptr<VideoSource> OpenSource(const std::string& path) {
  if (IsAviSynthScript(path))
    throw Error(path,
                "is an AviSynth script, and AviSynth does not exist on this system; "
                "give the video file itself");
  return std::make_unique<Source>(path);
}

}  // namespace korvu::enc
