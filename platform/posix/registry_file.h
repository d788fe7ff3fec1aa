#pragma once

#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace korvu::platform {

// One value of a key as a registry export file states it.
struct RegistryFileValue {
  std::string name;
  RegistryKind kind = RegistryKind::kOther;
  std::string data;  // the bytes a reader gets; text in UTF-8 with its closing NUL
};

// The values of a key in the order the file leaves them (a value stated again moves to the end).
using RegistryFileValues = std::list<RegistryFileValue>;

// Reads a file in the registry export format as regedit writes it and keeps the values of one
// key, `path` ("Software\...", under HKEY_CURRENT_USER):
//   Windows Registry Editor Version 5.00
//   [HKEY_CURRENT_USER\Software\Vendor\Product]
//   "Text"="C:\\Program Files\\Vendor"        text, with \\ and \" escaped
//   "Expandable"=hex(2):25,00,41,00,00,00      UTF-16LE bytes, continued after a trailing "\"
//   "Number"=dword:0000000a                    "Binary"=hex:01,02       @= is the default value
// The text is UTF-8 (a byte-order mark is skipped) or UTF-16LE with its byte-order mark; lines end
// in CR LF or LF; ";" starts a comment line. A key stated twice collects the values of both, the
// later statement of a value winning; "Name"=- removes a value, [-HKEY_...] a key.
//
// The file comes in pieces of any size, in one pass: time linear in the file's size, memory the
// key's values, the longest line and the piece at hand.
class RegistryKeyReader {
 public:
  explicit RegistryKeyReader(std::string_view path);
  ~RegistryKeyReader();
  RegistryKeyReader(const RegistryKeyReader&) = delete;
  RegistryKeyReader& operator=(const RegistryKeyReader&) = delete;

  // The next bytes of the file. False once the file is known not to be in the format; what
  // follows then changes nothing, and the caller may stop.
  bool Feed(std::string_view bytes);

  // The end of the file: the values of the key. Nothing when the key is not in the file, and for a
  // file that is not in the format anywhere (a wrong first line, a line that is neither header nor
  // value, a bad escape or digit, a continued value at the end, an odd number of UTF-16 bytes).
  std::optional<RegistryFileValues> Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The values of the key `path` in the whole text `text`, as RegistryKeyReader gives them.
std::optional<RegistryFileValues> FindRegistryKey(std::string_view text, std::string_view path);

// The value `name` among `values`, letter case aside (as the registry matches names); null when
// there is none.
const RegistryFileValue* FindRegistryValue(const RegistryFileValues& values, std::string_view name);

}  // namespace korvu::platform
