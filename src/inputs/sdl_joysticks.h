#pragma once

#include "contact_latch.h"
#include "input_records.h"
#include "kit/fault_report.h"
#include "kit/inputs.h"

#include <array>
#include <vector>

struct _SDL_Joystick; // NOLINT(bugprone-reserved-identifier): SDL names its type so; declared, SDL.h stays out

namespace zavok::inputs {

struct SdlJoystickLibrary;

// Joysticks and game pads through SDL2, wired as the classic game port was: joystick 1's buttons 1 and 2 are
// contacts 1 and 2 and its X and Y axes channels 1 and 2; joystick 2 gives contacts 3 and 4 and channels 3 and 4.
// A pad with at least four buttons and four axes, when it is the only device, serves all eight inputs alone.
//
// Devices come and go while the program runs. Each takes the first free place (joystick 1, then 2) and keeps
// it until it is pulled out, so pulling out joystick 1 never moves joystick 2's inputs onto other alerts.
//
// The source is faulty while no device is plugged in, or while a contact that a device served has none; such a
// contact keeps the state it last read, so that pulling out a joystick never moves an alert.
//
// SDL is used from the thread that made this object, and only when pump() or a read runs.
class SdlJoysticks final : public kit::GamePort, public kit::Joysticks {
public:
    // Loads SDL and starts its joystick subsystem alone (no video), and opens every device already plugged in.
    explicit SdlJoysticks(kit::FaultSink sink);
    ~SdlJoysticks() override;

    SdlJoysticks(const SdlJoysticks&) = delete;
    SdlJoysticks& operator=(const SdlJoysticks&) = delete;

    // False when SDL could not start; every read then gives port 0 and zeroed records.
    bool isAvailable() const { return sdl_ != nullptr; }
    int deviceCount() const { return int(devices_.size()); }

    // Takes SDL's pending events: devices plugged in or pulled out, and button presses for the latch. It must
    // run often (the owner runs it every few tens of milliseconds): a press and release that SDL has not seen
    // before the kernel's event buffer overflows is lost for good.
    void pump();

    qint16 Inzavok(int port) override;
    // A joystick has nothing to write to.
    void Outzavok(int port, int value) override;
    QString fault() const override;
    QString fault(int id) const override;
    int joyGetPos(int id, kit::JOYINFO& info) override;

private:
    // Where one contact and the channel of the same number come from: a device and its button and axis index.
    struct Input {
        _SDL_Joystick* device = nullptr;
        int index = 0;
    };
    std::array<Input, kContacts> wiring() const;
    void sync();
    void latchPress(qint32 instance, int button);

    kit::FaultReport faults_;
    const SdlJoystickLibrary* sdl_ = nullptr; // null while SDL cannot be loaded or started
    std::vector<_SDL_Joystick*> devices_;     // in the order they were plugged in
    std::array<_SDL_Joystick*, 2> places_{};  // joystick 1 and joystick 2 of the classic wiring
    ContactSet lastClosed_ = 0;               // the contacts closed at the last read
    ContactSet everRead_ = 0;                 // the contacts that a device has served since the start
    ContactSet held_ = 0;                     // those of them without a device now, kept as they last read
    QString unavailable_;                     // why SDL could not be loaded or started
    ContactLatch latch_;
};

} // namespace zavok::inputs
