#pragma once

#include <QDateTime>

namespace zavok::kit {

// The current local date and time. Injected, so that tests fix the moment and cross midnight at will.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

} // namespace zavok::kit
