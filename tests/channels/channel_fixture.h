#pragma once

#include "support/harness.h"

#include <QObject>

#include <gtest/gtest.h>

#include <vector>

namespace zavok::test {

// A started program (every channel off, as on a first run) whose channel axes and timers the test drives.
class ChannelTest : public ::testing::Test {
protected:
    void SetUp() override { z = &h.start(); }

    ChannelForm& form(int n = 1) { return z->channel(n); }
    MainForm& main() { return *z->zavok; }

    // Every reading of channel n's axis from now on.
    void axis(int n, quint32 reading) {
        kit::JOYINFO& stick = h.joysticks.stick[(n - 1) / 2];
        (n % 2 == 1 ? stick.wXpos : stick.wYpos) = reading;
    }
    // ENABLE, then the first tick at the design period.
    void switchOn(int n = 1) {
        form(n).enable.click();
        tick(n);
    }
    // Exactly one period of channel n's timer.
    void tick(int n = 1) { h.scheduler.advance(form(n).Timer1.interval()); }

    Harness h;
    Zavok* z = nullptr;
};

// How controls look, one word each: the name, then '+' shown and enabled, '-' shown and disabled, '.' hidden
// and disabled, '*' hidden but enabled; text boxes add 'L' when locked. One comparison then checks a state.
inline QString faces(std::initializer_list<const kit::Control*> controls) {
    QStringList words;
    for (const kit::Control* c : controls) {
        QString word =
            c->name() + QChar(c->isVisible() ? (c->isEnabled() ? u'+' : u'-') : (c->isEnabled() ? u'*' : u'.'));
        if (const auto* box = qobject_cast<const kit::TextBox*>(c); box && box->isLocked()) {
            word += u'L';
        }
        words.append(word);
    }
    return words.join(u' ');
}

// What reached the watched controls, in order: texts, and widths as "width N"; `seen` adds what else the test
// wants to know at that moment.
class Trace {
public:
    void watch(kit::Control& control, std::function<QString()> seen = {}) {
        QObject::connect(&control, &kit::Control::changed, [this, &control, seen](kit::Property property) {
            if (property != kit::Property::Text && property != kit::Property::Place) {
                return;
            }
            QString entry =
                control.name() + u' ' +
                (property == kit::Property::Text ? control.text()
                                                 : QStringLiteral("width ") + QString::number(control.width()));
            events.push_back(seen ? QString(entry + QStringLiteral(" | ") + seen()) : entry);
        });
    }

    std::vector<QString> events;
};

} // namespace zavok::test
