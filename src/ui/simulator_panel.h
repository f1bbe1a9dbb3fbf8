#pragma once

#include <QWidget>

namespace zavok::inputs {
class SimulatorState;
}

namespace zavok::ui {

// The window that drives the built-in simulator: a switch per alert contact, and a slider with a "no signal"
// switch per analogue channel. It holds the state by reference, so it must go before the state does. Nothing in
// the program could open it again, so its close box only minimises it; like the program's own windows, it is
// never closed, and the program ends with QCoreApplication::exit(), not quit(), which would ask it to close.
class SimulatorPanel final : public QWidget {
    Q_OBJECT

public:
    static const QString kTitle;

    explicit SimulatorPanel(inputs::SimulatorState& state, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace zavok::ui
