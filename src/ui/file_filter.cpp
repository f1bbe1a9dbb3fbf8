#include "file_filter.h"

#include <QRegularExpression>

namespace zavok::ui {

namespace {

// Qt reads the patterns from the last parenthesised group, so one already in the description is replaced.
QString bareDescription(const QString& description) {
    static const QRegularExpression trailingGroup(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    return QString(description).remove(trailingGroup).trimmed();
}

QString qtPatterns(const QString& patterns) {
    QStringList list;
    for (const QString& pattern : patterns.split(u';', Qt::SkipEmptyParts)) {
        const QString p = pattern.trimmed();
        if (!p.isEmpty()) {
            list.append(p == QStringLiteral("*.*") ? QStringLiteral("*") : p);
        }
    }
    return list.isEmpty() ? QStringLiteral("*") : list.join(u' ');
}

} // namespace

QStringList toQtFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = bareDescription(parts.at(i));
        const QString pattern = parts.value(i + 1);
        if (description.isEmpty() && pattern.isEmpty()) {
            continue; // what follows the last separator
        }
        const QString patterns = qtPatterns(pattern);
        filters.append((description.isEmpty() ? patterns : description) + QStringLiteral(" (") + patterns + u')');
    }
    return filters;
}

} // namespace zavok::ui
