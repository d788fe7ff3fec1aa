#pragma once

#include <chrono>
#include <functional>

namespace korvu::test {

// Polls `done` until it holds or `timeout` has passed; returns its last answer. Keeps tests free
// of fixed sleeps.
bool WaitFor(const std::function<bool()>& done,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace korvu::test
