#pragma once

#include "app/zavok.h"
#include "platform/command_line.h"
#include "platform/history_recorder.h"
#include "platform/input_sources.h"
#include "platform/mqtt_publisher.h"
#include "platform/real_time_scheduler.h"
#include "platform/service_manager.h"
#include "platform/system_clock.h"
#include "platform/termination_signals.h"

#include <functional>
#include <memory>
#include <variant>

namespace zavok {

// The command line and the settings file behind it, read before anything else, so that --help needs no display and
// a bad option leaves no trace: nothing created, nothing logged. The options, or the exit status to end with.
std::variant<platform::Options, int> readOptions(int argc, char** argv);

// --history-csv: the history printed on standard output, with no display, beside a ZAVOK that may be running; the
// exit status.
int exportHistory(int argc, char** argv, const platform::HistoryExport& request);

// What a run of the program has whether it draws or not: its inputs, its clock and timers, the core, the observers
// that tell the outside world, and the signals that end it in order. Made once the application object exists.
class Run {
public:
    // The inputs the options ask for, or the exit status of a program that cannot read them.
    static std::variant<std::unique_ptr<platform::InputSources>, int> openInputs(const platform::Options& options);

    // `showTrend` opens a channel's trend window, where the program has them.
    Run(const platform::Options& options, std::unique_ptr<platform::InputSources> inputs, kit::Dialogs& dialogs,
        kit::Bell& bell, const kit::Pictures& pictures, std::function<void(int channel)> showTrend = {});

    Zavok& core() { return core_; }
    platform::InputSources& inputs() { return *inputs_; }
    platform::HistoryRecorder& history() { return history_; }

    // Start-up, and the observers set to follow what it made.
    void start();
    // Runs the event loop until the program ends; its exit status.
    int exec();

private:
    std::unique_ptr<platform::InputSources> inputs_;
    platform::RealTimeScheduler scheduler_;
    const platform::SystemClock clock_;
    Zavok core_;
    platform::TerminationSignals termination_;
    platform::ServiceManager serviceManager_;
    // The observers of the core go before it. The history hears the start record too, so it is made with the core.
    platform::HistoryRecorder history_;
    std::unique_ptr<platform::MqttPublisher> mqtt_;
};

} // namespace zavok
