#pragma once

#include "channels/channel_switch.h"
#include "channels/sample_file.h"
#include "forms/channel_form.h"
#include "forms/main_form.h"
#include "forms/timer_form.h"
#include "kit/inputs.h"
#include "kit/numbers.h"

#include <optional>
#include <utility>

namespace zavok {

// The channel tick: a burst of readings of the channel's joystick axis, passed through its sample file,
// averaged, held against small changes, scaled through the calibration onto the meter, and handed to the zone.
class Acquisition {
public:
    // Changes of the average smaller than this are noise: the shown reading holds still.
    static constexpr double kDeadband = 15;

    // The sample file of channel 1..4 in the data directory.
    static QString sampleFileName(int channel);

    Acquisition(ChannelForm& form, MainForm& main, const TimerForm& timing, kit::Joysticks& joysticks,
                ChannelSwitch& channelSwitch, const QString& dataDirectory);

    void tick();

    // The value the channel last read and showed in its zone, since it was last switched on; nothing before.
    std::optional<double> reading() const { return reading_; }

private:
    quint32 read();
    void showHint();
    void setBars(double fraction);

    ChannelForm& form_;
    const MainForm& main_;
    kit::Label& value_;
    kit::PictureBox& pic_;
    const kit::Label& mzero_;
    const kit::Label& mfsd_;
    const kit::Label& secs_;
    kit::Joysticks& joysticks_;
    ChannelSwitch& switch_;
    const int joystick_;
    const bool xAxis_;

    kit::JOYINFO position_{};
    std::optional<std::pair<QString, QString>> hintRange_; // the meter's low value and full scale Label1 quotes
    kit::NumberText firstText_;                            // Text1, made from the burst's first reading
    kit::NumberText heldText_;
    kit::NumberText valueText_;
    // The texts the tick reads its numbers from, each parsed again only when it has changed.
    kit::TextReading<int> period_;
    kit::TextReading<double> shownHeld_;
    kit::TextReading<double> zero_;
    kit::TextReading<double> fullScale_;
    kit::TextReading<double> calibrationZero_;
    kit::TextReading<double> calibrationFull_;
    SampleFile file_;
    SampleFile::Block burst_{};
    SampleFile::Block block_{};
    // The last average shown; 0 until the first reading, and kept across stops for the life of the window.
    double held_ = 0;
    std::optional<double> reading_;
};

} // namespace zavok
