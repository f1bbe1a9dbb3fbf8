#pragma once

#include "forms/main_form.h"
#include "kit/dialogs.h"

namespace zavok {

// The two-step dialog that sets a meter's low and full-scale values, opened from either scale label of a zone.
class MeterScale {
public:
    MeterScale(MainForm& form, kit::Dialogs& dialogs);

    void ask(int zone);

private:
    MainForm& form_;
    kit::Dialogs& dialogs_;
};

} // namespace zavok
