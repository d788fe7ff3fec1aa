#include "app/win32/fields/list_field.h"

#include "app/form/guard.h"
#include "app/win32/win32_text.h"

namespace korvu::app::win32 {
namespace {

// The height the open list adds below the field.
constexpr int kListHeight = 200;

std::chrono::milliseconds Now() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace

ListField::ListField(job::ListEdit edit, bool editable, HWND parent, const Rect& box, HFONT font)
    : list_edit_(std::move(edit)) {
  const DWORD style =
      WS_TABSTOP | WS_VSCROLL | (editable ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST);
  HWND list = CreateChild(parent, "COMBOBOX", style,
                          {box.left, box.top, box.width, box.height + kListHeight}, font);
  // The closed field as high as its box: its selection field grows or shrinks by what it is off,
  // measured again, as the system may round the height it is given.
  for (int tries = 0; tries < 3; ++tries) {
    RECT shown{};
    GetWindowRect(list, &shown);
    const int off = box.height - static_cast<int>(shown.bottom - shown.top);
    if (off == 0) break;
    const auto item = SendMessageA(list, CB_GETITEMHEIGHT, WPARAM(-1), 0);
    SendMessageA(list, CB_SETITEMHEIGHT, WPARAM(-1), item + off);
  }
  for (const std::string& entry : list_edit_.Entries())
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  Add(list);
  Subclass(list);
  if (!editable) return;
  COMBOBOXINFO parts{};
  parts.cbSize = sizeof parts;
  GetComboBoxInfo(list, &parts);
  edit_ = parts.hwndItem;
  Add(edit_);
  Subclass(edit_);
}

LRESULT ListField::Message(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
  // Backspace leaves no entry selected, even when there was nothing to delete.
  if (message == WM_CHAR && wparam == VK_BACK && control == edit_) {
    const LRESULT result = Default(control, message, wparam, lparam);
    TakeBackspace();
    return result;
  }
  if (message != WM_CHAR || IsControlCharacter(wparam) || (GetKeyState(VK_CONTROL) & 0x8000))
    return Default(control, message, wparam, lparam);
  const char typed = static_cast<char>(wparam);
  if (edit_ == nullptr) {
    Search(typed);
    return 0;
  }
  if (control == edit_ && Complete(typed)) return 0;
  return Default(control, message, wparam, lparam);
}

void ListField::Command(HWND, WORD code) {
  if (binding_.Quiet()) return;
  const bool open = SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
  switch (code) {
    case CBN_EDITCHANGE:
      return TakeEdit();
    case CBN_SELCHANGE:
      // While the list is open the highlight moves; the choice comes when it closes.
      if (!open && CurrentIndex() >= 0) TakeChoice(CurrentIndex());
      return;
    case CBN_SELENDOK:
      if (CurrentIndex() >= 0) TakeChoice(CurrentIndex());
      return;
    case CBN_SELENDCANCEL:
      return ShowValue();
    default:
      return;
  }
}

int ListField::CurrentIndex() const {
  return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
}

void ListField::Select(int index, bool keep_text) {
  binding_.Quietly([&] {
    if (!keep_text || edit_ == nullptr) {
      SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
      return;
    }
    // Selecting none clears the text along with the selection; a typed text stays.
    const std::string text = WindowText(edit_);
    const Selection caret = EditSelection(edit_);
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SetControlText(edit_, text);
    SelectInEdit(edit_, caret.start, caret.end);
  });
}

std::string ListField::Text() const {
  return WindowText(edit_ != nullptr ? edit_ : Handle());
}

void ListField::SetText(const std::string& text) {
  binding_.Quietly([&] { SetControlText(edit_, text); });
}

bool ListField::Complete(char typed) {
  const std::string text = WindowText(edit_);
  const Selection selection = EditSelection(edit_);
  const std::size_t start = selection.Empty() ? text.size() : selection.start;
  const auto completion =
      list_edit_.CompletionOf(text, start, selection.end - selection.start, std::string(1, typed));
  if (!completion) return false;
  Select(completion->index, false);
  Guarded([&] { list_edit_.Take(*completion); });
  SetText(completion->text);
  SelectInEdit(edit_, completion->selection_start, completion->text.size());
  return true;
}

void ListField::Search(char typed) {
  Guarded([&] { list_edit_.Search(std::string(1, typed), Now(), CurrentIndex()); });
  ShowValue();  // also when a listener failed
}

void ListField::TakeChoice(int index) {
  Guarded([&] { list_edit_.Choose(index); });
}

ListIndexField::ListIndexField(job::ListIndex& index, bool editable, HWND parent, const Rect& box,
                               HFONT font)
    : ListField(job::ListEdit(index), editable, parent, box, font), index_(index) {
  binding_.Follow(index_, [this] { ShowValue(); });
}

// A typed text is no entry.
void ListIndexField::TakeEdit() {
  if (CurrentIndex() != -1) Select(-1, true);
  Guarded([&] { list_edit_.Edit(Text()); });
}

void ListIndexField::ShowValue() {
  if (CurrentIndex() != index_.Index()) Select(index_.Index(), false);
}

FreeTextList::FreeTextList(job::TextValue& text, const std::vector<std::string>& entries,
                           HWND parent, const Rect& box, HFONT font)
    : ListField(job::ListEdit(text, entries), true, parent, box, font), text_(text) {
  binding_.Follow(text_, [this] { ShowValue(); });
}

void FreeTextList::TakeEdit() {
  binding_.Take([this] { return list_edit_.Edit(Text()); }, [this] { ShowValue(); });
}

void FreeTextList::ShowValue() {
  if (Text() == text_.Text()) return;
  // A text that is no entry selects none; the shown text is the value's.
  Select(-1, false);
  SetText(text_.Text());
}

}  // namespace korvu::app::win32
