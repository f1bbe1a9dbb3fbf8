#pragma once

#include "alerts/alerts.h"
#include "app/platform.h"
#include "app/settings_damage.h"
#include "app/settings_files.h"
#include "channels/channels.h"
#include "forms/channel_form.h"
#include "forms/help_form.h"
#include "forms/log_form.h"
#include "forms/main_form.h"
#include "forms/timer_form.h"
#include "kit/clock_texts.h"
#include "kit/desktop.h"
#include "kit/dialogs_until_end.h"
#include "log/activity_log.h"
#include "log/log_viewer.h"
#include "meters/meters.h"

#include <array>
#include <functional>
#include <memory>

namespace zavok {

// The program: every window, the settings files and the activity log, wired together. Its start-up is the main
// window's load; its shutdown runs once, from whichever trigger comes first.
class Zavok {
public:
    explicit Zavok(const Platform& platform);
    // Destroying the program without an orderly shutdown (the main window's terminate) still runs it.
    ~Zavok();

    Zavok(const Zavok&) = delete;
    Zavok& operator=(const Zavok&) = delete;

    void startup();
    // Writes the closing record and phones.zvk, stops every timer and reports the end through onEnded. Runs at
    // most once; later calls do nothing.
    void shutdown();
    bool hasEnded() const { return ended_; }
    std::function<void()> onEnded;

    // Rewrite cat.zvk from the indicator positions, and apnames.zvk from the circuit names.
    void catfile();
    void labname();
    // Rewrites phones.zvk from the controls as they are now, as shutdown does; says so when it cannot.
    void savePhones();

    ChannelForm& channel(int n) const { return *zavokform.at(n - 1); } // n = 1..4

    const Platform platform;
    // Every box the program opens goes through here, so that none opens, and none answers, once it has ended.
    kit::DialogsUntilEnd dialogs;
    kit::Desktop desktop;
    kit::ClockTexts clock;
    ActivityLog log;
    SettingsFiles settings;

    std::unique_ptr<MainForm> zavok;
    std::array<std::unique_ptr<ChannelForm>, 4> zavokform;
    std::unique_ptr<TimerForm> zavoktimer;
    std::unique_ptr<LogForm> zavoklog;   // made when first shown
    std::unique_ptr<HelpForm> zavokhelp; // made when first shown

    std::unique_ptr<Alerts> alerts;
    std::unique_ptr<Meters> meters;
    std::unique_ptr<Channels> channels; // the behaviour of zavokform1..4

private:
    void restorePositions(SettingsDamage& damage);
    void restoreNames(SettingsDamage& damage);
    // phones.zvk as start-up uses it, made safe, and then put into the controls.
    std::optional<QStringList> readMainSettings(SettingsDamage& damage) const;
    void restoreMainSettings(const QStringList& values);
    void copyNamesToZoneLabels();
    void applyCircuitStates();
    void applyChannelStates();
    void reset();
    void say(const QString& line) const;
    QByteArray savedLine(const kit::Control& c) const; // phones.zvk's line for one of its controls

    // Navigation: the ways from the main window into the other windows, the picture and its indicators.
    void wireNavigation();
    void wireTrends();
    void openChannel(int zone, bool focusChange);
    void showLog();
    void showHelp();
    void choosePicture();
    void dropOnPicture(kit::Control& control, float x, float y);

    bool ended_ = false;
    std::unique_ptr<LogViewer> logViewer_; // the behaviour of zavoklog, while it exists
};

} // namespace zavok
