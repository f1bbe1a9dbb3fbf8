#include "announced_configs.h"

#include "kit/printable.h"
#include "kit/regular_files.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <variant>

namespace zavok::mqtt {

const QString AnnouncedConfigs::kFileName = QStringLiteral("mqtt-announced.txt");

namespace {

// Thousands of configs; far more than the program announces.
constexpr qint64 kMostBytes = qint64(256) * 1024;

// Only a config topic of this program's own is ever taken back: a file edited by hand or by another program must not
// make it wipe another device's entities.
bool isOwnConfig(const QString& topic) {
    static const QRegularExpression kOwn(
        QStringLiteral("^[^+#\\x00-\\x1f]+/[a-z_]+/zavok_[a-z0-9_-]+/[a-z0-9_]+/config$"));
    return kOwn.match(topic).hasMatch();
}

} // namespace

AnnouncedConfigs::AnnouncedConfigs(const SettingsFiles& files, kit::FaultSink tell)
    : files_(files)
    , tell_(std::move(tell)) {}

void AnnouncedConfigs::read() {
    read_ = true;
    written_ = true;
    const QString path = files_.path(kFileName);
    if (!QFileInfo::exists(path)) {
        return;
    }
    const auto damaged = [this, &path](const QString& why) {
        remembered_.clear();
        written_ = false;
        tell_(QStringLiteral("zavok: cannot read %1 (%2); it is taken as no Home Assistant config announced before, so "
                             "an entity of an earlier site name or discovery prefix may stay in Home Assistant until "
                             "it is deleted there")
                  .arg(kit::printable(path), why));
    };
    const auto file = kit::readSmallFile(path, kMostBytes);
    if (const auto* why = std::get_if<QString>(&file)) {
        damaged(*why);
        return;
    }
    for (const QByteArray& line : std::get<kit::SmallFile>(file).content.split('\n')) {
        const QString topic = QString::fromUtf8(line);
        if (topic.isEmpty()) {
            continue;
        }
        if (!isOwnConfig(topic) || topic.toUtf8() != line) {
            damaged(QStringLiteral("'%1' is no discovery topic of ZAVOK's").arg(kit::printable(topic)));
            return;
        }
        remembered_.insert(topic);
    }
}

void AnnouncedConfigs::replace(const std::set<QString>& now, const std::function<int(const QString& topic)>& withdraw) {
    if (!read_) {
        read();
    }
    now_ = now;
    // At every connection anew, for whatever a connection lost before had not yet delivered.
    for (const QString& topic : remembered_) {
        if (!now.contains(topic)) {
            withdrawing_[withdraw(topic)] = topic;
        }
    }
    const std::size_t before = remembered_.size();
    remembered_.insert(now.begin(), now.end());
    if (remembered_.size() != before || !written_) {
        write();
    }
}

void AnnouncedConfigs::delivered(int id) {
    const auto found = withdrawing_.find(id);
    if (found == withdrawing_.end()) {
        return;
    }
    const QString topic = found->second;
    std::erase_if(withdrawing_, [&topic](const auto& message) { return message.second == topic; });
    if (!now_.contains(topic) && remembered_.erase(topic) > 0) {
        write();
    }
}

void AnnouncedConfigs::write() {
    QByteArray content;
    for (const QString& topic : remembered_) {
        content += topic.toUtf8() + '\n';
    }
    written_ = files_.write(kFileName, content);
    if (written_) {
        toldWrite_ = false;
    } else if (!toldWrite_) {
        toldWrite_ = true;
        tell_(QStringLiteral("zavok: cannot write %1; a later run with another site name or discovery off may leave "
                             "these Home Assistant entities behind")
                  .arg(kit::printable(files_.path(kFileName))));
    }
}

} // namespace zavok::mqtt
