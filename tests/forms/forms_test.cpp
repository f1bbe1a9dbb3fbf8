#include "forms/channel_form.h"
#include "forms/help_form.h"
#include "forms/log_form.h"
#include "forms/main_form.h"
#include "forms/timer_form.h"
#include "kit/desktop.h"
#include "kit/virtual_scheduler.h"

#include <QFile>
#include <QTextStream>

#include <gtest/gtest.h>

namespace zavok::test {
namespace {

QString colour(std::optional<kit::Rgb> rgb) {
    return rgb ? QStringLiteral("%1,%2,%3").arg(rgb->r).arg(rgb->g).arg(rgb->b) : QStringLiteral("-");
}

// One line per window, control and timer, with every property the user sees or the program decides by.
QString described(const kit::Window& window) {
    QString text;
    QTextStream out(&text);
    const kit::WindowDesign& d = window.design();
    out << "window " << window.name() << " \"" << d.caption << "\" " << colour(d.back) << ' ' << d.width << 'x'
        << d.height << " border " << int(d.border) << (d.centred ? " centred" : "") << '\n';
    for (const kit::Control* c : window.controls()) {
        const kit::Place& p = c->place();
        const kit::Font& f = c->font();
        out << "  " << int(c->kind()) << ' ' << c->name() << " \"" << c->text() << "\" " << p.left << ',' << p.top
            << ' ' << p.width << 'x' << p.height << " back " << colour(c->back()) << " fore " << colour(c->fore())
            << " font " << f.points << (f.bold ? "b" : "") << ' ' << int(f.family) << " align " << int(c->align())
            << (c->isEnabled() ? "" : " disabled") << (c->isVisible() ? "" : " hidden")
            << (c->hasBorder() ? " border" : "") << (c->isDraggable() ? " draggable" : "")
            << (c->container() ? QStringLiteral(" in ") + c->container()->name() : QString()) << " tip \"" << c->tip()
            << '"';
        if (const auto* box = qobject_cast<const kit::TextBox*>(c)) {
            out << " max " << box->maxLength() << (box->isLocked() ? " locked" : "")
                << (box->isMultiline() ? " multiline" : "");
        }
        if (const auto* combo = qobject_cast<const kit::ComboBox*>(c)) {
            out << " items " << combo->items().join(u'|');
        }
        out << '\n';
    }
    for (const kit::Timer* t : window.timers()) {
        out << "  timer " << t->objectName() << ' ' << t->interval() << (t->isEnabled() ? " on" : " off") << '\n';
    }
    return text;
}

// The windows' looks and words are what the user knows the program by, and the colours are its annunciation: a
// change to any of them must be meant, and then shows in the reviewed designs file.
TEST(Forms, EveryWindowIsAsDesigned) {
    kit::VirtualScheduler scheduler;
    kit::Desktop desktop(scheduler);
    MainForm main(desktop);
    TimerForm timer(desktop);
    HelpForm help(desktop);
    LogForm log(desktop);
    std::vector<std::unique_ptr<ChannelForm>> channels;
    for (int n = 1; n <= 4; ++n) {
        channels.push_back(std::make_unique<ChannelForm>(desktop, n));
    }
    QString actual;
    for (const kit::Window* window : desktop.windows()) {
        actual += described(*window);
    }
    QFile expected(QStringLiteral(ZAVOK_DESIGNS));
    ASSERT_TRUE(expected.open(QIODevice::ReadOnly)) << ZAVOK_DESIGNS;
    const QStringList want = QString::fromUtf8(expected.readAll()).split(u'\n');
    const QStringList got = actual.split(u'\n');
    if (got != want) {
        // The whole of it, to diff against the designs file and to take over once the change is meant.
        QFile written(QStringLiteral("designs.actual.txt"));
        EXPECT_TRUE(written.open(QIODevice::WriteOnly) && written.write(actual.toUtf8()) == actual.toUtf8().size());
    }
    for (qsizetype i = 0; i < std::max(want.size(), got.size()); ++i) {
        ASSERT_EQ(got.value(i).toStdString(), want.value(i).toStdString())
            << "line " << i + 1 << " of " << ZAVOK_DESIGNS;
    }
}

} // namespace
} // namespace zavok::test
