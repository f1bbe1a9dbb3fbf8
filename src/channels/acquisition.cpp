#include "acquisition.h"

#include "channels/meter_range.h"
#include "forms/channel_state.h"
#include "kit/numbers.h"

#include <QDir>

#include <cmath>
#include <numeric>

namespace zavok {

namespace {

const QString kHint = QStringLiteral("TYPE VALUE BETWEEN ");

// The bars run from their rest width over these spans as the value goes from the meter's low value to its full
// scale.
constexpr double kBarSpan = 6000;
constexpr double kMeterBarSpan = 2000;

} // namespace

QString Acquisition::sampleFileName(int channel) {
    // Channels 1 and 2 are joystick 1's X and Y, channels 3 and 4 joystick 2's.
    return QStringView(channel % 2 == 1 ? u"x" : u"y") % QString::number((channel + 1) / 2) %
           QStringLiteral("values.zvk");
}

Acquisition::Acquisition(ChannelForm& form, MainForm& main, const TimerForm& timing, kit::Joysticks& joysticks,
                         ChannelSwitch& channelSwitch, const QString& dataDirectory)
    : form_(form)
    , main_(main)
    , value_(*main.value.at(form.channel() - 1))
    , pic_(*main.pic.at(form.channel() - 1))
    , mzero_(*main.mzero.at(form.channel() - 1))
    , mfsd_(*main.mfsd.at(form.channel() - 1))
    , secs_(*timing.secs.at(form.channel()))
    , joysticks_(joysticks)
    , switch_(channelSwitch)
    , joystick_((form.channel() - 1) / 2)
    , xAxis_(form.channel() % 2 == 1)
    , file_(QDir(dataDirectory).filePath(sampleFileName(form.channel()))) {
    form.Timer1.onTick = [this] { tick(); };
    channelSwitch.onSwitchedOff = [this] { reading_.reset(); };
}

// Inline: a tick reads 101 times, and the call around one virtual read cost a tenth of the tick's own work.
inline quint32 Acquisition::read() {
    // The result code tells nothing useful: an absent joystick leaves the record as it was, and a burst of zeros
    // is how a missing input shows.
    joysticks_.joyGetPos(joystick_, position_);
    return xAxis_ ? position_.wXpos : position_.wYpos;
}

void Acquisition::tick() {
    // Set on every tick, so a new sampling time takes effect from the next period.
    form_.Timer1.setInterval(period_.of(secs_.text(), kit::samplingPeriod));
    showHint();

    const quint32 first = read();
    for (quint32& reading : burst_) {
        reading = read();
    }
    // A joystick in trouble reads 0, which is not the sensor's reading: the channel stays on and holds what it
    // showed, and reads again by itself at the first tick after the source is sound. The trouble is the poll
    // cycle's to tell.
    if (!joysticks_.fault(joystick_).isEmpty()) {
        return;
    }

    const QString& single = firstText_.of(first);
    form_.Text1.setText(single);
    // While a calibration step waits in AUTO mode, its ONLINE box follows the live reading.
    if (form_.auto_.isVisible() && form_.calsetzerocom.isEnabled()) {
        form_.calzerot.setText(single);
    }
    if (form_.auto_.isVisible() && form_.calsetfsdcom.isEnabled()) {
        form_.calfsdt.setText(single);
    }

    // A sample file that cannot be written or read back (no data directory, a full disk) must not stop the
    // channel: the burst just read is the same block.
    const SampleFile::Block& readings = file_.passThrough(burst_, block_) ? block_ : burst_;
    const quint64 sum = std::accumulate(readings.begin(), readings.end(), quint64(0));
    if (sum == 0) {
        switch_.switchOff(ChannelSwitch::kNoInput);
        return;
    }

    const double average = double(sum) / SampleFile::kReadings;
    if (held_ == 0 || std::abs(average - held_) >= kDeadband) {
        held_ = average;
    }
    form_.Text5.setText(heldText_.of(held_));

    const double calibrationZero = calibrationZero_.of(form_.calzvall.text(), kit::prefixValue);
    const double x = shownHeld_.of(form_.Text5.text(), kit::prefixValue) - calibrationZero;
    const double zero = zero_.of(mzero_.text(), kit::prefixValue);
    const double span = fullScale_.of(mfsd_.text(), kit::prefixValue) - zero;
    const double calibrationSpan = calibrationFull_.of(form_.calfvall.text(), kit::prefixValue) - calibrationZero;
    if (calibrationSpan < span) {
        // Fewer raw counts than meter units: the reading cannot be shown, so the window comes up to be calibrated.
        form_.show();
        return;
    }
    // The quotient first, then the product, saturated to the 16 bits a scaled reading has.
    const qint16 y = kit::toInt16(x * (span / calibrationSpan));
    // Kept before the zone shows it, so that whoever watches the value finds the number already there.
    reading_ = zero + y;
    value_.setText(valueText_.of(*reading_));
    setBars(y / span);
}

void Acquisition::showHint() {
    // The hint quotes the meter's range, which changes only when the meter is set up again.
    if (!hintRange_ || hintRange_->first != mzero_.text() || hintRange_->second != mfsd_.text()) {
        hintRange_.emplace(mzero_.text(), mfsd_.text());
        form_.Label1.setText(kHint % channel::meterRange(main_, form_.channel()));
    }
}

void Acquisition::setBars(double fraction) {
    // NaN (a meter span of 0) rests the bars like a value below the meter.
    if (!(fraction >= 0)) {
        form_.Picture1.setWidth(channel::kRestBar);
        pic_.setWidth(channel::kRestMeterBar);
    } else if (fraction > 1) {
        form_.Picture1.setWidth(float(channel::kRestBar + kBarSpan));
        pic_.setWidth(float(channel::kRestMeterBar + kMeterBarSpan));
    } else {
        form_.Picture1.setWidth(float(channel::kRestBar + kBarSpan * fraction));
        pic_.setWidth(float(channel::kRestMeterBar + kMeterBarSpan * fraction));
    }
}

} // namespace zavok
