#pragma once

#include "log/record_facts.h"

#include <QString>

#include <optional>

namespace zavok {

// What a record in these words tells of, as each of its writers words it: for the records that the history stored
// before records carried their facts. A zone's record names its channel, which tells nothing of the zone: its
// subject is 0. Nothing for words no writer uses.
std::optional<RecordFacts> factsOfWords(const QString& message);

} // namespace zavok
