#include "settings_damage.h"

#include "kit/printable.h"

#include <QDir>

#include <algorithm>

namespace zavok {

const QString SettingsDamage::kRecord = QStringLiteral("Settings damaged at");

namespace {

// A file of random bytes is damaged on every line; the first few say what happened, and the line stays readable.
constexpr qsizetype kMostLinesTold = 8;
constexpr qsizetype kMostCharactersShown = 40;

QString quoted(const QString& text) {
    return u'"' + kit::printable(text, kMostCharactersShown) + u'"';
}

} // namespace

SettingsDamage::File& SettingsDamage::file(const QString& name) {
    for (File& f : files_) {
        if (f.name == name) {
            return f;
        }
    }
    files_.append({name, 0, {}});
    return files_.last();
}

void SettingsDamage::notAsWritten(const QString& name, int line) {
    file(name).notAsWrittenFrom = line;
}

void SettingsDamage::damagedLine(const QString& name, int line, const QString& found, const QString& done) {
    file(name).lines.append({line, found, done});
}

void SettingsDamage::readAs(const QString& name, int line, const QString& found, const QString& used) {
    damagedLine(name, line, found, QStringLiteral("read as ") + quoted(used));
}

QString SettingsDamage::told(const QString& directory) const {
    QStringList files;
    for (const File& f : files_) {
        QStringList parts{kit::printable(QDir(directory).filePath(f.name))};
        if (f.notAsWrittenFrom != 0) {
            parts.first() += QStringLiteral(" is not as ZAVOK writes it from line %1 on").arg(f.notAsWrittenFrom);
        }
        QList<Line> lines = f.lines;
        std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) { return a.number < b.number; });
        for (const Line& l : lines.first(std::min(lines.size(), kMostLinesTold))) {
            parts.append(QStringLiteral("line %1 %2 %3").arg(l.number).arg(quoted(l.found), l.done));
        }
        const qsizetype more = lines.size() - kMostLinesTold;
        if (more > 0) {
            parts.append(more == 1 ? QStringLiteral("1 more damaged line")
                                   : QStringLiteral("%1 more damaged lines").arg(more));
        }
        files.append(parts.join(QStringLiteral(", ")));
    }
    return QStringLiteral("zavok: damaged settings, read so that no alarm is lost: ") +
           files.join(QStringLiteral("; "));
}

} // namespace zavok
