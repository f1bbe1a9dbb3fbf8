#pragma once

#include "contact_latch.h"
#include "kit/fault_report.h"
#include "kit/inputs.h"

#include <QString>

#include <memory>
#include <variant>

namespace zavok::inputs {

// The real game port at 0x201, for the machines that still have one. Only that port is opened to the process;
// reading any other would crash it, so other port numbers read 0.
class IoPort final : public kit::GamePort {
public:
    static constexpr int kGamePort = 0x201;

    // Asks the kernel for the port. Without it (no root or CAP_SYS_RAWIO, a kernel without port access, another
    // architecture) the answer is a line for the user that names the reason and the other sources.
    static std::variant<std::unique_ptr<IoPort>, QString> open(kit::FaultSink sink);

    // Reads the port between two poll ticks, so that a contact closed and opened again in between is still
    // reported: a real port keeps no memory of it.
    void sample();

    qint16 Inzavok(int port) override;
    // Writing to the game port starts its axis timers; no other port is written.
    void Outzavok(int port, int value) override;

private:
    explicit IoPort(kit::FaultSink sink) : faults_(std::move(sink)) {}

    ContactLatch latch_;
    kit::FaultReport faults_;
};

} // namespace zavok::inputs
