#pragma once

#include "kit/bell.h"
#include "kit/clock.h"
#include "kit/dialogs.h"
#include "kit/fault_report.h"
#include "kit/inputs.h"
#include "kit/pictures.h"
#include "kit/scheduler.h"

#include <QLocale>
#include <QString>

#include <functional>

namespace zavok {

// Everything the core needs from the machine it runs on, handed in at start so that tests can fake all of it.
struct Platform {
    kit::Scheduler& scheduler;
    const kit::Clock& clock;
    QLocale locale;
    kit::Dialogs& dialogs;
    kit::Bell& bell;
    const kit::Pictures& pictures;
    kit::GamePort& port;
    kit::Joysticks& joysticks;
    QString dataDirectory;     // the settings and sample files
    QString logDirectory;      // the daily activity logs: the working directory
    QString picturesDirectory; // where the picture chooser opens
    // Opens the trend window of a channel (1..4). Only a program with a display has one; without it the meters
    // take no clicks.
    std::function<void(int channel)> showTrend{};
    // Where the core says what the user should know of and no window shows (a damaged settings file, a log that
    // cannot be written): one line each, for standard error.
    kit::FaultSink tell{};
};

} // namespace zavok
