#pragma once

#include <cstdio>

#include "encoder/options.h"

namespace korvu::enc {

// Runs the pass that `options` ask for: decodes the input, encodes it with libx264 and writes
// the statistics (pass 1) or the output stream (pass 2). Progress and the summary go to
// `console`, a terminal or not; notices and x264's warnings go to stderr. Throws Error; a failed
// pass leaves no output or statistics file of its own behind.
void RunPass(const Options& options, std::FILE* console, bool terminal);

}  // namespace korvu::enc
