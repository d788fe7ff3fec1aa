#pragma once

#include <string>
#include <string_view>

#include "app/form/window_description.h"
#include "app/win32/controls.h"
#include "app/win32/fields/field.h"
#include "job/file_name_edit.h"
#include "job/path_rules.h"

namespace korvu::app::win32 {

// A path text in an edit, kept exactly as typed, with a browse button over its right end,
// suggestions of existing paths while typing, and dropped files taken in. Every change of the text
// goes into the bound value, and every change of the value shows here. A line break that a paste
// brings in cuts the text just before it.
class FileNameField : public Field {
 public:
  FileNameField(job::TextValue& value, const job::PathRules& rules, const form::Control& row,
                HWND parent, const Rect& box, HFONT font, int dpi);

  void Command(HWND from, WORD code) override;
  // The browse button's picture made again for a screen of `dpi` dots per inch.
  void SetPicture(int dpi);

  // The browse dialog, as the button and Alt+Down run it: it starts in the folder of the text's
  // file name (or where the previous use left it), and a confirmed choice becomes the text.
  void Browse();

 protected:
  LRESULT Message(HWND control, UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void ShowValue();
  void TakeText();
  void TakeDrop(HDROP drop);

  job::TextValue& value_;
  job::FileNameEdit edit_;
  form::FileDialog dialog_;
  std::string_view picture_;
  HWND browse_ = nullptr;
  bool suggesting_ = false;  // the shell's suggestion list is on
};

}  // namespace korvu::app::win32
