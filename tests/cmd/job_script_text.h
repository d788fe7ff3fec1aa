#pragma once

#include <string>

namespace korvu::test {

// A path as the job writes it into the script: in double quotes, with inner quotes doubled, when
// it holds a blank or one of the interpreter's operators & | < > ^.
std::string QuoteForScript(const std::string& text);

// The seven lines of the two-pass job script, CR LF each: the encoder (quoted as above) with
// "-npass 1" and then "-npass 2" and `params` (which begins with a blank), every '%' of those two
// lines doubled; pass 2 only when pass 1 exits with 0; then the bell and PAUSE.
std::string JobScript(const std::string& encoder, const std::string& params);

}  // namespace korvu::test
