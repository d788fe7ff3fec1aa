#pragma once

#include <cstdint>
#include <string>

#include "job/values.h"

namespace korvu::job {

// A number field's editing of its value: while the user types, the text stays exactly as typed;
// validating gives the canonical text and remembers it; Escape (Revert) returns to the text last
// validated. A text the program writes is validated at once, as a written value is; a write that
// leaves the text as it is tells nobody, and counts as validated from the edit's next step on.
// Each step may raise what the value's listeners raise; what it remembers is right all the same.
class NumberEdit {
 public:
  explicit NumberEdit(NumberText& value)
      : value_(value), last_validated_(value.Text()), heard_writes_(value.Writes()) {}

  // A text the user has typed; the value's own text is no change.
  void Type(const std::string& typed);
  void Validate();
  void Revert();
  // The value has changed: a write by the program (not a keystroke) is validated at once.
  void ValueChanged();

 private:
  // Remembers the value's text as the last validated one when the step ends, however it ends.
  class Remember;

  // A write since the edit's last step or notice that it did not hear: the program's, of the text
  // the value held.
  void TakeUnheardWrite();

  NumberText& value_;
  std::string last_validated_;
  std::uint64_t heard_writes_;  // the value's writes as of the edit's last step or notice
  bool typing_ = false;
};

}  // namespace korvu::job
