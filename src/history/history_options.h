#pragma once

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

} // namespace zavok::history
