#include "desktop.h"

#include "window.h"

#include <algorithm>

namespace zavok::kit {

void Desktop::adopt(Window& window) {
    windows_.push_back(&window);
    emit windowAdded(&window);
}

void Desktop::release(Window& window) {
    std::erase(windows_, &window);
    emit windowRemoved(&window);
}

} // namespace zavok::kit
