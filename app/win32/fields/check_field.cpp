#include "app/win32/fields/check_field.h"

#include "app/form/guard.h"

namespace korvu::app::win32 {
namespace {

constexpr WPARAM kShown[] = {BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE};

}  // namespace

// The boxes check nothing by themselves: a click goes to the job, and the box shows its answer.
CheckField::CheckField(job::CheckBox& state, std::string_view caption, HWND parent, const Rect& box,
                       HFONT font)
    : state_(&state) {
  Add(CreateChild(parent, "BUTTON", WS_TABSTOP | BS_3STATE, box, font, caption));
  binding_.Follow(state, [this] { Show(); });
}

CheckField::CheckField(job::Flag& flag, std::string_view caption, HWND parent, const Rect& box,
                       HFONT font)
    : flag_(&flag) {
  Add(CreateChild(parent, "BUTTON", WS_TABSTOP | BS_CHECKBOX, box, font, caption));
  binding_.Follow(flag, [this] { Show(); });
}

void CheckField::Command(HWND, WORD code) {
  if (code != BN_CLICKED) return;
  binding_.Take([this] { flag_ != nullptr ? flag_->Click() : state_->Click(); },
                [this] { Show(); });
}

void CheckField::Show() {
  const WPARAM shown = flag_ != nullptr ? (flag_->Value() ? BST_CHECKED : BST_UNCHECKED)
                                        : kShown[static_cast<int>(state_->State())];
  SendMessageA(Handle(), BM_SETCHECK, shown, 0);
}

}  // namespace korvu::app::win32
