#pragma once

#include "kit/control.h"
#include "kit/window.h"

namespace zavok {

// The help window `zavokhelp`: a picture and a paragraph on what the program does; no behaviour.
class HelpForm : public kit::Window {
    Q_OBJECT

public:
    explicit HelpForm(kit::Desktop& desktop);

    kit::Image& Image1;
    kit::Label& Label1;
};

} // namespace zavok
