// Opens every window of the program in the state a user first sees it (the log window with a day's log loaded, the
// trend window with a made-up day of channel 1) and saves a picture of each, so that a change to a layout can be looked
// at without clicking through the program. Run it on a real X server (scripts/screenshots uses Xvfb); its settings and
// log go to a scratch folder.

#include "app/zavok.h"
#include "history/history_database.h"
#include "history/history_store.h"
#include "support/stand_ins.h"
#include "system/real_time_scheduler.h"
#include "system/system_clock.h"
#include "trend/trend_window.h"
#include "ui/find_bar.h"
#include "ui/qt_pictures.h"
#include "ui/renderer.h"
#include "ui/window_view.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <cmath>

namespace {

// Whatever a box would ask is answered at once: the log window's LOAD chooses the day's log.
class AnsweringDialogs final : public zavok::kit::Dialogs {
public:
    QString logFile;
    void message(const QString&, const QString&) override {}
    QString input(const QString&, const QString&, const QString& proposal) override { return proposal; }
    std::optional<QString> openFile(const zavok::kit::OpenFileRequest&) override { return logFile; }
};

// A day of channel 1 that warms up slowly through its high alarm limit and back, ending now, with the alarms its
// zone would have logged.
void makeHistory(const QString& path, const QDateTime& now) {
    namespace history = zavok::history;
    const qint64 end = history::minuteOf(now.toSecsSinceEpoch());
    history::HistoryBatch day{end, {}, {}};
    bool alarm = false;
    for (qint64 m = end - 24 * 60; m < end; ++m) {
        const double t = double(end - m) / 60;
        const double mean = 52 + 18 * std::sin(t / 3.5) + 4 * std::sin(t * 1.7);
        const double spread = 2 + std::fmod(double(m) * 7.3, 3.0);
        day.minutes.push_back({m, 1, mean - spread, mean, mean + spread, 600});
        if ((mean > 70) != alarm) {
            alarm = !alarm;
            day.records.push_back(
                {m * 60,
                 1,
                 alarm ? QStringLiteral("Pressure High Alarm at") : QStringLiteral("Pressure Normal at"),
                 {},
                 {},
                 alarm ? zavok::RecordKind::ZoneHighAlarm : zavok::RecordKind::ZoneNormal});
        }
    }
    history::HistoryDatabase db;
    db.open(path, history::HistoryDatabase::Access::ReadWrite);
    db.write(day);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    QDir().mkpath(out.path());
    QTemporaryDir scratch;

    zavok::system::RealTimeScheduler scheduler;
    const zavok::system::SystemClock clock;
    AnsweringDialogs dialogs;
    zavok::test::NoBell bell;
    const zavok::ui::QtPictures pictures;
    // Every contact at rest, every axis a little under its middle.
    zavok::test::SteadyInputs inputs(32750, 20000);
    zavok::Zavok z({scheduler, clock, QLocale::system(), dialogs, bell, pictures, inputs, inputs,
                    scratch.filePath(QStringLiteral("data")), scratch.path(), scratch.path()});
    const zavok::ui::Renderer renderer(z.desktop);
    z.startup();
    z.zavok->show();
    // Channel 1 sampling, so that its zone and window show a value and a bar.
    z.channel(1).enable.click();
    dialogs.logFile = z.log.fileName();

    QTextStream err(stderr);
    int status = 0;
    auto save = [&](QWidget* view, const QString& name) {
        const QString path = out.filePath(name + QStringLiteral(".png"));
        if (view == nullptr || !view->grab().save(path)) {
            err << "zavok_screenshots: could not save " << path << Qt::endl;
            status = 1;
            return;
        }
        err << path << Qt::endl;
    };
    // A few event-loop turns for the windows to be laid out, and for channel 1's first ticks.
    auto settle = [] {
        QEventLoop loop;
        QTimer::singleShot(1500, &loop, &QEventLoop::quit);
        loop.exec();
    };

    settle();
    save(renderer.view(*z.zavok), QStringLiteral("main"));
    z.zavok->frame[0]->click();
    settle();
    save(renderer.view(z.channel(1)), QStringLiteral("channel"));
    z.channel(1).fclose.click();
    z.zavok->timerset.click();
    settle();
    save(renderer.view(*z.zavoktimer), QStringLiteral("sampling-times"));
    z.zavoktimer->fclose.click();
    z.zavok->log.click();
    z.zavoklog->Command1.click();
    settle();
    save(renderer.view(*z.zavoklog), QStringLiteral("log"));
    // The same with its find bar open on a word of the log.
    if (auto* find = renderer.view(*z.zavoklog)->findChild<zavok::ui::FindBar*>()) {
        find->open();
        find->findChild<QLineEdit*>()->setText(QStringLiteral("normal"));
        settle();
        save(renderer.view(*z.zavoklog), QStringLiteral("log-find"));
        find->close();
    }
    z.zavok->help.click();
    settle();
    save(renderer.view(*z.zavokhelp), QStringLiteral("help"));

    const QString history =
        QDir(scratch.filePath(QStringLiteral("data"))).filePath(zavok::history::HistoryDatabase::kFileName);
    makeHistory(history, clock.now());
    z.channel(1).setlowl.setText(QStringLiteral("25"));
    z.channel(1).sethighl.setText(QStringLiteral("70"));
    zavok::history::HistoryStore writer(history, 400, clock.now().date());
    zavok::trend::TrendWindow trend(z, 1, writer);
    trend.show();
    settle();
    save(&trend, QStringLiteral("trend"));
    z.shutdown();
    return status;
}
