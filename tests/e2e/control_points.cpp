// korvu-control-points: where the end-to-end scripts and benches click, read from the window's
// description, so that a control moved there moves every script with it. One line per control,
//   NAME X Y LEFT TOP WIDTH HEIGHT
// X Y its centre, then its box, in client-area pixels at 96 dots per inch; a file name field's
// browse button follows its field as NAME.browse.
#include <cstdio>
#include <string>

#include "app/form/window_description.h"

namespace {

constexpr int kFrame = 2;  // the sunken frame the browse button lies inside

void Print(const char* name, const char* suffix, const korvu::form::Box& box) {
  std::printf("%s%s %d %d %d %d %d %d\n", name, suffix, box.left + box.width / 2,
              box.top + box.height / 2, box.left, box.top, box.width, box.height);
}

}  // namespace

int main() {
  using korvu::form::Box;
  for (const korvu::form::Control& row : korvu::form::kControls) {
    const std::string name(row.name);
    Print(name.c_str(), "", row.box);
    if (row.kind != korvu::form::Kind::kFileName) continue;
    const Box& field = row.box;
    Print(name.c_str(), ".browse",
          {field.left + field.width - kFrame - korvu::form::kBrowseButtonWidth, field.top + kFrame,
           korvu::form::kBrowseButtonWidth, field.height - 2 * kFrame});
  }
}
