#include "job/number_edit.h"

#include "job/number_text.h"

namespace korvu::job {

class NumberEdit::Remember {
 public:
  explicit Remember(NumberEdit& edit) : edit_(edit) {}
  Remember(const Remember&) = delete;
  Remember& operator=(const Remember&) = delete;
  ~Remember() { edit_.last_validated_ = edit_.value_.Text(); }

 private:
  NumberEdit& edit_;
};

void NumberEdit::Type(const std::string& typed) {
  if (typed == value_.Text()) return;
  typing_ = true;
  struct EndTyping {
    bool& typing;
    ~EndTyping() { typing = false; }
  } end{typing_};
  value_.SetText(typed);
}

void NumberEdit::Validate() {
  const Remember remember(*this);
  value_.Validate();
}

void NumberEdit::Revert() {
  const Remember remember(*this);
  value_.SetText(last_validated_);
  value_.Validate();
}

void NumberEdit::ValueChanged() {
  if (typing_) return;
  if (value_.Text() != ValidatedNumberText(value_.Text())) return Validate();
  last_validated_ = value_.Text();
}

}  // namespace korvu::job
