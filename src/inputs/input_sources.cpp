#include "input_sources.h"

#include "io_port.h"
#include "sdl_joysticks.h"
#include "simulator_state.h"
#include "state_file.h"

#include <QFileInfo>

#include <chrono>

namespace zavok::inputs {

InputSources::InputSources(kit::FaultSink sink) : sink_(std::move(sink)) {}

InputSources::~InputSources() = default;

std::variant<std::unique_ptr<InputSources>, StartRefusal>
InputSources::create(const InputOptions& options, bool windowless, const kit::FaultSink& sink) {
    using Source = InputOptions::Source;
    std::unique_ptr<InputSources> sources(new InputSources(sink));
    InputSources* self = sources.get();
    sources->pumpTimer_.callOnTimeout([self] { self->pump(); });

    switch (options.source) {
    case Source::IoPort: {
        auto opened = IoPort::open(sink);
        if (const QString* refusal = std::get_if<QString>(&opened)) {
            return StartRefusal{*refusal};
        }
        sources->ioPort_ = std::move(std::get<std::unique_ptr<IoPort>>(opened));
        sources->port_ = sources->ioPort_.get();
        // The real port's axes need timing loops that a desktop cannot run reliably; the joysticks give them.
        sources->sdl_ = std::make_unique<SdlJoysticks>(sink);
        sources->joysticks_ = sources->sdl_.get();
        sources->pumpTimer_.start(kPumpMs);
        break;
    }
    case Source::File:
        sources->file_ = std::make_unique<StateFileSource>(QFileInfo(options.path).absoluteFilePath(), sink, [] {
            using namespace std::chrono;
            return qint64(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
        });
        sources->port_ = sources->file_.get();
        sources->joysticks_ = sources->file_.get();
        break;
    case Source::Auto:
        if (!windowless) {
            sources->standIn_ = std::make_unique<StandIn>(*sources);
            break;
        }
        // Nobody could drive a simulator without a window.
        [[fallthrough]];
    case Source::Joystick:
        sources->serveFromJoysticks(true);
        break;
    case Source::Sim:
        sources->serveFromSimulator();
        break;
    }
    return sources;
}

InputSources& InputSources::chosen() {
    if (port_ == nullptr && !serveFromJoysticks(false)) {
        serveFromSimulator();
    }
    return *this;
}

bool InputSources::serveFromJoysticks(bool always) {
    sdl_ = std::make_unique<SdlJoysticks>(sink_);
    if (sdl_->deviceCount() == 0) {
        if (!always) {
            sdl_.reset();
            return false;
        }
        if (sdl_->isAvailable()) {
            sink_(QStringLiteral("zavok: no joystick is plugged in; the contacts stay at rest and the channels hold "
                                 "until one is"));
        }
    }
    port_ = sdl_.get();
    joysticks_ = sdl_.get();
    pumpTimer_.start(kPumpMs);
    return true;
}

void InputSources::serveFromSimulator() {
    simulator_ = std::make_unique<SimulatorState>();
    port_ = simulator_.get();
    joysticks_ = simulator_.get();
}

void InputSources::pump() {
    if (sdl_) {
        sdl_->pump();
    }
    if (ioPort_) {
        ioPort_->sample();
    }
}

} // namespace zavok::inputs
