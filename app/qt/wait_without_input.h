#pragma once

#include <functional>

namespace korvu::app {

// Runs `work` on a thread of its own and returns its result. Meanwhile this thread's event loop
// goes on: the windows keep painting and answering the window manager (so no desktop marks the
// program as hung). Key and mouse input made meanwhile is dropped, not kept for later: a key typed
// into the waiting window must not land in a field once the work is done.
int WaitWithoutInput(const std::function<int()>& work);

}  // namespace korvu::app
