#include "platform/posix/registry_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/ascii_case.h"

namespace korvu::platform {
namespace {

constexpr std::string_view kFirstLine = "Windows Registry Editor Version 5.00";
constexpr std::string_view kUserRoot = "HKEY_CURRENT_USER\\";
constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Raised inside the parser for a file that is not in the format; the file then holds no keys.
struct Malformed {};

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// UTF-16LE bytes as UTF-8, fed in pieces of any size; a lone surrogate becomes U+FFFD. An odd
// byte and a high surrogate wait for the next piece.
class Utf16Decoder {
 public:
  void Feed(std::string_view bytes, std::string& out) {
    for (const char c : bytes) {
      if (!odd_) {
        odd_ = static_cast<unsigned char>(c);
        continue;
      }
      Unit(*odd_ | static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8, out);
      odd_.reset();
    }
  }

  void Finish(std::string& out) {
    if (odd_) throw Malformed{};
    if (high_ != 0) AppendUtf8(out, 0xFFFD);
    high_ = 0;
  }

 private:
  static bool IsLow(std::uint32_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

  void Unit(std::uint32_t unit, std::string& out) {
    if (high_ != 0) {
      const std::uint32_t high = std::exchange(high_, 0);
      if (IsLow(unit)) return AppendUtf8(out, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
      AppendUtf8(out, 0xFFFD);
    }
    if (unit >= 0xD800 && unit < 0xDC00) {
      high_ = unit;
    } else {
      AppendUtf8(out, IsLow(unit) ? 0xFFFD : unit);
    }
  }

  std::optional<std::uint32_t> odd_;
  std::uint32_t high_ = 0;
};

std::string Utf16ToUtf8(std::string_view bytes) {
  std::string out;
  Utf16Decoder decoder;
  decoder.Feed(bytes, out);
  decoder.Finish(out);
  return out;
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
    if (value.kind == RegistryKind::kText || value.kind == RegistryKind::kExpandText)
      value.data = Utf16ToUtf8(value.data);
  } else {
    throw Malformed{};
  }
  return value;
}

// The values of the key while the file is read. A value stated again or removed leaves a dead
// slot behind (keeping its name for the index); dead slots are dropped once they are as many as
// the live ones, and at the end.
//
// For a large key the index is far larger than the processor's caches, and a cell looked up at
// random would be waited for at each value. So a value goes into the slots at once, but into the
// index only a few statements later, its cell fetched in the meantime; and a growing index moves
// its cells in their order into one twice its size, where they land in the same order.
class KeyValues {
 public:
  KeyValues() { Clear(); }

  void Set(std::string name, std::optional<RegistryFileValue> value) {
    if (queued_ == kQueue) IndexFirst();
    if (dead_ > slots_.size() / 2 + 64) {
      IndexAll();
      Compact();
      Reindex();
    }
    Statement& statement = queue_[(first_ + queued_++) % kQueue];
    statement.hash = Hash(name);
    if (value) {
      statement.slot = static_cast<std::uint32_t>(slots_.size());
      value->name = std::move(name);
      slots_.push_back(std::move(*value));
      live_.push_back(true);
    } else {
      statement.slot = kEmpty;
      statement.name = std::move(name);
    }
    __builtin_prefetch(&table_[statement.hash & (table_.size() - 1)]);
  }

  void Clear() {
    first_ = 0;
    queued_ = 0;
    slots_.clear();
    live_.clear();
    dead_ = 0;
    table_.assign(16, IndexCell{});
    used_cells_ = 0;
  }

  RegistryFileValues Take() {
    IndexAll();
    Compact();
    RegistryFileValues values = std::move(slots_);
    Clear();
    return values;
  }

 private:
  static constexpr std::uint32_t kEmpty = UINT32_MAX;
  static constexpr std::size_t kQueue = 8;

  // A statement of a value not yet in the index: its slot, or for a removal its name.
  struct Statement {
    std::uint32_t hash = 0;
    std::uint32_t slot = kEmpty;
    std::string name;
  };

  // A slot of the index with the hash of its name, so that a probe seldom looks at a slot.
  struct IndexCell {
    std::uint32_t hash = 0;
    std::uint32_t slot = kEmpty;
  };

  static std::uint32_t Hash(std::string_view name) {
    std::uint32_t hash = 2166136261u;
    for (const char c : name)
      hash = (hash ^ static_cast<unsigned char>(LowerAsciiChar(c))) * 16777619u;
    return hash;
  }

  // The oldest statement into the index: the slot it names before is dead.
  void IndexFirst() {
    Statement& statement = queue_[first_];
    first_ = (first_ + 1) % kQueue;
    --queued_;
    const bool removal = statement.slot == kEmpty;
    IndexCell& cell = Find(removal ? statement.name : slots_[statement.slot].name, statement.hash);
    if (cell.slot != kEmpty && live_[cell.slot]) Kill(cell.slot);
    if (removal) return;
    if (cell.slot == kEmpty) ++used_cells_;
    cell = {statement.hash, statement.slot};
    if (used_cells_ * 2 > table_.size()) Grow();
  }

  void IndexAll() {
    while (queued_ > 0) IndexFirst();
  }

