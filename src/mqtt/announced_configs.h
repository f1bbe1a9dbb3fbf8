#pragma once

#include "app/settings_files.h"
#include "kit/fault_report.h"

#include <QString>

#include <functional>
#include <map>
#include <set>

namespace zavok::mqtt {

// The discovery configs this program announced last, kept in the data directory, so that a run which no longer
// announces one of them (discovery turned off, the site renamed, an entity gone) can take it back: Home Assistant
// would otherwise keep its entity, unavailable, for ever. A config taken back stays in the memory until the broker
// has the message that takes it back, so that a run which ends first (the broker gone, the power cut) leaves it to
// the next run rather than to nobody. A memory that is missing or damaged is no reason to stop monitoring: it counts
// as nothing announced, and a damaged one is said once.
class AnnouncedConfigs {
public:
    static const QString kFileName;

    AnnouncedConfigs(const SettingsFiles& files, kit::FaultSink tell);

    // Takes back, through `withdraw`, which returns the id of the message it sent, each config remembered and not in
    // `now`, then remembers `now` as well.
    void replace(const std::set<QString>& now, const std::function<int(const QString& topic)>& withdraw);
    // The broker has the message of this id: a config that it took back is forgotten.
    void delivered(int id);

private:
    void read();
    void write();

    const SettingsFiles& files_;
    kit::FaultSink tell_;
    std::set<QString> remembered_; // what the file holds: the configs announced, and those not yet taken back
    std::set<QString> now_;
    std::map<int, QString> withdrawing_; // each message that takes a config back, and the config
    bool read_ = false;
    bool written_ = false; // the file holds what is remembered
    bool toldWrite_ = false;
};

} // namespace zavok::mqtt
