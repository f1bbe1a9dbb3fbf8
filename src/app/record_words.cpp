#include "record_words.h"

#include "alerts/alert_state.h"
#include "alerts/trouble.h"
#include "app/settings_damage.h"
#include "log/activity_log.h"
#include "meters/zone_texts.h"

namespace zavok {

std::optional<RecordFacts> factsOfWords(const QString& message) {
    const std::pair<const QString*, RecordKind> fixed[] = {
        {&ActivityLog::kStarted, RecordKind::Started},           {&ActivityLog::kClosed, RecordKind::Closed},
        {&SettingsDamage::kRecord, RecordKind::SettingsDamaged}, {&Trouble::kBegan, RecordKind::InputFault},
        {&Trouble::kEnded, RecordKind::InputRestored},
    };
    for (const auto& [words, kind] : fixed) {
        if (message == *words) {
            return RecordFacts{kind};
        }
    }
    if (const auto alert = AlertState::factsOf(message)) {
        return alert;
    }
    if (const auto state = zone::recordedState(message)) {
        return RecordFacts{zone::recordKind(*state)};
    }
    return std::nullopt;
}

} // namespace zavok
