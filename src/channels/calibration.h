#pragma once

#include "forms/channel_form.h"
#include "forms/main_form.h"
#include "kit/bell.h"
#include "kit/dialogs.h"

namespace zavok {

// The guided calibration of the frame `cal1`: the raw readings at the sensor's minimum and maximum, taken live
// (AUTO) or typed (MANUAL), checked against the meter's full scale and stored in `calzvall` and `calfvall`.
//
// The buttons are the state: the zero step is open while SET ZERO is enabled, the full-scale step while SET F.S.D.
// is enabled, AUTO mode while `auto` is enabled and MANUAL mode while `manual` is.
class Calibration {
public:
    Calibration(ChannelForm& form, const MainForm& main, kit::Dialogs& dialogs, kit::Bell& bell);

    // The close image: any step is abandoned, the frame returns to its rest; the stored readings stay.
    void abandon();

private:
    void start();
    void toManual();
    void toAuto();
    void setZero();
    void setFullScale();
    void finalize();
    void close();

    bool isAuto() const { return form_.auto_.isEnabled(); }
    bool inZeroStep() const { return form_.calsetzerocom.isEnabled(); }
    bool inFullScaleStep() const { return form_.calsetfsdcom.isEnabled(); }
    void manualZero();
    void manualFullScale();

    ChannelForm& form_;
    const kit::Label& mfsd_;
    kit::Dialogs& dialogs_;
    kit::Bell& bell_;
};

} // namespace zavok