  // The cell of the index that holds the slot named `name`, letter case aside, or the empty cell
  // where it would go: open addressing over a table at most half full.
  IndexCell& Find(std::string_view name, std::uint32_t hash) {
    const std::size_t mask = table_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const IndexCell& cell = table_[i];
      if (cell.slot == kEmpty ||
          (cell.hash == hash && EqualsIgnoringCase(slots_[cell.slot].name, name)))
        return table_[i];
    }
  }

  // `cell` into the first empty cell from where its hash points; its name is not in the index.
  void Place(IndexCell cell) {
    const std::size_t mask = table_.size() - 1;
    std::size_t i = cell.hash & mask;
    while (table_[i].slot != kEmpty) i = (i + 1) & mask;
    table_[i] = cell;
  }

  void Kill(std::uint32_t slot) {
    live_[slot] = false;
    slots_[slot].data = std::string();
    ++dead_;
  }

  // Drops the dead slots, keeping the order of the live ones; no statement may be waiting.
  void Compact() {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
      if (!live_[i]) continue;
      if (kept != i) slots_[kept] = std::move(slots_[i]);
      ++kept;
    }
    slots_.resize(kept);
    live_.assign(kept, true);
    dead_ = 0;
  }

  // The index twice its size, its cells taken in their order.
  void Grow() {
    std::vector<IndexCell> old(table_.size() * 2);
    table_.swap(old);
    for (const IndexCell& cell : old)
      if (cell.slot != kEmpty) Place(cell);
  }

  // The index anew from the slots, after they moved.
  void Reindex() {
    std::size_t size = 16;
    while (size < slots_.size() * 4) size *= 2;
    table_.assign(size, IndexCell{});
    used_cells_ = slots_.size();
    for (std::size_t i = 0; i < slots_.size(); ++i)
      Place({Hash(slots_[i].name), static_cast<std::uint32_t>(i)});
  }

  std::array<Statement, kQueue> queue_;  // a ring: queued_ statements from first_ on
  std::size_t first_ = 0;
  std::size_t queued_ = 0;
  RegistryFileValues slots_;  // in the order of the file
  std::vector<bool> live_;
  std::size_t dead_ = 0;
  std::vector<IndexCell> table_;
  std::size_t used_cells_ = 0;
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

// The bytes into text (byte-order mark and UTF-16), the text into lines, the lines to KeyLines.
struct RegistryKeyReader::State {
  enum class Encoding { kUnknown, kUtf8, kUtf16 };

  explicit State(std::string_view path) : lines(path) {}

  void Feed(std::string_view bytes) {
    while (encoding == Encoding::kUnknown && !bytes.empty()) {
      head += bytes.front();
      bytes.remove_prefix(1);
      Recognise();
    }
    Decode(bytes);
  }

  std::optional<RegistryFileValues> Finish() {
    if (encoding == Encoding::kUnknown) {
      encoding = Encoding::kUtf8;
      Text(head);
    }
    if (encoding == Encoding::kUtf16) {
      decoded.clear();
      utf16.Finish(decoded);
      Text(decoded);
    }
    if (!partial.empty()) EndLine(partial);
    return lines.Finish();
  }

  // Decides the encoding by the first bytes, once they are enough to tell.
  void Recognise() {
    std::string_view text = head;
    if (text.starts_with(kUtf16Mark)) {
      encoding = Encoding::kUtf16;
      text.remove_prefix(kUtf16Mark.size());
    } else if (text.starts_with(kUtf8Mark)) {
      encoding = Encoding::kUtf8;
      text.remove_prefix(kUtf8Mark.size());
    } else if (kUtf16Mark.starts_with(text) || kUtf8Mark.starts_with(text)) {
      return;
    } else {
      encoding = Encoding::kUtf8;
    }
    Decode(text);
  }

  void Decode(std::string_view bytes) {
    if (encoding != Encoding::kUtf16) return Text(bytes);
    decoded.clear();
    utf16.Feed(bytes, decoded);
    Text(decoded);
  }

  // Lines end at LF; a line that goes on into the next piece waits in `partial`.
  void Text(std::string_view text) {
    for (auto lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n')) {
      if (partial.empty()) {
        EndLine(text.substr(0, lf));
      } else {
        partial.append(text.substr(0, lf));
        EndLine(partial);
        partial.clear();
      }
      text.remove_prefix(lf + 1);
    }
    partial.append(text);
  }

  void EndLine(std::string_view line) {
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.Line(line);
  }

  Encoding encoding = Encoding::kUnknown;
  std::string head;  // the first bytes, until they tell the encoding
  Utf16Decoder utf16;
  std::string decoded;  // a UTF-16 piece as UTF-8
  std::string partial;  // the start of a line without its end yet
  KeyLines lines;
  bool malformed = false;
};

RegistryKeyReader::RegistryKeyReader(std::string_view path)
    : state_(std::make_unique<State>(path)) {}

RegistryKeyReader::~RegistryKeyReader() = default;

bool RegistryKeyReader::Feed(std::string_view bytes) {
  if (state_->malformed) return false;
  try {
    state_->Feed(bytes);
  } catch (const Malformed&) {
    state_->malformed = true;
  }
  return !state_->malformed;
}

std::optional<RegistryFileValues> RegistryKeyReader::Finish() {
  if (state_->malformed) return std::nullopt;
  try {
    return state_->Finish();
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
