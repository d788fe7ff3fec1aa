#include "app/win32/dm.h"

#include "app/form/window_description.h"
#include "app/win32/file_dialog.h"

namespace korvu::app::win32 {
namespace {

std::optional<std::string> Choose(HWND owner, std::string_view title, form::DialogKind kind,
                                  std::string& last_name) {
  form::FileDialog dialog = form::kSettingsDialog;
  dialog.kind = kind;
  const bool load = kind == form::DialogKind::kOpen;
  auto chosen = ChooseFile(
      owner, {.title = title,
              .dialog = dialog,
              .folder = {},
              .name = last_name.empty() ? std::string(form::kSettingsOfferedFirst) : last_name,
              .must_exist = load,
              .ask_before_replacing = !load});
  if (chosen) last_name = *chosen;
  return chosen;
}

}  // namespace

std::optional<std::string> TDM::ChooseLoad() {
  return Choose(dialog_owner_, form::kLoadSettingsTitle, form::DialogKind::kOpen, open_name_);
}

std::optional<std::string> TDM::ChooseSave() {
  return Choose(dialog_owner_, form::kSaveSettingsTitle, form::DialogKind::kSave, save_name_);
}

}  // namespace korvu::app::win32
