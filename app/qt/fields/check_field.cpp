#include "app/qt/fields/check_field.h"

#include "app/form/guard.h"

namespace korvu::app {
namespace {

constexpr Qt::CheckState kShown[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};

}  // namespace

CheckField::CheckField(job::CheckBox& state, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent), state_(&state) {
  setTristate(true);
  binding_.Follow(state, [this] { Show(); });
}

CheckField::CheckField(job::Flag& flag, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent), flag_(&flag) {
  binding_.Follow(flag, [this] { Show(); });
}

Qt::CheckState CheckField::BoundState() const {
  if (flag_ != nullptr) return flag_->Value() ? Qt::Checked : Qt::Unchecked;
  return kShown[static_cast<int>(state_->State())];
}

void CheckField::Show() {
  binding_.ShowText(checkState(), BoundState(),
                    [this](Qt::CheckState state) { setCheckState(state); });
}

void CheckField::nextCheckState() {
  binding_.Take([this] { flag_ != nullptr ? flag_->Click() : state_->Click(); },
                [this] { Show(); });
}

}  // namespace korvu::app
