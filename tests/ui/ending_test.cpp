#include "platform/history_database.h"
#include "platform/history_writer.h"
#include "platform/termination_signals.h"
#include "support/harness.h"
#include "support/modal_boxes.h"
#include "ui/qt_dialogs.h"
#include "ui/renderer.h"
#include "ui/trend_window.h"
#include "ui/window_view.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

// The program ends in order whichever way the end comes, and it ends also while a box waits for the user.
namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;

// A started program on Qt's own boxes, whose end leaves the event loop as the program's does.
class Ending {
public:
    explicit Ending(Harness& h) : h_(h) {
        h.dialogsInUse = &dialogs_;
        Zavok& z = h.start();
        z.onEnded = [] { QCoreApplication::exit(0); };
        QObject::connect(&termination_, &platform::TerminationSignals::received, [&z] { z.shutdown(); });
    }

    // Runs the event loop with `act` as its first event, until the program ends it; its exit status.
    int run(const std::function<void()>& act) {
        QTimer::singleShot(0, act);
        return QCoreApplication::exec();
    }

    void expectOneOrderlyEnd() const {
        EXPECT_TRUE(h_.zavok->hasEnded());
        EXPECT_EQ(h_.logLines().join('\n').count("\"ZAVOK closed at\""), 1);
        EXPECT_EQ(Harness::bytes(h_.dataPath(u"phones.zvk"_s)).count("\r\n"), 46);
    }

private:
    Harness& h_;
    ui::QtDialogs dialogs_;
    platform::TerminationSignals termination_;
};

TEST(Ending, AnOrderlyShutdownEndsTheEventLoopWithStatusZero) {
    const struct {
        const char* trigger;
        std::function<void(const ui::Renderer&, Zavok&)> act;
    } triggers[] = {
        {"EXIT",
         [](const ui::Renderer& r, Zavok& z) {
             QTest::mouseClick(r.view(*z.zavok)->findChild<QPushButton*>(u"exit"_s), Qt::LeftButton);
         }},
        {"close box", [](const ui::Renderer& r, Zavok& z) { r.view(*z.zavok)->close(); }},
        {"SIGTERM", [](const ui::Renderer&, Zavok&) { ::raise(SIGTERM); }},
        {"SIGINT", [](const ui::Renderer&, Zavok&) { ::raise(SIGINT); }},
        {"SIGHUP", [](const ui::Renderer&, Zavok&) { ::raise(SIGHUP); }},
    };
    for (const auto& t : triggers) {
        SCOPED_TRACE(t.trigger);
        Harness h;
        Ending ending(h);
        const ui::Renderer renderer(h.z().desktop, ui::Twips(96));
        h.z().zavok->show();
        EXPECT_EQ(ending.run([&] { t.act(renderer, h.z()); }), 0);
        ending.expectOneOrderlyEnd();
    }
}

// The end comes while the box that a user's action opened waits, after `answered` earlier boxes of the same action
// were answered with "abc". The action must not go on: no box opens after the end, nothing that the box would have
// given is stored, and the end is the orderly one.
TEST(Ending, WhileABoxWaitsNoHandlerGoesOnAndNoBoxOpensAfterwards) {
    const struct {
        const char* box;
        int answered;
        std::function<void(Zavok&)> open;
    } boxes[] = {
        {"meter scale", 0, [](Zavok& z) { z.zavok->mzero[0]->click(); }},
        {"meter scale refusal", 1, [](Zavok& z) { z.zavok->mfsd[1]->click(); }},
        {"circuit name", 0, [](Zavok& z) { z.zavok->clabel[0]->click(); }},
        {"calibration warning", 0,
         [](Zavok& z) {
             ChannelForm& w = z.channel(3);
             w.calibrate.click();
             w.auto_.click(); // to MANUAL
             w.calzerot.typed(u"abc"_s);
             w.calsetzerocom.click();
         }},
        {"alarm limits refusal", 0,
         [](Zavok& z) {
             ChannelForm& w = z.channel(2);
             w.changealarm.click();
             w.setnewlowt.typed(u"abc"_s);
             w.setcom.click();
         }},
        {"picture chooser", 0, [](Zavok& z) { z.zavok->image.click(); }},
        {"log LOAD", 0,
         [](Zavok& z) {
             z.zavok->log.click();
             z.zavoklog->Command1.click();
         }},
    };
    const BoxScript::Action answer = [](QWidget& box) {
        if (auto* input = qobject_cast<QInputDialog*>(&box)) {
            input->setTextValue(u"abc"_s);
        }
        static_cast<QDialog&>(box).accept();
    };
    const BoxScript::Action end = [](QWidget&) { ::raise(SIGTERM); };
    for (const auto& b : boxes) {
        SCOPED_TRACE(b.box);
        Harness h;
        Ending ending(h);
        std::deque<BoxScript::Action> script(std::size_t(b.answered), answer);
        script.push_back(end);
        {
            const BoxScript user(script);
            EXPECT_EQ(ending.run([&] { b.open(h.z()); }), 0);
            EXPECT_TRUE(user.done());
        }
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        ending.expectOneOrderlyEnd();
        EXPECT_EQ(Harness::bytes(h.dataPath(u"phones.zvk"_s)), Harness::phonesFile(Harness::designPhones()));
        EXPECT_EQ(Harness::bytes(h.dataPath(u"apnames.zvk"_s)), QByteArray());

        bool opened = false;
        const BoxScript user({[&opened](QWidget& box) {
            opened = true;
            static_cast<QDialog&>(box).reject();
        }});
        b.open(h.z());
        EXPECT_FALSE(opened);
    }
}

// The program ends while the trend window's box that asks where to save waits: nothing is written.
TEST(Ending, WhileTheTrendsSaveBoxWaitsNothingIsWritten) {
    Harness h;
    Ending ending(h);
    QDir().mkpath(h.picturesDirectory);
    platform::HistoryWriter writer(h.dataPath(platform::HistoryDatabase::kFileName), 400, QDate(2001, 7, 13));
    ui::TrendWindow window(h.z(), 1, writer);
    const BoxScript user({[&h](QWidget& box) {
        static_cast<QFileDialog&>(box).selectFile(QDir(h.picturesDirectory).filePath(u"trend.png"_s));
        ::raise(SIGTERM);
    }});
    EXPECT_EQ(ending.run([&window] { window.findChild<QPushButton*>(u"save"_s)->click(); }), 0);
    EXPECT_TRUE(user.done());
    ending.expectOneOrderlyEnd();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(QDir(h.picturesDirectory).entryList(QDir::Files).isEmpty());
}

} // namespace
} // namespace zavok::test
