#pragma once

#include "app/settings_files.h"
#include "kit/fault_report.h"

#include <QString>

#include <functional>
#include <set>

namespace zavok::mqtt {

// The discovery configs this program announced last, kept in the data directory, so that a run which no longer
// announces one of them (discovery turned off, the site renamed, an entity gone) can take it back: Home Assistant
// would otherwise keep its entity, unavailable, for ever. A memory that is missing or damaged is no reason to stop
// monitoring: it counts as nothing announced, and a damaged one is said once.
class AnnouncedConfigs {
public:
    static const QString kFileName;

    AnnouncedConfigs(const SettingsFiles& files, kit::FaultSink tell);

    // Takes back, through `withdraw`, each config announced before and not in `now`, then remembers `now`.
    void replace(const std::set<QString>& now, const std::function<void(const QString& topic)>& withdraw);

private:
    void read();

    const SettingsFiles& files_;
    kit::FaultSink tell_;
    std::set<QString> before_;
    bool read_ = false;
    bool toldWrite_ = false;
};

} // namespace zavok::mqtt
