#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "app/form/guard.h"
#include "app/form/window_description.h"
#include "app/win32/dm.h"
#include "app/win32/main_form.h"
#include "job/job.h"
#include "platform/file_system.h"
#include "tests/support/fake_registry.h"

namespace korvu::app::win32 {

inline std::string Text(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

inline std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

inline HFONT FontOf(HWND control) {
  return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
}

// Korvu.exe's window in the test's own process, shown without taking the focus, with a registry
// of the test's and every error a failure of the test.
class Win32WindowTest : public testing::Test {
 public:
  // Control ids are the rows of the description from 100 on.
  static constexpr int kFirstId = 100;

 protected:
  Win32WindowTest() {
    SetErrorReport([](const std::string& message) { ADD_FAILURE() << message; });
    dm_.emplace(2, form_.Handle());
    form_.SetDataModule(*dm_);
    ShowWindow(form_.Handle(), SW_SHOWNOACTIVATE);
  }
  ~Win32WindowTest() override { SetErrorReport({}); }

  HWND Control(std::string_view name) const {
    return GetDlgItem(form_.Handle(),
                      kFirstId + static_cast<int>(&form::ControlNamed(name) - form::kControls));
  }

  test::FakeRegistry registry_;
  job::PathRules rules_{job::PathStyle::kWindows, platform::RealFileSystem()};
  job::Job job_{rules_};
  TMainForm form_{job_, {registry_, "C:\\korvu-window\\Korvu.exe", {}}};
  std::optional<TDM> dm_;
};

}  // namespace korvu::app::win32
