#include "alarm_limits.h"

#include "channels/meter_range.h"
#include "kit/numbers.h"

namespace zavok {

namespace {

const QString kLowOffMeter = QStringLiteral("Please enter a value for LOW ALARM between ");
const QString kHighOffMeter = QStringLiteral("Please enter a value for HIGH ALARM between ");
const QString kOutOfOrder = QStringLiteral("High Alarm should be greater than Low Alarm");

} // namespace

AlarmLimits::AlarmLimits(ChannelForm& form, const MainForm& main, kit::Dialogs& dialogs)
    : form_(form)
    , main_(main)
    , dialogs_(dialogs) {
    form.changealarm.onClick = [this] { change(); };
    form.setcom.onClick = [this] { set(); };
    form.setclosecom.onClick = [this] { close(); };
}

// Viewing to Editing.
void AlarmLimits::change() {
    form_.setcom.setEnabled(true);
    form_.setcom.setVisible(true);
    form_.changealarm.setEnabled(false);
    form_.changealarm.setVisible(false);
    form_.setnewlowt.setEnabled(true);
    form_.setnewhight.setEnabled(true);
    form_.setnewlowt.setLocked(false);
    form_.setnewhight.setLocked(false);
    form_.setnewlowt.setFocus();
    form_.setclosecom.setEnabled(false);
}

bool AlarmLimits::onMeter(const QString& limit) const {
    const int n = form_.channel() - 1;
    const double value = kit::prefixValue(limit);
    return kit::isNumericText(limit) && value >= kit::prefixValue(main_.mzero.at(n)->text()) &&
           value <= kit::prefixValue(main_.mfsd.at(n)->text());
}

void AlarmLimits::set() {
    const QString low = form_.setnewlowt.text();
    const QString high = form_.setnewhight.text();
    // Checked in the order low, high, order, and only the first failure is told. Every check comes before the
    // limits are written: ticks go on while a message box waits, and none may see a refused pair.
    if (!onMeter(low)) {
        refuse(kLowOffMeter % channel::meterRange(main_, form_.channel()));
        return;
    }
    if (!onMeter(high)) {
        refuse(kHighOffMeter % channel::meterRange(main_, form_.channel()));
        return;
    }
    if (!(kit::prefixValue(low) < kit::prefixValue(high))) {
        refuse(kOutOfOrder);
        return;
    }
    form_.setlowl.setText(low);
    form_.sethighl.setText(high);
    view(true);
}

void AlarmLimits::refuse(const QString& message) {
    dialogs_.message(kit::kLoudCautionTitle, message);
    form_.raise();
    form_.setnewlowt.setText({});
    form_.setnewhight.setText({});
    change();
}

void AlarmLimits::focusChange() {
    if (form_.changealarm.isVisible()) {
        form_.changealarm.setFocus();
    } else {
        form_.setnewlowt.setFocus();
    }
}

// Usable once after each accepted entry.
void AlarmLimits::close() {
    form_.setclosecom.setEnabled(false);
    form_.hide();
}

void AlarmLimits::abandon() {
    view(false);
}

// Back to Viewing: the entry boxes emptied and shut, CHANGE in SET's place. CLOSE serves only after an accepted
// entry.
void AlarmLimits::view(bool closable) {
    form_.setnewlowt.setText({});
    form_.setnewhight.setText({});
    form_.setnewlowt.setEnabled(false);
    form_.setnewhight.setEnabled(false);
    form_.setnewlowt.setLocked(true);
    form_.setnewhight.setLocked(true);
    form_.setcom.setEnabled(false);
    form_.setcom.setVisible(false);
    form_.changealarm.setEnabled(true);
    form_.changealarm.setVisible(true);
    form_.setclosecom.setEnabled(closable);
}

} // namespace zavok
