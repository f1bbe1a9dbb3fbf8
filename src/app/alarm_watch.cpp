#include "alarm_watch.h"

#include "app/zavok.h"

#include <QPointer>

#include <algorithm>

namespace zavok {

const QString AlarmWatch::kQuiet = QStringLiteral("All quiet");

namespace {

bool isTold(RecordKind kind) {
    switch (kind) {
    case RecordKind::AlertActivated:
    case RecordKind::ZoneLowAlarm:
    case RecordKind::ZoneHighAlarm:
    case RecordKind::ZoneLowCalError:
    case RecordKind::ZoneHighCalError:
    case RecordKind::InputFault:
    case RecordKind::InputRestored:
        return true;
    default:
        return false;
    }
}

} // namespace

AlarmWatch::AlarmWatch(Zavok& core) : core_(core) {
    // The log keeps its observers as long as it lives, and its closing record may come after this watch is gone.
    core_.log.observe([self = QPointer<AlarmWatch>(this)](const ActivityLog::Record& record) {
        if (self != nullptr) {
            self->heard(record);
        }
    });
    // A circuit switched off takes its alert out of the alarms without a record; a renamed one renames its line. The
    // poll tick settles the fault's reason, which may change while the fault lasts.
    for (const auto& labels : {core_.zavok->enable, core_.zavok->clabel}) {
        for (const kit::Label* control : labels) {
            connect(control, &kit::Control::changed, this, &AlarmWatch::look);
        }
    }
    connect(&core_.zavok->Timer1, &kit::Timer::ticked, this, &AlarmWatch::look);
    look();
}

void AlarmWatch::heard(const ActivityLog::Record& record) {
    // A record is made once its subsystem has taken the new state, so the state is read first.
    look();
    const RecordFacts& facts = record.facts;
    if (!isTold(facts.kind)) {
        return;
    }
    News news{record.message + u' ' + record.time, {}, facts, facts.kind != RecordKind::InputRestored};
    if (facts.isAlert()) {
        news.detail = core_.zavok->clabel.at(facts.subject - 1)->text();
    } else if (facts.kind == RecordKind::InputFault) {
        news.detail = core_.alerts->trouble.reason();
    }
    emit told(news);
}

void AlarmWatch::look() {
    QStringList alarms;
    for (int n = 1; n <= 4; ++n) {
        if (core_.alerts->state.isCircuitEnabled(n) && core_.alerts->state.isActive(n)) {
            alarms << QStringLiteral("Alert #%1 active: %2").arg(n).arg(core_.zavok->clabel.at(n - 1)->text());
        }
    }
    for (int k = 1; k <= 4; ++k) {
        if (const auto zone = core_.meters->zones.state(k); zone && *zone != zone::State::Normal) {
            alarms << core_.channel(k).fname.text() + u' ' + zone::words(*zone);
        }
    }
    const Trouble& trouble = core_.alerts->trouble;
    State state = alarms.isEmpty() ? State::Quiet : State::Alarm;
    if (trouble.isOn()) {
        alarms << QStringLiteral("Input fault: ") + trouble.reason();
        state = std::max(state, State::Fault);
    }
    if (alarms.isEmpty()) {
        alarms << kQuiet;
    }
    if (state == state_ && alarms == standing_) {
        return;
    }
    state_ = state;
    standing_ = alarms;
    emit changed();
}

} // namespace zavok
