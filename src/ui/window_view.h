#pragma once

#include "kit/window.h"
#include "twips.h"

#include <QPointer>
#include <QWidget>

#include <unordered_map>

namespace zavok::ui {

// The top-level widget that draws one kit window with all its controls, and follows the window's caption,
// visibility, focus and raising. Its close box only asks the kit: the program decides what closing means.
class WindowView final : public QWidget {
    Q_OBJECT

public:
    WindowView(kit::Window& window, const Twips& twips);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void make(kit::Control& control);
    void followDeclarationOrder();
    QWidget* widget(const kit::Control& control) const;
    void follow(kit::WindowProperty property);
    void showFocus();

    QPointer<kit::Window> window_;
    Twips twips_;
    std::unordered_map<const kit::Control*, QWidget*> widgets_;
};

} // namespace zavok::ui
