#pragma once

#include "ui/kit/clock.h"

namespace zavok::platform {

// The machine's local date and time.
class SystemClock final : public kit::Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace zavok::platform
