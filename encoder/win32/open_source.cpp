#include "encoder/source.h"
#include "encoder/win32/avifile_source.h"

namespace korvu::enc {

// FFmpeg cannot run an AviSynth script; Windows can, through the AVIFile handler AviSynth installs.
std::unique_ptr<VideoSource> OpenSource(const std::string& path) {
  if (IsAviSynthScript(path)) return std::make_unique<AviFileSource>(path);
  return std::make_unique<Source>(path);
}

}  // namespace korvu::enc
