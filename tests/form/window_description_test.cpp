// The window's description on its own: what every front end relies on when it builds from it.
#include "app/form/window_description.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <variant>

namespace korvu::form {
namespace {

// Whether the job value of `row` is of the kind its control shows (see Kind); a button and the
// preview show none.
bool ShowsItsKindOfValue(const Control& row) {
  using job::JobSettings;
  const job::SettingsKey* key = ValueKey(row);
  const auto holds = [key](auto member) {
    return key != nullptr && std::holds_alternative<decltype(member)>(key->field);
  };
  switch (row.kind) {
    case Kind::kFileName:
    case Kind::kFreeTextList:
      return holds(static_cast<job::TextValue JobSettings::*>(nullptr));
    case Kind::kNumber:
      return holds(static_cast<job::NumberText JobSettings::*>(nullptr));
    case Kind::kSpin:
      return holds(static_cast<job::BoundedInt JobSettings::*>(nullptr));
    case Kind::kEditableList:
    case Kind::kFixedList:
      return holds(static_cast<job::ListIndex JobSettings::*>(nullptr));
    case Kind::kCheckBox:
      return holds(static_cast<job::CheckBox JobSettings::*>(nullptr)) ||
             holds(static_cast<job::Flag JobSettings::*>(nullptr));
    case Kind::kButton:
    case Kind::kPreview:
      return row.value.empty();
  }
  return false;
}

bool Inside(const Box& box) {
  return box.left >= 0 && box.top >= 0 && box.width > 0 && box.height > 0 &&
         box.left + box.width <= kClientWidth && box.top + box.height <= kClientHeight;
}

bool Overlap(const Box& a, const Box& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

TEST(MainFormTest, EveryControlShowsItsOwnValueOfItsKind) {
  std::map<std::string, int> shown;
  for (const Control& row : kControls) {
    EXPECT_TRUE(ShowsItsKindOfValue(row)) << row.name;
    if (!row.value.empty()) ++shown[std::string(row.value)];
  }
  for (const job::SettingsKey& key : job::kSettingsKeys)
    EXPECT_EQ(shown[std::string(key.name)], 1) << key.name;
}

TEST(MainFormTest, BoxesLieInsideTheClientAreaApart) {
  std::vector<std::pair<std::string_view, Box>> boxes;
  for (const Control& row : kControls) {
    boxes.emplace_back(row.name, row.box);
    if (!row.label.name.empty()) boxes.emplace_back(row.label.name, row.label.box);
  }
  std::set<std::string_view> names;
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const auto& [name, box] = boxes[i];
    EXPECT_TRUE(names.insert(name).second) << name << " twice";
    EXPECT_TRUE(Inside(box)) << name;
    for (std::size_t j = i + 1; j < boxes.size(); ++j) {
      // The two B-frame boxes share one row of pixels, as the window has always placed them.
      const bool b_frame_pair = name == "jvcBRef" && boxes[j].first == "jvcPyramide";
      EXPECT_EQ(Overlap(box, boxes[j].second), b_frame_pair) << name << " and " << boxes[j].first;
    }
  }
}

// A caption may grow up to the next box to its right on its lines, or the window's edge.
TEST(MainFormTest, RoomBesideEndsAtTheNextBoxToTheRight) {
  const std::map<std::string_view, int> label_rooms = {
      {"jvcEncQuality", 88},  // up to the bitrate's label
      {"jveEncoder", 264},    // across the gap to the input's label
      {"jvsThreads", 56},     // up to the source type's list
      {"jveMaxFrames", 121},  // up to the window's edge
  };
  for (const auto& [control, room] : label_rooms)
    EXPECT_EQ(RoomBeside(ControlNamed(control).label.box), room) << control;
  EXPECT_EQ(RoomBeside(ControlNamed("jvcPyramide").box), 248) << "up to \"Save settings\"";
  EXPECT_EQ(RoomBeside(ControlNamed("jvcMBAFF").box), 137) << "up to the window's edge";
}

TEST(MainFormTest, ControlsCarryWhatTheirKindNeeds) {
  for (const Control& row : kControls) {
    const bool file = row.kind == Kind::kFileName;
    const bool captioned =
        row.kind == Kind::kButton || row.kind == Kind::kCheckBox || row.kind == Kind::kPreview;
    EXPECT_EQ(!row.dialog.filter.empty(), file) << row.name;
    EXPECT_EQ(!row.picture.empty(), file || row.kind == Kind::kButton) << row.name;
    EXPECT_EQ(!row.caption.empty(), captioned) << row.name;
    EXPECT_EQ(!row.entries.empty(), row.kind == Kind::kFreeTextList) << row.name;
    // A control names itself by its caption, or a label names it.
    EXPECT_EQ(row.label.name.empty(), captioned) << row.name;
    // Hints break their lines with CR LF, as the window stores them.
    EXPECT_EQ(std::ranges::count(row.hint, '\n'), std::ranges::count(row.hint, '\r')) << row.name;
  }
  EXPECT_EQ(ControlNamed(kFirstFocus).name, kFirstFocus);
  EXPECT_THROW(ControlNamed("jvlEncoder"), std::out_of_range);
}

}  // namespace
}  // namespace korvu::form
