// The registry export file's grammar: the lines of one file (see registry_text.h for the bytes
// into lines) and the values of one key among them.
#include "platform/posix/registry_file.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>

#include "platform/ascii_case.h"
#include "platform/posix/registry_text.h"

namespace korvu::platform {
namespace {

constexpr std::string_view kFirstLine = "Windows Registry Editor Version 5.00";
constexpr std::string_view kUserRoot = "HKEY_CURRENT_USER\\";

// Raised inside the parser for a file that is not in the format; the file then holds no keys.
struct Malformed {};

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (LowerAsciiChar(c) >= 'a' && LowerAsciiChar(c) <= 'f') return LowerAsciiChar(c) - 'a' + 10;
  throw Malformed{};
}

// One to `max_digits` hex digits.
std::uint32_t HexNumber(std::string_view digits, std::size_t max_digits) {
  if (digits.empty() || digits.size() > max_digits) throw Malformed{};
  std::uint32_t number = 0;
  for (char c : digits) number = number << 4 | static_cast<std::uint32_t>(HexDigit(c));
  return number;
}

// "01,02,ff" as bytes; an empty list is no bytes.
std::string HexBytes(std::string_view list) {
  std::string bytes;
  while (!Trim(list).empty()) {
    const auto comma = list.find(',');
    bytes += static_cast<char>(HexNumber(Trim(list.substr(0, comma)), 2));
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    if (comma != std::string_view::npos && Trim(list).empty()) throw Malformed{};
  }
  return bytes;
}

// A quoted string at the start of `rest` with \\ and \" unescaped, and `end` after it; `rest`
// moves past it. The string is made in one allocation of its own size.
std::string Quoted(std::string_view& rest, std::string_view end = {}) {
  if (rest.empty() || rest.front() != '"') throw Malformed{};
  std::size_t close = 1;
  std::size_t escapes = 0;
  for (;; ++close) {
    if (close >= rest.size()) throw Malformed{};
    if (rest[close] == '"') break;
    if (rest[close] == '\\') {
      if (++close == rest.size() || (rest[close] != '\\' && rest[close] != '"')) throw Malformed{};
      ++escapes;
    }
  }
  std::string text(close - 1 - escapes + end.size(), '\0');
  char* out = text.data();
  for (std::size_t i = 1; i < close; ++i) {
    if (rest[i] == '\\') ++i;
    *out++ = rest[i];
  }
  end.copy(out, end.size());
  rest.remove_prefix(close + 1);
  return text;
}

RegistryKind HexKind(std::uint32_t type) {
  switch (type) {
    case 1:
      return RegistryKind::kText;
    case 2:
      return RegistryKind::kExpandText;
    case 3:
      return RegistryKind::kBinary;
    case 4:
    case 5:
    case 11:
      return RegistryKind::kNumber;
    default:
      return RegistryKind::kOther;
  }
}

// The data after "Name"=; nothing for "-", the removal of the value.
std::optional<RegistryFileValue> Data(std::string_view data) {
  RegistryFileValue value;
  if (data == "-") return std::nullopt;
  if (data.starts_with('"')) {
    value = {{}, RegistryKind::kText, Quoted(data, std::string_view("\0", 1))};
    if (!data.empty()) throw Malformed{};
  } else if (data.starts_with("dword:")) {
    const std::uint32_t number = HexNumber(data.substr(6), 8);
    value.kind = RegistryKind::kNumber;
    for (int shift = 0; shift < 32; shift += 8) value.data += static_cast<char>(number >> shift);
  } else if (data.starts_with("hex:")) {
    value = {{}, RegistryKind::kBinary, HexBytes(data.substr(4))};
  } else if (data.starts_with("hex(") && data.find("):") != std::string_view::npos) {
    const auto close = data.find("):");
    value.kind = HexKind(HexNumber(data.substr(4, close - 4), 8));
    value.data = HexBytes(data.substr(close + 2));
    if (value.kind == RegistryKind::kText || value.kind == RegistryKind::kExpandText) {
      auto text = Utf16ToUtf8(value.data);
      if (!text) throw Malformed{};
      value.data = std::move(*text);
    }
  } else {
    throw Malformed{};
  }
  return value;
}

// The values of the key in the order of their last statements, found by name, letter case aside.
class KeyValues {
 public:
  void Set(std::string name, std::optional<RegistryFileValue> value) {
    if (const auto found = index_.find(name); found != index_.end()) {
      const auto stated = found->second;
      index_.erase(found);  // before its name goes with the value
      values_.erase(stated);
    }
    if (!value) return;
    value->name = std::move(name);
    values_.push_back(std::move(*value));
    index_.emplace(values_.back().name, std::prev(values_.end()));
  }

  void Clear() {
    index_.clear();
    values_.clear();
  }

  RegistryFileValues Take() {
    index_.clear();
    return std::move(values_);
  }

