#include "input_sources.h"

#include "io_port.h"
#include "sdl_joysticks.h"
#include "simulator_state.h"
#include "state_file.h"

#include <QFileInfo>

#include <chrono>

namespace zavok::inputs {

InputSources::~InputSources() = default;

std::variant<std::unique_ptr<InputSources>, StartRefusal>
InputSources::create(const InputOptions& options, bool windowless, const kit::FaultSink& sink) {
    using Source = InputOptions::Source;
    std::unique_ptr<InputSources> sources(new InputSources);

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
        break;
    }
    case Source::File: {
        sources->file_ = std::make_unique<StateFileSource>(QFileInfo(options.path).absoluteFilePath(), sink, [] {
            using namespace std::chrono;
            return qint64(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
        });
        sources->port_ = sources->file_.get();
        sources->joysticks_ = sources->file_.get();
        break;
    }
    case Source::Joystick:
    case Source::Auto:
        sources->sdl_ = std::make_unique<SdlJoysticks>(sink);
        if (options.source == Source::Joystick || windowless || sources->sdl_->deviceCount() > 0) {
            if (sources->sdl_->isAvailable() && sources->sdl_->deviceCount() == 0) {
                sink(QStringLiteral("zavok: no joystick is plugged in; the contacts stay at rest and the channels hold "
                                    "until one is"));
            }
            sources->port_ = sources->sdl_.get();
            sources->joysticks_ = sources->sdl_.get();
            break;
        }
        sources->sdl_.reset();
        [[fallthrough]];
    case Source::Sim:
        sources->simulator_ = std::make_unique<SimulatorState>();
        sources->port_ = sources->simulator_.get();
        sources->joysticks_ = sources->simulator_.get();
        break;
    }

    if (sources->sdl_ || sources->ioPort_) {
        InputSources* self = sources.get();
        sources->pumpTimer_.callOnTimeout([self] { self->pump(); });
        sources->pumpTimer_.start(kPumpMs);
    }
    return sources;
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
