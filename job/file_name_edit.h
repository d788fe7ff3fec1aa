#pragma once

#include <string>
#include <string_view>

#include "job/browse_rule.h"
#include "job/path_rules.h"
#include "job/values.h"

namespace korvu::job {

// A file-name field's editing of its path text: every change of the text is cut just before its
// first line break, whoever made it; the browse dialog starts at the text's file name or, when the
// text gives no valid one, where its previous use left it; a confirmed choice becomes the text.
// Each step may raise what the value's listeners raise.
class FileNameEdit {
 public:
  FileNameEdit(TextValue& value, const PathRules& rules) : value_(value), rules_(rules) {}

  // The text the user's edit left in the field. Returns true when the field must show the value's
  // text instead (a line break was cut off).
  bool Type(const std::string& typed);
  // The value has changed: a text the program wrote is cut like a typed one.
  void ValueChanged();

  // The file name of the text, by the path rules.
  std::string FileName() const { return rules_.FileName(value_.Text()); }
  // The text for the file name `name` (a dropped file's, a program's): quoted when it holds a
  // blank; raises Error("Ungültiger Dateiname - NAME") and keeps the text when it is not valid.
  void SetFileName(std::string_view name) { value_.SetText(rules_.PathText(name)); }

  // Where the browse dialog starts now; the folder is empty when the system's choice stands.
  BrowseStart DialogStart();
  // The dialog's confirmed choice, a full file name: remembered for the next start, and the text
  // becomes it, quoted when it holds a blank (no validity check).
  void TakeChoice(const std::string& chosen);

 private:
  TextValue& value_;
  const PathRules& rules_;
  BrowseStart last_;  // the previous use of the dialog
};

}  // namespace korvu::job
