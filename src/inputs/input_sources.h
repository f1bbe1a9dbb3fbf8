#pragma once

#include "input_options.h"
#include "kit/fault_report.h"
#include "kit/inputs.h"

#include <QString>
#include <QTimer>

#include <memory>
#include <variant>

namespace zavok::inputs {

class IoPort;
class SdlJoysticks;
class SimulatorState;
class StateFileSource;

// Why the program cannot start with the inputs it was asked for; it ends before it creates or logs anything.
struct StartRefusal {
    QString message; // one line, for standard error
    int exitStatus = 2;
};

// The game port and the joysticks the program reads, built from the command line's choice, and the pump that
// keeps SDL's joysticks (and a real port's contacts) read between two ticks, on the event loop of the thread
// that builds it.
//
// Auto in a window chooses between the joysticks and the simulator when it is first asked: at the first read of an
// input, or when the program asks whether the simulator serves. Looking for joysticks loads SDL, which the window
// need not wait for.
class InputSources {
public:
    // How often the devices are read between the program's own reads: often enough that no button press is lost
    // in a device's event buffer, and that a real port's contact closed for this long is seen.
    static constexpr int kPumpMs = 50;

    // Needs the Qt application object for its timer. The ioport source is refused here when the port cannot be
    // reached; every other source is built, and one that cannot be read reports it through `sink` and reads 0.
    // Without a window (`windowless`), auto never falls back to the simulator, which nobody could drive.
    static std::variant<std::unique_ptr<InputSources>, StartRefusal>
    create(const InputOptions& options, bool windowless, const kit::FaultSink& sink = kit::writeToStandardError);
    ~InputSources();

    InputSources(const InputSources&) = delete;
    InputSources& operator=(const InputSources&) = delete;

    kit::GamePort& port() const { return standIn_ ? *standIn_ : *port_; }
    kit::Joysticks& joysticks() const { return standIn_ ? *standIn_ : *joysticks_; }

    // The simulator's state when the simulator serves the inputs (chosen, or auto without a joystick): the
    // simulator window is shown to drive it. Null otherwise.
    SimulatorState* simulator() { return chosen().simulator_.get(); }

private:
    // What the program reads while auto has not chosen, and after: every read goes on to the chosen source.
    class StandIn final : public kit::GamePort, public kit::Joysticks {
    public:
        explicit StandIn(InputSources& sources) : sources_(sources) {}
        qint16 Inzavok(int port) override { return sources_.chosen().port_->Inzavok(port); }
        void Outzavok(int port, int value) override { sources_.chosen().port_->Outzavok(port, value); }
        QString fault() const override { return sources_.chosen().port_->fault(); }
        QString fault(int id) const override { return sources_.chosen().joysticks_->fault(id); }
        int joyGetPos(int id, kit::JOYINFO& info) override { return sources_.chosen().joysticks_->joyGetPos(id, info); }

    private:
        InputSources& sources_;
    };

    explicit InputSources(kit::FaultSink sink);
    InputSources& chosen();
    // `always`: even when no joystick is plugged in, which is then said.
    bool serveFromJoysticks(bool always);
    void serveFromSimulator();
    void pump();

    std::unique_ptr<SdlJoysticks> sdl_;
    std::unique_ptr<SimulatorState> simulator_;
    std::unique_ptr<StateFileSource> file_;
    std::unique_ptr<IoPort> ioPort_;
    // The chosen source; null while auto has not chosen.
    kit::GamePort* port_ = nullptr;
    kit::Joysticks* joysticks_ = nullptr;
    std::unique_ptr<StandIn> standIn_; // auto in a window
    kit::FaultSink sink_;
    QTimer pumpTimer_;
};

} // namespace zavok::inputs
