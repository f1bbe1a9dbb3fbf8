#include "poll_cycle.h"

#include "kit/numbers.h"

namespace zavok {

namespace {

// The port reading as the tick takes it back from Text9. A byte is all the port can give; anything else (a
// faulty port library) reads as 0, which changes no alert, rather than failing the conversion.
quint8 portByte(const QString& text) {
    const qint64 value = kit::roundHalfEven(kit::prefixValue(text), -1, 256);
    return value >= 0 && value <= 255 ? quint8(value) : quint8(0);
}

// A trigger label's text: a bit is 0 or 1, whose texts are literals rather than numbers formatted at every tick.
QString bitText(std::optional<int> bit) {
    if (!bit) {
        return {};
    }
    return *bit == 0 ? QStringLiteral("0") : *bit == 1 ? QStringLiteral("1") : QString::number(*bit);
}

} // namespace

PollCycle::PollCycle(MainForm& form, const TimerForm& timing, kit::GamePort& port, const kit::Joysticks& joysticks,
                     const kit::Clock& clock, const QLocale& locale, kit::ClockTexts& clockTexts, AlertBits& bits,
                     const AlertState& alerts, Trouble& trouble, const ActivityLog& log)
    : form_(form)
    , timing_(timing)
    , port_(port)
    , joysticks_(joysticks)
    , clock_(clock)
    , locale_(locale)
    , clockTexts_(clockTexts)
    , bits_(bits)
    , alerts_(alerts)
    , trouble_(trouble)
    , log_(log) {
    form_.Timer1.onTick = [this] { tick(); };
}

void PollCycle::tick() {
    ++ticks_;
    // The texts change seldom; parsed at every tick they would cost more than the rest of a quiet tick.
    form_.Timer1.setInterval(period_.of(timing_.secs.at(0)->text(), kit::samplingPeriod));
    portvalue_ = port_.Inzavok(kGamePort);
    form_.Text9.setText(portvalueText_.of(portvalue_));
    kit::refresh(clockTexts_, clock_, locale_);
    // After the clock, so that a fault's record carries this tick's time.
    // The joysticks count too: a channel holds while its joystick is in trouble, and that must not pass unsaid
    // where the contacts come from another source.
    QString fault = port_.fault();
    for (int id = 0; id < 2 && fault.isEmpty(); ++id) {
        fault = joysticks_.fault(id);
    }
    trouble_.follow(fault);

    portbyte_ = portText_.of(form_.Text9.text(), portByte);
    // A reading of 0 keeps the bits as they were: an unset bit stays unset.
    if (portbyte_ != 0) {
        for (int k = 0; k < 8; ++k) {
            bits_.set(k, (portbyte_ >> k) & 1);
        }
    }
    // Each write that changes a trigger label runs that alert's handler before the next write.
    for (int n = 1; n <= 4; ++n) {
        form_.trigger.at(n - 1)->setText(bitText(bits_.bit(n + 3)));
    }

    bool ring = false;
    for (int n = 1; n <= 4; ++n) {
        ring = ring || (alerts_.isCircuitEnabled(n) && bits_.isActive(n));
    }
    form_.Timer2.setEnabled(ring);
    // So that they do not wait for the next event once the disk takes them again.
    log_.writeWaiting();
}

} // namespace zavok
