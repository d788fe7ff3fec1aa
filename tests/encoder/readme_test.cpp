#include <string>

#include <gtest/gtest.h>

#include "encoder/options.h"
#include "tests/support/temp_dir.h"

namespace korvu::enc {
namespace {

// Markdown table cells take "|" escaped.
std::string Cell(std::string_view text) {
  std::string cell;
  for (char c : text) cell += c == '|' ? std::string("\\|") : std::string(1, c);
  return cell;
}

// The README's table of korvu-enc's options is the option table of the code, row for row.
TEST(ReadmeTest, ShowsTheOptionTableOfTheCode) {
  const std::string readme = test::ReadFile(KORVU_README);
  for (const OptionRow& row : OptionTable()) {
    std::string option(row.name);
    if (!row.value.empty()) option += " " + std::string(row.value);
    const std::string line =
        "| `" + Cell(option) + "` | " + Cell(row.meaning) + " | " + Cell(row.x264) + " |\n";
    EXPECT_NE(readme.find(line), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace korvu::enc
