#pragma once

#include "log/activity_log.h"

#include <QObject>
#include <QStringList>

namespace zavok {

class Zavok;

// What a person away from the window must learn of the program: whether all is quiet, an alarm stands (an alert on
// an enabled circuit, a zone in alarm or calibration error) or the inputs are blind, and each record that should
// reach them at once. It takes the records' facts and the subsystems' state, never their words, and changes nothing.
class AlarmWatch final : public QObject {
    Q_OBJECT

public:
    // An alarm outranks a fault: it calls for someone to go and look, and the fault is still listed beside it.
    enum class State { Quiet, Fault, Alarm };

    // A record to tell at once: its own words with its time, what the words leave out (the circuit's name, the
    // fault's reason), and whether it calls for someone.
    struct News {
        QString text;
        QString detail;
        RecordFacts facts;
        bool urgent = true;
    };

    static const QString kQuiet;

    // Made once the core has started up, so that its subsystems exist.
    explicit AlarmWatch(Zavok& core);

    State state() const { return state_; }
    // One line for each alarm that stands and for the fault, or kQuiet.
    const QStringList& standing() const { return standing_; }

signals:
    // The state or one of the standing lines changed.
    void changed();
    void told(const zavok::AlarmWatch::News& news);

private:
    void heard(const ActivityLog::Record& record);
    void look();

    Zavok& core_;
    State state_ = State::Quiet;
    QStringList standing_{kQuiet};
};

} // namespace zavok
