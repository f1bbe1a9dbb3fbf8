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

    kit::GamePort& port() const { return *port_; }
    kit::Joysticks& joysticks() const { return *joysticks_; }

    // The simulator's state when the simulator serves the inputs (chosen, or auto without a joystick): the
    // simulator window is shown to drive it. Null otherwise.
    SimulatorState* simulator() const { return simulator_.get(); }

private:
    InputSources() = default;
    void pump();

    std::unique_ptr<SdlJoysticks> sdl_;
    std::unique_ptr<SimulatorState> simulator_;
    std::unique_ptr<StateFileSource> file_;
    std::unique_ptr<IoPort> ioPort_;
    kit::GamePort* port_ = nullptr;
    kit::Joysticks* joysticks_ = nullptr;
    QTimer pumpTimer_;
};

} // namespace zavok::inputs
