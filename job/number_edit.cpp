#include "job/number_edit.h"

#include "job/number_text.h"

namespace korvu::job {

class NumberEdit::Remember {
 public:
  explicit Remember(NumberEdit& edit) : edit_(edit) {}
  Remember(const Remember&) = delete;
  Remember& operator=(const Remember&) = delete;
  ~Remember() {
    edit_.last_validated_ = edit_.value_.Text();
    edit_.heard_writes_ = edit_.value_.Writes();
  }

 private:
  NumberEdit& edit_;
};

void NumberEdit::TakeUnheardWrite() {
  if (value_.Writes() != heard_writes_) last_validated_ = ValidatedNumberText(value_.Text());
  heard_writes_ = value_.Writes();
}

void NumberEdit::Type(const std::string& typed) {
  TakeUnheardWrite();
  if (typed == value_.Text()) return;
  typing_ = true;
  struct EndTyping {
    NumberEdit& edit;
    ~EndTyping() {
      edit.typing_ = false;
      edit.heard_writes_ = edit.value_.Writes();
    }
  } end{*this};
  value_.SetText(typed);
}

void NumberEdit::Validate() {
  const Remember remember(*this);
  value_.Validate();
}

void NumberEdit::Revert() {
  TakeUnheardWrite();
  const Remember remember(*this);
  value_.SetText(last_validated_);
  value_.Validate();
}

void NumberEdit::ValueChanged() {
  if (typing_) return;
  if (value_.Text() != ValidatedNumberText(value_.Text())) return Validate();
  last_validated_ = value_.Text();
  heard_writes_ = value_.Writes();
}

}  // namespace korvu::job
