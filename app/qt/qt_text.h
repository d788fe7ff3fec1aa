#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace korvu::app {

// The job keeps its texts as the system's bytes, which on the systems Qt runs on here are UTF-8;
// every text crosses between the job and Qt through these two.
inline QString ToQt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string FromQt(const QString& text) {
  return text.toStdString();
}

}  // namespace korvu::app
