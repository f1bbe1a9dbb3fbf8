#include "record_facts.h"

#include <array>
#include <utility>

namespace zavok {

namespace {

const std::array<std::pair<RecordKind, QString>, 12>& names() {
    static const std::array<std::pair<RecordKind, QString>, 12> table{{
        {RecordKind::Started, QStringLiteral("started")},
        {RecordKind::Closed, QStringLiteral("closed")},
        {RecordKind::SettingsDamaged, QStringLiteral("settings damaged")},
        {RecordKind::AlertActivated, QStringLiteral("alert activated")},
        {RecordKind::AlertDeactivated, QStringLiteral("alert deactivated")},
        {RecordKind::ZoneNormal, QStringLiteral("zone normal")},
        {RecordKind::ZoneLowAlarm, QStringLiteral("zone low alarm")},
        {RecordKind::ZoneHighAlarm, QStringLiteral("zone high alarm")},
        {RecordKind::ZoneLowCalError, QStringLiteral("zone low calibration error")},
        {RecordKind::ZoneHighCalError, QStringLiteral("zone high calibration error")},
        {RecordKind::InputFault, QStringLiteral("input fault")},
        {RecordKind::InputRestored, QStringLiteral("input restored")},
    }};
    return table;
}

} // namespace

QString storedName(RecordKind kind) {
    for (const auto& [k, name] : names()) {
        if (k == kind) {
            return name;
        }
    }
    return {};
}

std::optional<RecordKind> kindNamed(const QString& name) {
    for (const auto& [k, n] : names()) {
        if (n == name) {
            return k;
        }
    }
    return std::nullopt;
}

} // namespace zavok
