#pragma once

#include <string>

#include "job/error.h"

namespace korvu::job {

// The message the user reads for an input/output result code, without a closing full stop (the
// error report adds it): "Dateizugriff verweigert" for 5, "E/A-Fehler 112" for 112, and so on.
std::string InOutMessage(int code);

// A failed input/output operation, carrying its code.
class InOutError : public Error {
 public:
  explicit InOutError(int code) : Error(InOutMessage(code)), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

}  // namespace korvu::job
