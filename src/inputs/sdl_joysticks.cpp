#include "sdl_joysticks.h"

#include "sdl_joystick_library.h"

#include <algorithm>

namespace zavok::inputs {

namespace {

enum Fault { SdlUnavailable, DeviceUnopened };

// What one pad needs to serve all eight inputs by itself.
constexpr int kSingleDeviceButtons = 4;
constexpr int kSingleDeviceAxes = 4;

quint32 axisPosition(Sint16 value) {
    return quint32(qint32(value) + qint32(kAxisCentre));
}

} // namespace

SdlJoysticks::SdlJoysticks(kit::FaultSink sink) : faults_(std::move(sink)) {
    QString why;
    const SdlJoystickLibrary* sdl = sdlJoystickLibrary(why);
    if (sdl != nullptr) {
        // SDL would otherwise take SIGTERM and SIGINT for itself and turn them into an SDL_QUIT event that nobody
        // reads: the desktop's log-off would then never reach the orderly shutdown.
        sdl->SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (sdl->SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
            why = QString::fromUtf8(sdl->SDL_GetError());
            sdl = nullptr;
        }
    }
    if (sdl == nullptr) {
        unavailable_ = QStringLiteral("joysticks cannot be read (%1)").arg(why);
        faults_.once(SdlUnavailable, QStringLiteral("zavok: ") + unavailable_);
        return;
    }
    sdl_ = sdl;
    // Axes are read as they stand when asked for; their motion events would only fill SDL's queue.
    for (const Uint32 type : {SDL_JOYAXISMOTION, SDL_JOYBALLMOTION, SDL_JOYHATMOTION}) {
        sdl_->SDL_EventState(type, SDL_IGNORE);
    }
    sync();
}

SdlJoysticks::~SdlJoysticks() {
    if (sdl_ == nullptr) {
        return;
    }
    for (SDL_Joystick* device : devices_) {
        sdl_->SDL_JoystickClose(device);
    }
    sdl_->SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

void SdlJoysticks::sync() {
    // Device indexes shift as devices come and go, and the index in an event may already be stale by the time it
    // is read: devices are known by their instance ids, and every change is found by comparing the lists.
    for (auto it = devices_.begin(); it != devices_.end();) {
        if (sdl_->SDL_JoystickGetAttached(*it)) {
            ++it;
            continue;
        }
        std::replace(places_.begin(), places_.end(), *it, static_cast<SDL_Joystick*>(nullptr));
        sdl_->SDL_JoystickClose(*it);
        it = devices_.erase(it);
    }
    for (int index = 0; index < sdl_->SDL_NumJoysticks(); ++index) {
        const SDL_JoystickID instance = sdl_->SDL_JoystickGetDeviceInstanceID(index);
        if (std::any_of(devices_.begin(), devices_.end(), [this, instance](SDL_Joystick* device) {
                return sdl_->SDL_JoystickInstanceID(device) == instance;
            })) {
            continue;
        }
        if (SDL_Joystick* device = sdl_->SDL_JoystickOpen(index)) {
            devices_.push_back(device);
        } else {
            faults_.once(DeviceUnopened, QStringLiteral("zavok: a joystick cannot be opened (%1); it is left out")
                                             .arg(QString::fromUtf8(sdl_->SDL_GetError())));
        }
    }
    for (SDL_Joystick*& place : places_) {
        if (place != nullptr) {
            continue;
        }
        const auto waiting = std::find_if(devices_.begin(), devices_.end(), [this](SDL_Joystick* device) {
            return std::find(places_.begin(), places_.end(), device) == places_.end();
        });
        if (waiting != devices_.end()) {
            place = *waiting;
        }
    }
}

QString SdlJoysticks::fault() const {
    if (sdl_ == nullptr) {
        return unavailable_;
    }
    if (devices_.empty()) {
        return QStringLiteral("no joystick is plugged in");
    }
    for (int c = 0; c < kContacts; ++c) {
        if ((held_ & (1u << c)) != 0) {
            // Held contacts are those of the classic wiring's missing place: contacts 1 and 2 are joystick 1's.
            return QStringLiteral("joystick %1 was unplugged").arg(c / 2 + 1);
        }
    }
    return {};
}

QString SdlJoysticks::fault(int id) const {
    if (sdl_ == nullptr || devices_.empty()) {
        return fault();
    }
    // From the devices as they are now, not as the last port read left them: a joystick pulled out since then
    // reads 0 already. Only the place that lost its device is faulty; the other joystick's channels still read.
    const auto inputs = wiring();
    for (int c = 2 * id; c < 2 * id + 2 && c >= 0 && c < kContacts; ++c) {
        if (inputs[std::size_t(c)].device == nullptr && (everRead_ & (1u << c)) != 0) {
            return QStringLiteral("joystick %1 was unplugged").arg(id + 1);
        }
    }
    return {};
}

std::array<SdlJoysticks::Input, kContacts> SdlJoysticks::wiring() const {
    const bool single = devices_.size() == 1 &&
                        sdl_->SDL_JoystickNumButtons(devices_.front()) >= kSingleDeviceButtons &&
                        sdl_->SDL_JoystickNumAxes(devices_.front()) >= kSingleDeviceAxes;
    std::array<Input, kContacts> inputs;
    for (int i = 0; i < kContacts; ++i) {
        inputs[std::size_t(i)] = single ? Input{devices_.front(), i} : Input{places_[std::size_t(i / 2)], i % 2};
    }
    return inputs;
}

void SdlJoysticks::latchPress(qint32 instance, int button) {
    const auto inputs = wiring();
    for (int c = 0; c < kContacts; ++c) {
        const Input& input = inputs[std::size_t(c)];
        if (input.device != nullptr && sdl_->SDL_JoystickInstanceID(input.device) == instance &&
            input.index == button) {
            latch_.close(ContactSet(1u << c));
        }
    }
}

void SdlJoysticks::pump() {
    if (sdl_ == nullptr) {
        return;
    }
    sdl_->SDL_PumpEvents();
    // Every pending event is taken, whatever its type, so that nothing piles up in a queue that no one else reads.
    SDL_Event events[32];
    int count = 0;
    while ((count = sdl_->SDL_PeepEvents(events, int(std::size(events)), SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT)) >
           0) {
        for (int i = 0; i < count; ++i) {
            const SDL_Event& event = events[i];
            if (event.type == SDL_JOYDEVICEADDED || event.type == SDL_JOYDEVICEREMOVED) {
                sync();
            } else if (event.type == SDL_JOYBUTTONDOWN) {
                latchPress(event.jbutton.which, event.jbutton.button);
            }
        }
    }
}

qint16 SdlJoysticks::Inzavok(int) {
    if (sdl_ == nullptr) {
        return kAtRest;
    }
    pump();
    ContactSet closed = 0;
    ContactSet served = 0;
    const auto inputs = wiring();
    for (int c = 0; c < kContacts; ++c) {
        const Input& input = inputs[std::size_t(c)];
        if (input.device == nullptr) {
            continue;
        }
        served = ContactSet(served | (1u << c));
        if (input.index < sdl_->SDL_JoystickNumButtons(input.device) &&
            sdl_->SDL_JoystickGetButton(input.device, input.index) == SDL_PRESSED) {
            closed = ContactSet(closed | (1u << c));
        }
    }
    everRead_ = ContactSet(everRead_ | served);
    held_ = ContactSet(everRead_ & ~served);
    closed = ContactSet(closed | (lastClosed_ & held_));
    lastClosed_ = closed;
    return portByte(latch_.take(closed));
}

void SdlJoysticks::Outzavok(int, int) {}

int SdlJoysticks::joyGetPos(int id, kit::JOYINFO& info) {
    std::array<quint32, kChannels> positions{};
    if (sdl_ != nullptr) {
        pump();
        const auto inputs = wiring();
        for (std::size_t k = 0; k < positions.size(); ++k) {
            const Input& input = inputs[k];
            if (input.device != nullptr && input.index < sdl_->SDL_JoystickNumAxes(input.device)) {
                positions[k] = axisPosition(sdl_->SDL_JoystickGetAxis(input.device, input.index));
            }
        }
    }
    return joystickRecord(id, positions, info);
}

} // namespace zavok::inputs
