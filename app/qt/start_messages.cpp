#include "app/qt/start_messages.h"

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace korvu::app {
namespace {

// A message and where it came from; the context's texts are the toolkit's literals, which outlive
// the hold.
struct Held {
  QtMsgType type;
  const char* file;
  int line;
  const char* function;
  const char* category;
  QString text;

  void Output(bool formatted_to_stderr) const {
    const QMessageLogContext context(file, line, function, category);
    if (formatted_to_stderr)
      std::fputs(qPrintable(qFormatLogMessage(type, context, text) + '\n'), stderr);
    else
      qt_message_output(type, context, text);
  }
};

std::string failure;
std::vector<Held> held;

void Hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  // Qt's words when no window system could be started, whatever the reason it gave before.
  if (type == QtFatalMsg && text.contains(QStringLiteral("no Qt platform plugin could be"))) {
    std::fputs(failure.c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(1);
  }
  held.push_back({type, context.file, context.line, context.function, context.category, text});
  if (type == QtFatalMsg) {  // any other abort keeps its whole story
    for (const Held& message : held) message.Output(true);
  }
}

}  // namespace

HeldStartMessages::HeldStartMessages(std::string failure_line) {
  failure = std::move(failure_line);
  previous_ = qInstallMessageHandler(Hold);
}

HeldStartMessages::~HeldStartMessages() {
  qInstallMessageHandler(previous_);
  for (const Held& message : held) message.Output(false);
  held.clear();
}

}  // namespace korvu::app
