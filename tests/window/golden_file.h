#pragma once

#include <fstream>
#include <string>

namespace korvu::test {

// The window as its golden file describes it, both front ends' reading of it compared with the
// same text: the file without its comment lines.
inline std::string MainFormGoldenFile() {
  std::ifstream file(KORVU_WINDOW_FIXTURES "/main_form.txt");
  std::string text, line;
  while (std::getline(file, line))
    if (!line.starts_with('#')) text += line + "\n";
  return text;
}

}  // namespace korvu::test
