#include "app/form/guard.h"

#include <exception>
#include <iostream>
#include <utility>

namespace korvu::app {
namespace {

ErrorReport& TheReport() {
  static ErrorReport report = [](const std::string& message) { std::cerr << message << '\n'; };
  return report;
}

}  // namespace

void Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    Report(error.what());
  } catch (...) {
    Report("Unknown error");
  }
}

void Report(std::string_view message) {
  TheReport()(std::string(message));
}

void SetErrorReport(ErrorReport report) {
  TheReport() = std::move(report);
}

}  // namespace korvu::app
