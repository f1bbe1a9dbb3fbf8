#pragma once

#include "app/zavok.h"
#include "history/history_recorder.h"
#include "inputs/input_sources.h"
#include "mqtt/mqtt_publisher.h"
#include "service/command_line.h"
#include "service/service_manager.h"
#include "system/real_time_scheduler.h"
#include "system/system_clock.h"
#include "system/termination_signals.h"

#include <functional>
#include <memory>
#include <variant>

namespace zavok::service {

// The command line and the settings file behind it, read before anything else, so that --help needs no display and
// a bad option leaves no trace: nothing created, nothing logged. The options, or the exit status to end with.
std::variant<Options, int> readOptions(int argc, char** argv);

// --history-csv: the history printed on standard output, with no display, beside a ZAVOK that may be running; the
// exit status.
int exportHistory(int argc, char** argv, const history::HistoryExport& request);

// What a run of the program has whether it draws or not: its inputs, its clock and timers, the core, the observers
// that tell the outside world, and the signals that end it in order. Made once the application object exists.
class Run {
public:
    // The inputs the options ask for, or the exit status of a program that cannot read them.
    static std::variant<std::unique_ptr<inputs::InputSources>, int> openInputs(const Options& options);

    // `showTrend` opens a channel's trend window, where the program has them.
    Run(const Options& options, std::unique_ptr<inputs::InputSources> inputs, kit::Dialogs& dialogs, kit::Bell& bell,
        const kit::Pictures& pictures, std::function<void(int channel)> showTrend = {});

    Zavok& core() { return core_; }
    inputs::InputSources& inputs() { return *inputs_; }
    history::HistoryRecorder& history() { return history_; }

    // Start-up, and the observers set to follow what it made.
    void start();
    // Runs the event loop until the program ends; its exit status.
    int exec();

private:
    std::unique_ptr<inputs::InputSources> inputs_;
    system::RealTimeScheduler scheduler_;
    const system::SystemClock clock_;
    Zavok core_;
    system::TerminationSignals termination_;
    ServiceManager serviceManager_;
    // The observers of the core go before it. The history hears the start record too, so it is made with the core.
    history::HistoryRecorder history_;
    std::unique_ptr<mqtt::MqttPublisher> mqtt_;
};

} // namespace zavok::service
