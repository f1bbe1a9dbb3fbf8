#pragma once

#include "kit/control.h"
#include "kit/timer.h"
#include "kit/window.h"

namespace zavok {

// A channel window `zavokform1`..`zavokform4`: the four are one design, told apart by the channel number.
class ChannelForm : public kit::Window {
    Q_OBJECT

public:
    ChannelForm(kit::Desktop& desktop, int number);

    int channel() const { return channel_; } // 1..4

    kit::PictureBox& Picture1; // the channel's own red bar
    kit::TextBox& fname;       // the channel's name
    kit::Button& setname;
    kit::Button& enable;
    kit::Button& disable;
    kit::Image& fclose; // the window's own close image

    // Alarm limits.
    kit::Frame& set1;
    kit::Label& lowalarml;
    kit::Label& highalarml;
    kit::Label& setvaluel;
    kit::Label& newvaluel;
    kit::Label& setlowl;
    kit::Label& sethighl;
    kit::TextBox& setnewlowt;
    kit::TextBox& setnewhight;
    kit::Button& setcom;
    kit::Button& setclosecom;
    kit::Label& Label1; // the hint under the entry boxes
    kit::Button& changealarm;

    // Calibration.
    kit::Frame& cal1;
    kit::Label& calvall;
    kit::Label& calreadl;
    kit::Label& calzerol;
    kit::Label& calfsdl;
    kit::Label& calzvall;
    kit::Label& calfvall;
    kit::TextBox& calzerot;
    kit::TextBox& calfsdt;
    kit::Button& calsetzerocom;
    kit::Button& calsetfsdcom;
    kit::Button& calclosecom;
    kit::Button& auto_; // `auto`
    kit::Button& manual;
    kit::Button& calfincom;
    kit::Label& Label3; // the prompt line
    kit::Button& calibrate;

    // Hidden readings and the sampling timer.
    kit::TextBox& Text1; // the last single raw reading
    kit::TextBox& Text5; // the smoothed raw reading
    kit::Timer& Timer1;

private:
    int channel_;
};

} // namespace zavok
