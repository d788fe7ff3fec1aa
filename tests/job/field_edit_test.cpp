// The edit cycles that both windows' fields run: a file-name field's line-break cut and browse
// memory, a spin field's wheel and what a list's edits write.
#include <gtest/gtest.h>

#include "job/file_name_edit.h"
#include "job/list_edit.h"
#include "job/spin_edit.h"
#include "tests/support/fake_file_system.h"

namespace korvu::job {
namespace {

TEST(FileNameEditTest, EveryChangeIsCutAtItsFirstLineBreak) {
  const test::FakeFileSystem fs;
  const PathRules rules(PathStyle::kPosix, fs);
  TextValue value("a");
  FileNameEdit edit(value, rules);
  value.OnChange([&] { edit.ValueChanged(); });
  EXPECT_FALSE(edit.Type("ab"));
  EXPECT_EQ(value.Text(), "ab");
  // The text the field shows differs from the value only when a line break was cut off.
  EXPECT_TRUE(edit.Type("ab\nc"));
  EXPECT_EQ(value.Text(), "ab");
  EXPECT_TRUE(edit.Type("x\r\ny"));
  EXPECT_EQ(value.Text(), "x");
  value.SetText("p\rq");  // a program's write
  EXPECT_EQ(value.Text(), "p");
}

// Each use of the dialog starts where the text's file name lies; a text that gives no valid file
// name starts where the previous use ended, and a missing folder keeps the previous folder.
TEST(FileNameEditTest, TheDialogStartsAtTheTextOrWhereItWasLeft) {
  test::FakeFileSystem fs;
  fs.AddFolder("/videos/");
  fs.AddFolder("/chosen/");
  const PathRules rules(PathStyle::kPosix, fs);
  TextValue value;
  FileNameEdit edit(value, rules);
  struct Step {
    const char* text;  // the field's text before the dialog opens; null: a choice
    const char* chosen;
    const char* folder;  // where it starts
    const char* name;
  };
  const Step steps[] = {
      {"", nullptr, "", ""},
      {"/videos/a.avi", nullptr, "/videos/", "a.avi"},
      {"", nullptr, "/videos/", "a.avi"},
      {nullptr, "/chosen/my clip.avi", nullptr, nullptr},
      {"/gone/b.avi", nullptr, "/chosen/", "b.avi"},
      {"/videos/a?.avi", nullptr, "/chosen/", "b.avi"},
  };
  for (const Step& step : steps) {
    if (step.text == nullptr) {
      edit.TakeChoice(step.chosen);
      EXPECT_EQ(value.Text(), "\"/chosen/my clip.avi\"");
      EXPECT_EQ(edit.DialogStart().name, "my clip.avi");
      continue;
    }
    value.SetText(step.text);
    const BrowseStart start = edit.DialogStart();
    EXPECT_EQ(start.folder, step.folder) << step.text;
    EXPECT_EQ(start.name, step.name) << step.text;
  }
}

TEST(SpinEditTest, TheWheelStepsOncePerWholeNotch) {
  BoundedInt value(0, 100, 50);
  SpinEdit edit(value);
  const std::pair<int, int> turns[] = {{60, 50},  {60, 51},  {240, 53},  {-120, 52},
                                       {-30, 52}, {-90, 51}, {-600, 46}, {10000, 100}};
  for (const auto& [delta, after] : turns) {
    edit.Wheel(delta);
    EXPECT_EQ(value.Value(), after) << delta;
  }
}

// What a list's edits write: an index list selects none on a typed text and the found entry on a
// search; a free text takes what is typed (cut at a line break) or chosen.
TEST(ListEditTest, HandsEachEditToItsKindOfValue) {
  ListIndex index({"Fast", "Balanced", "Highest"}, 1);
  ListEdit indexed(index);
  EXPECT_EQ(indexed.Search("h", std::chrono::milliseconds(0), 1), 2);
  EXPECT_EQ(indexed.Search("x", std::chrono::milliseconds(1000), 2), std::nullopt);
  EXPECT_EQ(index.Index(), 2);
  EXPECT_FALSE(indexed.Edit("Bal"));
  EXPECT_EQ(index.Index(), -1);

  TextValue fps;
  ListEdit free(fps, {"24", "25"});
  free.Take(*free.CompletionOf("", 0, 0, "2"));
  EXPECT_EQ(fps.Text(), "24");
  free.Choose(1);
  EXPECT_EQ(fps.Text(), "25");
  free.Choose(7);  // no such entry
  EXPECT_EQ(fps.Text(), "25");
  EXPECT_TRUE(free.Edit("29.97\n30"));
  EXPECT_EQ(fps.Text(), "29.97");
}

}  // namespace
}  // namespace korvu::job
