#pragma once

namespace zavok::kit {

class Bell {
public:
    virtual ~Bell() = default;
    virtual void beep() = 0;
};

} // namespace zavok::kit
