#pragma once

#include <string>

#include "encoder/options.h"

namespace korvu::enc {

// Whether two names reach one file: the same device and inode where both exist (another path, a
// link), otherwise the same canonical folder and name.
bool SameFile(const std::string& a, const std::string& b);

// Refuses a run that would write over a file it reads: pass 1's statistics, side file or their
// working names on the input; pass 2's output or its working name on the input, the statistics
// or the side file. Throws Error naming both files; call it before anything is written.
void CheckWritesApart(const Options& options);

}  // namespace korvu::enc
