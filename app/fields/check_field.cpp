#include "app/fields/check_field.h"

#include <QPointer>

#include "app/guard.h"

namespace korvu::app {
namespace {

constexpr Qt::CheckState kShown[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};

}  // namespace

CheckField::CheckField(job::CheckBox& state, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent), state_(&state) {
  setTristate(true);
  Follow(state);
}

CheckField::CheckField(job::Flag& flag, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent), flag_(&flag) {
  Follow(flag);
}

template <typename Value>
void CheckField::Follow(Value& value) {
  Show();
  value.OnChange([field = QPointer(this)] {
    if (field) field->Show();
  });
}

Qt::CheckState CheckField::BoundState() const {
  if (flag_ != nullptr) return flag_->Value() ? Qt::Checked : Qt::Unchecked;
  return kShown[static_cast<int>(state_->State())];
}

void CheckField::Show() {
  if (checkState() != BoundState()) setCheckState(BoundState());
}

void CheckField::nextCheckState() {
  const bool checked = checkState() != Qt::Checked;
  Guarded([&] {
    if (flag_ != nullptr) {
      flag_->SetValue(checked);
    } else {
      state_->SetChecked(checked);
    }
  });
  Show();  // when a listener failed, the box still shows the value
}

}  // namespace korvu::app
