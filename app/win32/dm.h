#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/form/main_form_view.h"

namespace korvu::app::win32 {

// The data module: the processor count read once at start-up and the two settings-file dialogs,
// owned by the window and each offering the file last confirmed in it.
class TDM : public form::DataModule {
 public:
  TDM(int processor_count, HWND dialog_owner)
      : processor_count_(processor_count), dialog_owner_(dialog_owner) {}

  int ProcessorCount() const override { return processor_count_; }
  std::optional<std::string> ChooseLoad() override;
  std::optional<std::string> ChooseSave() override;

 private:
  int processor_count_;
  HWND dialog_owner_;
  std::string open_name_;
  std::string save_name_;
};

}  // namespace korvu::app::win32
