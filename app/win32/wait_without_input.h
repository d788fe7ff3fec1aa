#pragma once

#include <windows.h>

#include <functional>

#include "app/form/main_form_view.h"

namespace korvu::app::win32 {

// Runs `work` (a wait for a console) while `window` keeps painting and answering the system but
// takes no input: `work` calls the pump it is given whenever messages arrive, and the pump drops
// the keys and clicks meant for the window and hands everything else on. A quit asked for meanwhile
// is asked for again afterwards, for the main loop.
int WaitWithoutInput(HWND window,
                     const std::function<int(const form::WindowPlatform::Pump&)>& work);

}  // namespace korvu::app::win32
