#pragma once

#include <string>

#include "app/win32/controls.h"
#include "app/win32/fields/field.h"

namespace korvu::app::win32 {

// The encoder's command line: a read-only multi-line edit in the tool-tip colours that wraps
// without scroll bars. Ctrl+A selects it all and Ctrl+C copies the selection, which a read-only
// multi-line edit does not do by itself everywhere. Tab goes on to the next control.
class PreviewBox : public Field {
 public:
  PreviewBox(HWND parent, const Rect& box, HFONT font);

  // Rewriting the same text would drop the user's selection in it.
  void Show(const std::string& text);

 protected:
  LRESULT Message(HWND control, UINT message, WPARAM wparam, LPARAM lparam) override;
};

}  // namespace korvu::app::win32
