#include "zavok.h"

#include "app/phones_readings.h"
#include "app/settings_layouts.h"
#include "forms/channel_state.h"
#include "forms/circuit_state.h"
#include "kit/numbers.h"
#include "kit/printable.h"

#include <QDir>

#include <cmath>

namespace zavok {

Zavok::Zavok(const Platform& platform)
    : platform(platform)
    , dialogs(platform.dialogs)
    , desktop(platform.scheduler)
    , log(clock, platform.logDirectory, platform.tell)
    , settings(platform.dataDirectory)
    , zavok(std::make_unique<MainForm>(desktop)) {
    zavok->exit.onClick = [this] { shutdown(); };
    zavok->onCloseRequest = [this] { shutdown(); };
    log.onWritten = [this] {
        if (logViewer_) {
            logViewer_->follow();
        }
    };
}

Zavok::~Zavok() {
    shutdown();
    // The windows go before the desktop they are registered with.
    zavokhelp.reset();
    logViewer_.reset();
    zavoklog.reset();
    zavoktimer.reset();
    for (auto& form : zavokform) {
        form.reset();
    }
    zavok.reset();
}

void Zavok::startup() {
    // The data directory, with its parents. Nothing below stops when it cannot be made.
    QDir().mkpath(settings.directory());

    // The hidden windows and the subsystems that work them. The windows are never drawn until shown, which is as
    // good as showing and hiding them.
    for (int n = 1; n <= 4; ++n) {
        zavokform.at(n - 1) = std::make_unique<ChannelForm>(desktop, n);
    }
    zavoktimer = std::make_unique<TimerForm>(desktop);
    channels =
        std::make_unique<Channels>(std::array{&channel(1), &channel(2), &channel(3), &channel(4)}, *zavok, *zavoktimer,
                                   platform.joysticks, dialogs, platform.bell, settings.directory());
    alerts = std::make_unique<Alerts>(
        *zavok, *zavoktimer, log, platform.port, platform.joysticks, platform.clock, platform.locale, clock,
        platform.bell, dialogs, [this] { labname(); }, [this] { catfile(); });
    meters = std::make_unique<Meters>(
        *zavok, std::array{zavokform[0].get(), zavokform[1].get(), zavokform[2].get(), zavokform[3].get()}, log,
        dialogs);
    zavok->reset.onClick = [this] { reset(); };
    wireNavigation();

    SettingsDamage damage;
    // The indicators go where cat.zvk put them; then the clock texts are read, and the day's log opens with the
    // start record (one that cannot be written waits for the disk).
    restorePositions(damage);
    kit::refresh(clock, platform.clock, platform.locale);
    zavok->Text1.setText(clock.logday);
    log.append(ActivityLog::kStarted, {RecordKind::Started});
    // The channel names of apnames.zvk, and every other setting as phones.zvk holds it.
    restoreNames(damage);
    const auto phones = readMainSettings(damage);
    // Said before the damaged file is put into the controls, so that the record comes before whatever that logs.
    if (!damage.isEmpty()) {
        say(damage.told(settings.directory()));
        log.append(SettingsDamage::kRecord, {RecordKind::SettingsDamaged});
    }
    if (phones) {
        restoreMainSettings(*phones);
    }
    // The zone labels take the restored channel names; each circuit and each channel takes the state its restored
    // caption says; the zone labels take the names once more; and every zone saved on is classified before the first
    // tick.
    copyNamesToZoneLabels();
    applyCircuitStates();
    applyChannelStates();
    copyNamesToZoneLabels();
    for (int k = 1; k <= 4; ++k) {
        meters->zones.reclassify(k);
    }
}

void Zavok::restorePositions(SettingsDamage& damage) {
    const auto read = settings.read(SettingsFiles::kCat, kCatLines, SettingsFiles::Fields::Numbers);
    if (!read) {
        return;
    }
    if (read->damagedFrom != 0) {
        damage.notAsWritten(SettingsFiles::kCat, read->damagedFrom);
    }
    for (int i = 0; i < kCatLines; ++i) {
        const QString& text = read->values.at(i);
        // An empty field (a short file) is a position of 0; a field that is no number, or no finite single,
        // cannot be used and is skipped.
        const auto position = float(kit::prefixValue(text));
        if ((!text.isEmpty() && !kit::isNumericText(text)) || !std::isfinite(position)) {
            damage.damagedLine(SettingsFiles::kCat, i + 1, text, QStringLiteral("skipped: the indicator stays"));
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

void Zavok::restoreNames(SettingsDamage& damage) {
    const auto read = settings.read(SettingsFiles::kApnames, kApnamesLines, SettingsFiles::Fields::Texts);
    if (!read) {
        return;
    }
    if (read->damagedFrom != 0) {
        damage.notAsWritten(SettingsFiles::kApnames, read->damagedFrom);
    }
    for (int n = 0; n < kApnamesLines; ++n) {
        zavok->clabel.at(n)->setText(read->values.at(n));
    }
}

std::optional<QStringList> Zavok::readMainSettings(SettingsDamage& damage) const {
    const auto read = settings.read(SettingsFiles::kPhones, phones::kLines, SettingsFiles::Fields::Texts);
    if (!read) {
        return std::nullopt;
    }
    if (read->damagedFrom != 0) {
        damage.notAsWritten(SettingsFiles::kPhones, read->damagedFrom);
    }
    const auto layout = phonesLayout(*zavok, zavokform, *zavoktimer);
    // Before anything is restored, the controls hold their design-time values, which a damaged line falls back on.
    phones::Rules rules{{}, channel(1).fname.maxLength(), {}};
    for (const kit::Control* c : layout) {
        rules.design.append(c->text());
    }
    for (int row = 0; row < 5; ++row) {
        rules.samplingChoices.at(row) = zavoktimer->sec.at(row)->items();
    }
    QStringList values = read->values;
    phones::makeSafe(values, rules, damage);
    return values;
}

void Zavok::restoreMainSettings(const QStringList& values) {
    zavok->Label5.setText(SettingsFiles::fileName(values.at(phones::kPicture)));
    if (zavok->Label5.text().isEmpty()) {
        platform.bell.beep();
    } else if (platform.pictures.canLoad(zavok->Label5.text())) {
        zavok->Image1.setPicture(zavok->Label5.text());
    }
    const auto layout = phonesLayout(*zavok, zavokform, *zavoktimer);
    for (int line = phones::kPicture + 1; line < phones::kLines; ++line) {
        layout.at(line)->setText(values.at(line));
    }
}

void Zavok::copyNamesToZoneLabels() {
    for (int k = 1; k <= 4; ++k) {
        zavok->flabel.at(k - 1)->setText(channel(k).fname.text());
    }
}

void Zavok::applyCircuitStates() {
    // Restoring phones.zvk left every caption "ENABLED" or "DISABLED".
    for (int n = 1; n <= 4; ++n) {
        kit::Label& sw = *zavok->enable.at(n - 1);
        const bool enabled = sw.text() != circuit::kDisabled;
        sw.setBack(enabled ? circuit::kSwitchedOn : circuit::kSwitchedOff);
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
    log.append(ActivityLog::kClosed, {RecordKind::Closed});
    savePhones();
    log.end();
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

void Zavok::say(const QString& line) const {
    if (platform.tell) {
        platform.tell(line);
    }
}

void Zavok::savePhones() {
    if (!zavoktimer) { // a run that never started up has no settings to save
        return;
    }
    QByteArray content;
    for (const kit::Control* c : phonesLayout(*zavok, zavokform, *zavoktimer)) {
        content += savedLine(*c);
    }
    if (!settings.write(SettingsFiles::kPhones, content)) {
        say(QStringLiteral("zavok: could not write %1; the previous settings stay")
                .arg(kit::printable(settings.path(SettingsFiles::kPhones))));
    }
}

QByteArray Zavok::savedLine(const kit::Control& c) const {
    if (&c == &zavok->Label5) {
        return SettingsFiles::fileNameLine(c.text());
    }
    // A channel switched on shows "DIS" until its first value, and "DIS" starts a channel switched off: a run that
    // ends, or loses its power, before that value must not switch monitoring off for the next. Empty, it starts on
    // and shows nothing until it reads.
    for (int n = 1; n <= 4; ++n) {
        if (&c == zavok->value.at(n - 1) && c.text() == channel::kDis && channel(n).disable.isEnabled()) {
            return SettingsFiles::textLine({});
        }
    }
    return SettingsFiles::textLine(c.text());
}

void Zavok::catfile() {
    QByteArray content;
    for (kit::Label* indicator : zavok->indicator) {
        content += SettingsFiles::numberLine(indicator->left());
        content += SettingsFiles::numberLine(indicator->top());
    }
    settings.write(SettingsFiles::kCat, content);
}

void Zavok::labname() {
    QByteArray content;
    for (kit::Label* name : zavok->clabel) {
        content += SettingsFiles::textLine(name->text());
    }
    settings.write(SettingsFiles::kApnames, content);
}

} // namespace zavok
