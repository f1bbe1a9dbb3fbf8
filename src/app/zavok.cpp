#include "zavok.h"

#include "forms/channel_state.h"
#include "forms/circuit_state.h"
#include "kit/line_encoding.h"
#include "kit/numbers.h"

#include <QDir>

#include <cmath>

namespace zavok {

namespace {

constexpr int kPhonesLines = 46;
constexpr int kCatLines = 8;
constexpr int kApnamesLines = 4;

} // namespace

Zavok::Zavok(const Platform& platform)
    : platform(platform)
    , dialogs(platform.dialogs)
    , desktop(platform.scheduler)
    , log(clock, platform.logDirectory)
    , settings(platform.dataDirectory)
    , zavok(std::make_unique<MainForm>(desktop)) {
    zavok->exit.onClick = [this] { shutdown(); };
    zavok->onCloseRequest = [this] { shutdown(); };
}

Zavok::~Zavok() {
    shutdown();
    // The windows go before the desktop they are registered with.
    zavokhelp.reset();
    zavoklog.reset();
    zavoktimer.reset();
    for (auto& form : zavokform) {
        form.reset();
    }
    zavok.reset();
}

void Zavok::startup() {
    // 1. The data directory, with its parents. Nothing below stops when it cannot be made.
    QDir().mkpath(settings.directory());

    // 2. The hidden windows. They are never drawn until shown, which is as good as showing and hiding them.
    for (int n = 1; n <= 4; ++n) {
        zavokform.at(n - 1) = std::make_unique<ChannelForm>(desktop, n);
    }
    zavoktimer = std::make_unique<TimerForm>(desktop);
    channels =
        std::make_unique<Channels>(std::array{&channel(1), &channel(2), &channel(3), &channel(4)}, *zavok, *zavoktimer,
                                   platform.joysticks, dialogs, platform.bell, settings.directory());
    alerts = std::make_unique<Alerts>(
        *zavok, *zavoktimer, log, platform.port, platform.clock, platform.locale, clock, platform.bell, dialogs,
        [this] { labname(); }, [this] { catfile(); });
    meters = std::make_unique<Meters>(
        *zavok, std::array{zavokform[0].get(), zavokform[1].get(), zavokform[2].get(), zavokform[3].get()}, log,
        dialogs);
    zavok->reset.onClick = [this] { reset(); };
    wireNavigation();

    restorePositions();                                   // 3.
    kit::refresh(clock, platform.clock, platform.locale); // 4.
    zavok->Text1.setText(clock.logday);
    log.append(ActivityLog::kStarted); // 5. A record that cannot be written is skipped.
    restoreNames();                    // 6.
    restoreMainSettings();             // 7.
    copyNamesToZoneLabels();           // 8.
    applyCircuitStates();              // 9.
    applyChannelStates();              // 10.
    copyNamesToZoneLabels();           // 11.
    for (int k = 1; k <= 4; ++k) {     // 12.
        meters->zones.reclassify(k);
    }
}

void Zavok::restorePositions() {
    const auto values = settings.read(SettingsFiles::kCat, kCatLines);
    if (!values) {
        return;
    }
    for (int i = 0; i < kCatLines; ++i) {
        const QString& text = values->at(i);
        // An empty field (a short file) is a position of 0; a field that is no number, or no finite single,
        // cannot be used and is skipped.
        if (!text.isEmpty() && !kit::isNumericText(text)) {
            continue;
        }
        const auto position = float(kit::prefixValue(text));
        if (!std::isfinite(position)) {
            continue;
        }
        kit::Label& indicator = *zavok->indicator.at(i / 2);
        if (i % 2 == 0) {
            indicator.setLeft(position);
        } else {
            indicator.setTop(position);
        }
    }
}

void Zavok::restoreNames() {
    const auto names = settings.read(SettingsFiles::kApnames, kApnamesLines);
    if (!names) {
        return;
    }
    for (int n = 0; n < kApnamesLines; ++n) {
        zavok->clabel.at(n)->setText(names->at(n));
    }
}

void Zavok::restoreMainSettings() {
    const auto values = settings.read(SettingsFiles::kPhones, kPhonesLines);
    if (!values) {
        return;
    }
    zavok->Label5.setText(values->at(0));
    if (zavok->Label5.text().isEmpty()) {
        platform.bell.beep();
    } else if (platform.pictures.canLoad(zavok->Label5.text())) {
        zavok->Image1.setPicture(zavok->Label5.text());
    }
    const auto layout = phonesLayout();
    for (int line = 1; line < kPhonesLines; ++line) {
        layout.at(line)->setText(values->at(line));
    }
}

std::array<kit::Control*, 46> Zavok::phonesLayout() const {
    std::array<kit::Control*, kPhonesLines> layout{};
    std::size_t next = 0;
    auto put = [&](kit::Control& c) { layout.at(next++) = &c; };
    put(zavok->Label5);
    for (auto* c : zavok->mzero) {
        put(*c);
    }
    for (auto* c : zavok->mfsd) {
        put(*c);
    }
    for (const auto& form : zavokform) {
        put(form->setlowl);
        put(form->sethighl);
        put(form->calzvall);
        put(form->calfvall);
    }
    for (const auto& form : zavokform) {
        put(form->fname);
    }
    for (auto* c : zavok->enable) {
        put(*c);
    }
    for (auto* c : zavoktimer->secs) {
        put(*c);
    }
    for (auto* c : zavok->flabel) {
        put(*c);
    }
    for (auto* c : zavok->value) {
        put(*c);
    }
    Q_ASSERT(next == layout.size());
    return layout;
}

void Zavok::copyNamesToZoneLabels() {
    for (int k = 1; k <= 4; ++k) {
        zavok->flabel.at(k - 1)->setText(channel(k).fname.text());
    }
}

void Zavok::applyCircuitStates() {
    for (int n = 1; n <= 4; ++n) {
        kit::Label& sw = *zavok->enable.at(n - 1);
        bool enabled = false;
        if (sw.text() == circuit::kDisabled) {
            sw.setBack(circuit::kSwitchedOff);
        } else if (sw.text() == circuit::kEnabled) {
            sw.setBack(circuit::kSwitchedOn);
            enabled = true;
        } else {
            continue; // any other caption changes nothing
        }
        zavok->indicator.at(n - 1)->setEnabled(enabled);
        zavok->alabel.at(n - 1)->setEnabled(enabled);
    }
}

void Zavok::applyChannelStates() {
    for (int k = 1; k <= 4; ++k) {
        ChannelForm& w = channel(k);
        const bool disabled = zavok->value.at(k - 1)->text() == channel::kDis;
        w.enable.setEnabled(disabled);
        w.enable.setVisible(disabled);
        w.disable.setEnabled(!disabled);
        w.disable.setVisible(!disabled);
        w.Timer1.setEnabled(!disabled);
        if (disabled) {
            w.Picture1.setWidth(channel::kRestBar);
            zavok->pic.at(k - 1)->setWidth(channel::kRestMeterBar);
        }
    }
}

void Zavok::reset() {
    alerts->state.resetReminders();
    meters->zones.reset();
}

void Zavok::shutdown() {
    if (ended_) {
        return;
    }
    ended_ = true;
    // The end may come while a handler waits in a box (a signal at log-off): that handler stops where it is.
    dialogs.end();
    kit::refresh(clock, platform.clock, platform.locale);
    log.append(ActivityLog::kClosed);
    if (zavoktimer) { // a run that never started up has no settings to save
        QList<QByteArray> lines;
        for (kit::Control* c : phonesLayout()) {
            lines.append(kit::line({kit::quotedField(c->text())}));
        }
        if (!settings.write(SettingsFiles::kPhones, lines.join())) {
            qWarning("zavok: could not write %s; the previous settings stay",
                     qUtf8Printable(settings.path(SettingsFiles::kPhones)));
        }
    }
    // Nothing runs after the end: no timer fires again.
    for (kit::Window* w : desktop.windows()) {
        for (kit::Timer* t : w->timers()) {
            t->setEnabled(false);
        }
    }
    if (onEnded) {
        onEnded();
    }
}

void Zavok::catfile() {
    QByteArray content;
    for (kit::Label* indicator : zavok->indicator) {
        content += kit::line({kit::singleText(indicator->left()).toLatin1()});
        content += kit::line({kit::singleText(indicator->top()).toLatin1()});
    }
    settings.write(SettingsFiles::kCat, content);
}

void Zavok::labname() {
    QByteArray content;
    for (kit::Label* name : zavok->clabel) {
        content += kit::line({kit::quotedField(name->text())});
    }
    settings.write(SettingsFiles::kApnames, content);
}

} // namespace zavok
