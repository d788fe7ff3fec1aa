#pragma once

#include <string>
#include <string_view>

namespace korvu::enc {

// UTF-8, the encoder's text inside, to and from the UTF-16 of the system's wide calls.
std::wstring Utf16(std::string_view utf8);
std::string Utf8(std::wstring_view utf16);

}  // namespace korvu::enc
