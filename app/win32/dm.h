#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace korvu::app::win32 {

// The data module: the processor count read once at start-up and the two settings-file dialogs,
// each offering the file last confirmed in it.
class TDM {
 public:
  explicit TDM(int processor_count) : processor_count_(processor_count) {}

  int ProcessorCount() const { return processor_count_; }

  // Shows "Load settings" (the file must exist) or "Save settings" (replacing a file asks first)
  // over `owner` and returns the full name confirmed; nothing when the user cancels.
  std::optional<std::string> ChooseLoad(HWND owner);
  std::optional<std::string> ChooseSave(HWND owner);

 private:
  int processor_count_;
  std::string open_name_;
  std::string save_name_;
};

}  // namespace korvu::app::win32
