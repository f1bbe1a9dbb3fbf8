#pragma once

#include "kit/option_rules.h"

#include <QDate>

#include <optional>

namespace zavok::history {

// How many days of minute rows the history keeps unless told otherwise.
inline constexpr int kDefaultHistoryDays = 400;

// The history's minute rows, printed as CSV: one channel or all, between two days (both included).
struct HistoryExport {
    std::optional<int> channel; // 1..4; every channel when unset
    std::optional<QDate> from;
    std::optional<QDate> to;

    friend bool operator==(const HistoryExport&, const HistoryExport&) = default;
};

// --history-days, --history-csv, --from and --to: their rules, their lines of the usage, and their reading into the
// days the history keeps and the export asked for (each left as it is where not given).
kit::OptionRules historyRules();
QString historyUsage();
std::optional<kit::Refusal> readHistoryOptions(const kit::Settings& settings, int& days,
                                               std::optional<HistoryExport>& csv);

} // namespace zavok::history
