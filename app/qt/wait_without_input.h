#pragma once

#include <functional>

namespace korvu::app {

// Runs `work` on a thread of its own and returns its result. Meanwhile this thread's event loop
// goes on without user input: the windows keep painting and answering the window manager (so no
// desktop marks the program as hung), but no key or mouse event reaches a handler until the work
// is done; input made meanwhile comes afterwards.
int WaitWithoutInput(const std::function<int()>& work);

}  // namespace korvu::app
