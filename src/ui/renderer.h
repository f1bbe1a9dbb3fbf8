#pragma once

#include "focus_frame.h"
#include "twips.h"

#include <QObject>
#include <QPointer>

#include <unordered_map>

namespace zavok::kit {
class Desktop;
class Window;
} // namespace zavok::kit

namespace zavok::ui {

class WindowView;

// Draws every window of the desktop. A window is built the first time it becomes visible (its controls do not
// exist yet when the desktop first hears of it) and its drawing goes with it.
class Renderer final : public QObject {
    Q_OBJECT

public:
    explicit Renderer(kit::Desktop& desktop, const Twips& twips = Twips::ofScreen(), QObject* parent = nullptr);
    ~Renderer() override;

    // The drawing of `window`; nullptr until the window is first shown.
    WindowView* view(const kit::Window& window) const;

private:
    void watch(kit::Window& window);
    void forget(kit::Window* window);

    Twips twips_;
    FocusFrame focusFrame_;
    std::unordered_map<const kit::Window*, QPointer<WindowView>> views_;
};

} // namespace zavok::ui
