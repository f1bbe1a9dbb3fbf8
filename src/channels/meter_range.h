#pragma once

#include "forms/main_form.h"

#include <QStringBuilder>

namespace zavok::channel {

// The meter's range as the hint and the alarm-limit messages quote it: the captions of `mzero`N and `mfsd`N as
// they read on the main window.
inline QString meterRange(const MainForm& main, int channel) {
    return main.mzero.at(channel - 1)->text() % QStringLiteral(" and ") % main.mfsd.at(channel - 1)->text();
}

} // namespace zavok::channel