 private:
  struct FoldedHash {
    std::size_t operator()(std::string_view name) const {
      std::size_t hash = 14695981039346656037u;
      for (const char c : name)
        hash = (hash ^ static_cast<unsigned char>(LowerAsciiChar(c))) * 1099511628211u;
      return hash;
    }
  };
  struct FoldedEqual {
    bool operator()(std::string_view a, std::string_view b) const {
      return EqualsIgnoringCase(a, b);
    }
  };

  RegistryFileValues values_;
  // Each value by its name, which the value itself holds: a list's elements stay where they are.
  std::unordered_map<std::string_view, RegistryFileValues::iterator, FoldedHash, FoldedEqual>
      index_;
};

// Takes the lines of one file (without their ends) and collects the values of one key.
class KeyLines {
 public:
  explicit KeyLines(std::string_view path) : header_(std::string(kUserRoot) + std::string(path)) {}

  void Line(std::string_view line) {
    if (continued_) return Continue(Trim(line));
    if (!seen_first_) {
      seen_first_ = true;
      if (Trim(line) != kFirstLine) throw Malformed{};
      return;
    }
    line = Trim(line);
    if (line.empty() || line.starts_with(';')) return;
    if (line.starts_with('[')) return Header(line);
    if (!in_file_key_) throw Malformed{};
    Value(line);
  }

  std::optional<RegistryFileValues> Finish() {
    if (!seen_first_ || continued_) throw Malformed{};
    if (!found_) return std::nullopt;
    return values_.Take();
  }

 private:
  void Header(std::string_view line) {
    if (!line.ends_with(']')) throw Malformed{};
    std::string_view key = line.substr(1, line.size() - 2);
    const bool removal = key.starts_with('-');
    if (removal) key.remove_prefix(1);
    in_file_key_ = !removal;
    in_key_ = !removal && EqualsIgnoringCase(key, header_);
    if (EqualsIgnoringCase(key, header_)) found_ = in_key_;
    if (removal && EqualsIgnoringCase(key, header_)) values_.Clear();
  }

  void Value(std::string_view line) {
    name_.clear();
    if (line.starts_with('@')) {
      line.remove_prefix(1);
    } else {
      name_ = Quoted(line);
    }
    line = Trim(line);
    if (!line.starts_with('=')) throw Malformed{};
    data_ = Trim(line.substr(1));
    // regedit wraps long byte lists: a line ending in "\" goes on in the next, indented one.
    continued_ = data_.starts_with("hex") && data_.ends_with('\\');
    if (continued_) return data_.pop_back();
    Store();
  }

  // The next line, whatever it holds, goes on with the value.
  void Continue(std::string_view line) {
    data_ += line;
    continued_ = data_.ends_with('\\');
    if (continued_) return data_.pop_back();
    Store();
  }

  void Store() {
    auto value = Data(data_);
    if (in_key_) values_.Set(std::move(name_), std::move(value));
  }

  std::string header_;
  bool seen_first_ = false;
  bool in_file_key_ = false;
  bool in_key_ = false;
  bool found_ = false;
  bool continued_ = false;
  std::string name_;  // of the value being read
  std::string data_;  // its data so far
  KeyValues values_;
};

}  // namespace

// The bytes into lines, the lines to the grammar.
struct RegistryKeyReader::State {
  explicit State(std::string_view path)
      : key(path), text([this](std::string_view line) { key.Line(line); }) {}

  KeyLines key;
  RegistryTextLines text;
  bool malformed = false;
};

RegistryKeyReader::RegistryKeyReader(std::string_view path)
    : state_(std::make_unique<State>(path)) {}

RegistryKeyReader::~RegistryKeyReader() = default;

bool RegistryKeyReader::Feed(std::string_view bytes) {
  if (state_->malformed) return false;
  try {
    state_->text.Feed(bytes);
  } catch (const Malformed&) {
    state_->malformed = true;
  }
  return !state_->malformed;
}

std::optional<RegistryFileValues> RegistryKeyReader::Finish() {
  if (state_->malformed) return std::nullopt;
  try {
    if (!state_->text.Finish()) throw Malformed{};
    return state_->key.Finish();
  } catch (const Malformed&) {
    state_->malformed = true;
    return std::nullopt;
  }
}

std::optional<RegistryFileValues> FindRegistryKey(std::string_view text, std::string_view path) {
  RegistryKeyReader reader(path);
  reader.Feed(text);
  return reader.Finish();
}

const RegistryFileValue* FindRegistryValue(const RegistryFileValues& values,
                                           std::string_view name) {
  const auto found = std::ranges::find_if(
      values, [&](const RegistryFileValue& value) { return EqualsIgnoringCase(value.name, name); });
  return found == values.end() ? nullptr : &*found;
}

}  // namespace korvu::platform
