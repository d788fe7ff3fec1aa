#include "job/values.h"

#include <algorithm>

#include "job/number_text.h"

namespace korvu::job {

void TextValue::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  Notify();
}

std::int32_t NumberText::Value() const {
  return NumberValue(text_);
}

std::int64_t NumberText::AsInteger() const {
  return NumberAsInteger(text_);
}

void NumberText::SetText(std::string text) {
  ++writes_;
  if (text == text_) return;
  text_ = std::move(text);
  Notify();
}

void NumberText::Validate() {
  SetText(ValidatedNumberText(text_));
}

void NumberText::SetValue(std::int64_t value) {
  SetText(std::to_string(std::max<std::int64_t>(value, 0)));
}

void BoundedInt::SetValue(std::int64_t value) {
  const int clamped = static_cast<int>(std::clamp<std::int64_t>(value, min_, max_));
  if (clamped == value_) return;
  value_ = clamped;
  Notify();
}

void BoundedInt::SetMax(int max) {
  max_ = std::max(max, min_);
  SetValue(value_);
}

void ListIndex::SetIndex(std::int64_t index) {
  const bool listed = index >= 0 && index < static_cast<std::int64_t>(entries_.size());
  const int selected = listed ? static_cast<int>(index) : -1;
  if (selected == index_) return;
  index_ = selected;
  Notify();
}

void ListIndex::Choose(std::int64_t index) {
  const int before = index_;
  SetIndex(index);
  if (index_ == before) Notify();
}

void CheckBox::SetState(CheckState state) {
  if (state == state_) return;
  state_ = state;
  Notify();
}

void Flag::SetValue(bool value) {
  if (value == value_) return;
  value_ = value;
  Notify();
}

}  // namespace korvu::job
