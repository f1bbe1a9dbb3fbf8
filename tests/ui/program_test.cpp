#include "history/history_store.h"
#include "support/history_run.h"
#include "support/modal_boxes.h"
#include "system/termination_signals.h"
#include "trend/trend_window.h"
#include "ui/qt_dialogs.h"
#include "ui/renderer.h"
#include "ui/window_view.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;

// The end comes by the user or by a signal, also while the box that a user's action opened waits after `answered`
// earlier boxes were answered with "abc" (none opens where `answered` is -1), a chooser with a picture's name in it.
// The end is the orderly one, and the action does not go on: nothing is stored, and no box opens after the end.
TEST(Ending, EveryWayOfEndingIsOrderlyAlsoWhileABoxWaits) {
    const std::tuple<const char*, int, std::function<void(Zavok&, QWidget & view)>> cases[] = {
        {"EXIT", -1,
         [](Zavok&, QWidget& view) { QTest::mouseClick(view.findChild<QPushButton*>(u"exit"_s), Qt::LeftButton); }},
        {"close box", -1, [](Zavok&, QWidget& view) { view.close(); }},
        {"SIGTERM", -1, [](Zavok&, QWidget&) { ::raise(SIGTERM); }},
        {"SIGINT", -1, [](Zavok&, QWidget&) { ::raise(SIGINT); }},
        {"SIGHUP", -1, [](Zavok&, QWidget&) { ::raise(SIGHUP); }},
        {"meter scale", 0, [](Zavok& z, QWidget&) { z.zavok->mzero[0]->click(); }},
        {"meter scale refusal", 1, [](Zavok& z, QWidget&) { z.zavok->mfsd[1]->click(); }},
        {"circuit name", 0, [](Zavok& z, QWidget&) { z.zavok->clabel[0]->click(); }},
        {"calibration warning", 0,
         [](Zavok& z, QWidget&) {
             z.channel(3).calibrate.click();
             z.channel(3).auto_.click(); // to MANUAL
             z.channel(3).calzerot.typed(u"abc"_s);
             z.channel(3).calsetzerocom.click();
         }},
        {"alarm limits refusal", 0,
         [](Zavok& z, QWidget&) {
             z.channel(2).changealarm.click();
             z.channel(2).setnewlowt.typed(u"abc"_s);
             z.channel(2).setcom.click();
         }},
        {"picture chooser", 0, [](Zavok& z, QWidget&) { z.zavok->image.click(); }},
        {"log LOAD", 0,
         [](Zavok& z, QWidget&) {
             z.zavok->log.click();
             z.zavoklog->Command1.click();
         }},
        {"trend picture", 0,
         [](Zavok& z, QWidget&) {
             history::HistoryStore history(QDir(z.platform.dataDirectory).filePath(history::HistoryDatabase::kFileName),
                                           400, QDate(2001, 7, 13));
             trend::TrendWindow(z, 1, history).findChild<QPushButton*>(u"save"_s)->click();
         }},
    };
    const BoxScript::Action answer = [](QWidget& box) {
        if (auto* input = qobject_cast<QInputDialog*>(&box)) {
            input->setTextValue(u"abc"_s);
        }
        static_cast<QDialog&>(box).accept();
    };
    for (const auto& [how, answered, open] : cases) {
        SCOPED_TRACE(how);
        Harness h;
        ui::QtDialogs dialogs;
        h.dialogsInUse = &dialogs;
        Zavok& z = h.start();
        z.onEnded = [] { QCoreApplication::exit(0); };
        system::TerminationSignals termination;
        QObject::connect(&termination, &system::TerminationSignals::received, [&z] { z.shutdown(); });
        const ui::Renderer renderer(z.desktop, ui::Twips(96));
        z.zavok->show();
        QWidget& view = *renderer.view(*z.zavok);
        const QDir pictures(h.picturesDirectory);
        QDir().mkpath(pictures.path());
        std::deque<BoxScript::Action> script(std::size_t(std::max(answered, 0)), answer);
        if (answered >= 0) {
            script.push_back([&pictures](QWidget& box) {
                if (auto* chooser = qobject_cast<QFileDialog*>(&box)) {
                    chooser->selectFile(pictures.filePath(u"trend.png"_s));
                }
                ::raise(SIGTERM);
            });
        }
        {
            const BoxScript user(script);
            QTimer::singleShot(0, [&] { open(z, view); });
            EXPECT_EQ(QCoreApplication::exec(), 0);
            EXPECT_TRUE(user.done());
        }
        EXPECT_TRUE(z.hasEnded());
        EXPECT_EQ(h.logLines().join('\n').count("\"ZAVOK closed at\""), 1);
        EXPECT_EQ(Harness::bytes(h.dataPath(u"phones.zvk"_s)), Harness::phones());
        EXPECT_EQ(Harness::bytes(h.dataPath(u"apnames.zvk"_s)), QByteArray());
        EXPECT_TRUE(pictures.entryList(QDir::Files).isEmpty());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        if (answered >= 0) {
            const BoxScript user({[](QWidget& box) {
                ADD_FAILURE() << "a box opened after the end";
                static_cast<QDialog&>(box).reject();
            }});
            open(z, view);
        }
    }
}

} // namespace
} // namespace zavok::test
