#pragma once

#include "trend_window.h"

#include <QObject>
#include <QPointer>

#include <array>

namespace zavok::trend {

// The trend windows of the desktop program, one per channel at most: a click on a meter whose window is open
// brings it to the front. A closed window is gone, and the next click makes a fresh one.
class TrendWindows final : public QObject {
    Q_OBJECT

public:
    TrendWindows(Zavok& core, history::HistoryStore& history);
    ~TrendWindows() override;
    TrendWindows(const TrendWindows&) = delete;
    TrendWindows& operator=(const TrendWindows&) = delete;

    // Opens or raises the window of channel 1..4.
    TrendWindow& show(int channel);

private:
    Zavok& core_;
    history::HistoryStore& history_;
    std::array<QPointer<TrendWindow>, 4> windows_;
};

} // namespace zavok::trend
