#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvu::platform {

// The bytes of `text` as the command interpreter reads them in a job script, or nothing when it
// cannot read one of the characters. The job's texts are in the ANSI code page, but cmd reads a
// script in its console's code page, the OEM code page ("ä" is 0xE4 in code page 1252 and 0x84 in
// 437 and 850). A character the OEM code page lacks would arrive as another letter and name
// another file, so it is not guessed. korvu-cmd reads a script's bytes as they are: on POSIX the
// text comes back unchanged.
std::optional<std::string> ToScriptCodePage(std::string_view text);

}  // namespace korvu::platform
