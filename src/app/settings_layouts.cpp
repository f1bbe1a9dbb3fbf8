#include "settings_layouts.h"

namespace zavok {

std::array<kit::Control*, phones::kLines>
phonesLayout(MainForm& main, const std::array<std::unique_ptr<ChannelForm>, 4>& channels, TimerForm& timer) {
    std::array<kit::Control*, phones::kLines> layout{};
    std::size_t next = 0;
    // Each group begins on the line that the safe reading of the file expects it on.
    auto group = [&](int first) { Q_ASSERT(next == std::size_t(first)); };
    auto put = [&](kit::Control& c) { layout.at(next++) = &c; };
    group(phones::kPicture);
    put(main.Label5);
    group(phones::kMeterLows);
    for (auto* c : main.mzero) {
        put(*c);
    }
    group(phones::kMeterFulls);
    for (auto* c : main.mfsd) {
        put(*c);
    }
    group(phones::kChannelSettings);
    for (const auto& form : channels) {
        put(form->setlowl);
        put(form->sethighl);
        put(form->calzvall);
        put(form->calfvall);
    }
    group(phones::kNames);
    for (const auto& form : channels) {
        put(form->fname);
    }
    group(phones::kCircuits);
    for (auto* c : main.enable) {
        put(*c);
    }
    group(phones::kSamplingTimes);
    for (auto* c : timer.secs) {
        put(*c);
    }
    group(phones::kZoneTexts);
    for (auto* c : main.flabel) {
        put(*c);
    }
    group(phones::kValues);
    for (auto* c : main.value) {
        put(*c);
    }
    group(phones::kLines);
    return layout;
}

} // namespace zavok
