#include "renderer.h"

#include "kit/desktop.h"
#include "kit/window.h"
#include "window_view.h"

namespace zavok::ui {

Renderer::Renderer(kit::Desktop& desktop, const Twips& twips, QObject* parent) : QObject(parent), twips_(twips) {
    connect(&desktop, &kit::Desktop::windowAdded, this, [this](kit::Window* window) { watch(*window); });
    connect(&desktop, &kit::Desktop::windowRemoved, this, &Renderer::forget);
    for (kit::Window* window : desktop.windows()) {
        watch(*window);
    }
}

Renderer::~Renderer() {
    for (auto& [window, view] : views_) {
        delete view;
    }
}

WindowView* Renderer::view(const kit::Window& window) const {
    const auto found = views_.find(&window);
    return found != views_.end() ? found->second.data() : nullptr;
}

void Renderer::watch(kit::Window& window) {
    auto build = [this, &window] {
        if (window.isVisible() && !views_.contains(&window)) {
            views_.emplace(&window, new WindowView(window, twips_));
        }
    };
    connect(&window, &kit::Window::changed, this, [build](kit::WindowProperty property) {
        if (property == kit::WindowProperty::Visible) {
            build();
        }
    });
    build();
}

void Renderer::forget(kit::Window* window) {
    disconnect(window, nullptr, this, nullptr);
    const auto found = views_.find(window);
    if (found == views_.end()) {
        return;
    }
    // The window may go from inside an event of its own drawing (its close box, a click): the widgets are hidden
    // now and deleted once that event is over.
    if (WindowView* view = found->second) {
        view->hide();
        view->deleteLater();
    }
    views_.erase(found);
}

} // namespace zavok::ui
