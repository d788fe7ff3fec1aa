#include "app/guard.h"

#include <exception>
#include <iostream>
#include <utility>

namespace korvu::app {
namespace {

ErrorReport& Report() {
  static ErrorReport report = [](const std::string& message) { std::cerr << message << '\n'; };
  return report;
}

}  // namespace

void Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    Report()(error.what());
  } catch (...) {
    Report()("Unknown error");
  }
}

void SetErrorReport(ErrorReport report) {
  Report() = std::move(report);
}

}  // namespace korvu::app
