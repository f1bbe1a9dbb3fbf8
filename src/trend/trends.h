#pragma once

namespace zavok {
class Zavok;
} // namespace zavok

namespace zavok::history {
class HistoryStore;
} // namespace zavok::history

namespace zavok::trend {

// The trend windows as the desktop program sees them. They live in a library of their own, loaded at the first
// click on a meter, so that a program that is only watched never loads Qt Charts.
class Trends {
public:
    virtual ~Trends() = default;
    // Opens or raises the window of channel 1..4.
    virtual void show(int channel) = 0;
};

// The library's one entry point: trend windows over `core` and `history`, which the caller owns.
using MakeTrends = Trends* (*)(Zavok& core, history::HistoryStore& history);
inline constexpr const char* kMakeTrends = "zavok_make_trends";

} // namespace zavok::trend
