// The settings reader, the one-pass read of a load and the two-pass rewrite of a save.
#include <algorithm>
#include <utility>

#include "job/settings_text.h"
#include "job/text_rules.h"

namespace korvu::job {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The next line of `rest` without its end (CR LF, LF or CR); `rest` moves past that end. One scan
// for whichever end comes first, so that a text of lone CRs is read in linear time.
std::string_view NextLine(std::string_view& rest) {
  const auto end =
      std::find_if(rest.begin(), rest.end(), [](char c) { return c == '\r' || c == '\n'; });
  const std::string_view line(rest.data(), static_cast<std::size_t>(end - rest.begin()));
  std::size_t skip = 0;
  if (end != rest.end()) skip = *end == '\r' && end + 1 != rest.end() && end[1] == '\n' ? 2 : 1;
  rest.remove_prefix(line.size() + skip);
  return line;
}

// The key and the value of an entry line, both trimmed; nothing for a line without "=".
std::optional<std::pair<std::string_view, std::string_view>> SplitEntry(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return std::pair(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
}

bool IsHeader(std::string_view line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

}  // namespace

SettingsLineReader::SettingsLineReader(std::string_view bytes)
    : rest_(bytes.substr(0, bytes.find('\0'))) {}

bool SettingsLineReader::Next(SettingsLine& kept) {
  while (!rest_.empty()) {
    const std::string_view line = Trim(NextLine(rest_));
    if (line.empty() || line.front() == ';') continue;
    if (IsHeader(line)) {
      in_section_ = true;
      kept = {true, Trim(line.substr(1, line.size() - 2))};
      return true;
    }
    if (in_section_) {
      kept = {false, line};
      return true;
    }
  }
  return false;
}

SectionValues ReadSectionValues(std::string_view bytes, std::string_view name,
                                std::span<const std::string_view> keys) {
  SectionValues section;
  bool inside = false;
  SettingsLineReader reader(bytes);
  for (SettingsLine line; reader.Next(line);) {
    if (line.header) {
      inside = EqualsIgnoringCase(line.text, name);
      // A later section of the name hides the earlier one whole.
      if (inside)
        section = {true, false, std::vector<std::optional<std::string_view>>(keys.size())};
      continue;
    }
    if (!inside) continue;
    section.holds_line = true;
    const auto entry = SplitEntry(line.text);
    if (!entry) continue;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      if (EqualsIgnoringCase(keys[i], entry->first)) section.values[i] = entry->second;
    }
  }
  if (!section.found) section.values.resize(keys.size());
  return section;
}

// A save's rewrite: where its edits fall, found in a first pass, then the text written with them.
namespace {

// The last two sections of the save's name, each by its place among all headers (counting from 1;
// 0 for none), and for each entry the place of its key's last line among the lines of the earlier
// one (from 1; 0 for none).
struct RewritePlan {
  std::size_t removed = 0;  // the last section of the name, dropped whole
  std::size_t target = 0;   // the one before it, which takes the entries
  std::vector<std::size_t> entry_lines;
};

RewritePlan PlanRewrite(std::string_view bytes, std::string_view name,
                        std::span<const SettingsEntry> entries) {
  RewritePlan plan;
  std::vector<std::size_t> last_lines(entries.size());
  std::size_t header = 0;
  std::size_t line = 0;
  SettingsLineReader reader(bytes);
  for (SettingsLine kept; reader.Next(kept);) {
    if (kept.header) {
      ++header;
      line = 0;
      if (!EqualsIgnoringCase(kept.text, name)) continue;
      plan.target = std::exchange(plan.removed, header);
      plan.entry_lines.swap(last_lines);
      last_lines.assign(entries.size(), 0);
      continue;
    }
    ++line;
    if (header != plan.removed) continue;
    const auto entry = SplitEntry(kept.text);
    for (std::size_t i = 0; entry && i < entries.size(); ++i) {
      if (EqualsIgnoringCase(entries[i].key, entry->first)) last_lines[i] = line;
    }
  }
  plan.entry_lines.resize(entries.size());
  return plan;
}

// Writes the text by the plan to `out`, which takes it piece by piece as string_views.
template <typename Out>
void WriteRewrite(std::string_view bytes, std::string_view name,
                  std::span<const SettingsEntry> entries, const RewritePlan& plan, Out&& out) {
  const auto write = [&](auto... pieces) { (out(std::string_view(pieces)), ...); };
  // The entries whose keys the section lacks go at its end, in their order.
  const auto end_section = [&](std::size_t header) {
    for (std::size_t i = 0; header == plan.target && i < entries.size(); ++i)
      if (plan.entry_lines[i] == 0) write(entries[i].key, "=", entries[i].value, kLineEnd);
    write(kLineEnd);
  };
  std::size_t header = 0;
  std::size_t line = 0;
  bool writing = false;
  SettingsLineReader reader(bytes);
  for (SettingsLine kept; reader.Next(kept);) {
    if (kept.header) {
      if (writing) end_section(header);
      ++header;
      line = 0;
      writing = header != plan.removed;
      if (writing) write("[", kept.text, "]", kLineEnd);
      continue;
    }
    ++line;
    if (!writing) continue;
    const auto set =
        header == plan.target ? std::ranges::find(plan.entry_lines, line) : plan.entry_lines.end();
    if (set != plan.entry_lines.end()) {
      const SettingsEntry& entry =
          entries[static_cast<std::size_t>(set - plan.entry_lines.begin())];
      write(entry.key, "=", entry.value, kLineEnd);
    } else if (const auto entry = SplitEntry(kept.text)) {
      write(entry->first, "=", entry->second, kLineEnd);
    } else {
      write(kept.text, kLineEnd);
    }
  }
  if (writing) end_section(header);
  if (plan.target != 0) return;
  write("[", name, "]", kLineEnd);
  for (const SettingsEntry& entry : entries) write(entry.key, "=", entry.value, kLineEnd);
  write(kLineEnd);
}

}  // namespace

std::string RewriteSettingsText(std::string_view bytes, std::string_view section,
                                std::span<const SettingsEntry> entries) {
  const RewritePlan plan = PlanRewrite(bytes, section, entries);
  // Counted first, so that the result is one allocation of its size and never a copy in growth.
  std::size_t size = 0;
  WriteRewrite(bytes, section, entries, plan,
               [&](std::string_view piece) { size += piece.size(); });
  std::string text;
  text.reserve(size);
  WriteRewrite(bytes, section, entries, plan, [&](std::string_view piece) { text.append(piece); });
  return text;
}

}  // namespace korvu::job
