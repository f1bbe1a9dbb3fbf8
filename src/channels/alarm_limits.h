#pragma once

#include "forms/channel_form.h"
#include "forms/main_form.h"
#include "kit/dialogs.h"

namespace zavok {

// The low and high alarm limits of the frame `set1`: Viewing while CHANGE is shown, Editing while SET is. A new
// pair is taken only when both limits lie on the meter and the low one is below the high one; the limits are
// kept as typed.
class AlarmLimits {
public:
    AlarmLimits(ChannelForm& form, const MainForm& main, kit::Dialogs& dialogs);

    // The close image: an open entry is dropped, the limits stay.
    void abandon();

    // Focus to CHANGE, as ENABLE and opening the window ask. While an entry is open CHANGE is hidden and cannot
    // take it, so the entry's low box, where the user was about to type, takes it instead.
    void focusChange();

private:
    void change();
    void set();
    void close();
    // Tells why the entry was refused and opens it again, empty, in front of the user.
    void refuse(const QString& message);
    void view(bool closable);
    bool onMeter(const QString& limit) const;

    ChannelForm& form_;
    const MainForm& main_;
    kit::Dialogs& dialogs_;
};

} // namespace zavok
