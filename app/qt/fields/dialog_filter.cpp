#include "app/qt/fields/dialog_filter.h"

#include <QRegularExpression>

#include "app/form/window_description.h"

namespace korvu::app {
namespace {

QStringList Patterns(const QString& list) {
  static const QRegularExpression separators(QStringLiteral("[;, ]+"));
  return list.split(separators, Qt::SkipEmptyParts);
}

// The description without a trailing "(patterns)" that repeats `patterns`.
QString PlainDescription(QString description, const QStringList& patterns) {
  description = description.trimmed();
  const qsizetype open = description.lastIndexOf(u'(');
  if (open < 0 || !description.endsWith(u')')) return description;
  const QString listed = description.mid(open + 1, description.size() - open - 2);
  return Patterns(listed) == patterns ? description.left(open).trimmed() : description;
}

QString QtPatterns(QStringList patterns) {
  for (QString& pattern : patterns)
    if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
  return patterns.join(u' ');
}

}  // namespace

QStringList DialogNameFilters(const QString& filter) {
  const QStringList parts = (filter.isEmpty() ? QString::fromUtf8(form::kAllFilesFilter.data(),
                                                                  form::kAllFilesFilter.size())
                                              : filter)
                                .split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QStringList patterns = Patterns(parts[i + 1]);
    const QString description = PlainDescription(parts[i], patterns);
    const QString listed = QStringLiteral("(%1)").arg(QtPatterns(patterns));
    filters << (description.isEmpty() ? listed : description + u' ' + listed);
  }
  return filters;
}

}  // namespace korvu::app
