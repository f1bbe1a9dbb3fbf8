// Opens every window of the program in the state a user first sees it (the log window with a day's log loaded)
// and saves a picture of each, so that a change to a layout can be looked at without clicking through the
// program. Run it on a real X server (scripts/screenshots uses Xvfb); its settings and log go to a scratch folder.

#include "app/zavok.h"
#include "platform/real_time_scheduler.h"
#include "platform/system_clock.h"
#include "support/stand_ins.h"
#include "ui/qt_pictures.h"
#include "ui/renderer.h"
#include "ui/window_view.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace {

// Whatever a box would ask is answered at once: the log window's LOAD chooses the day's log.
class AnsweringDialogs final : public zavok::kit::Dialogs {
public:
    QString logFile;
    void message(const QString&, const QString&) override {}
    QString input(const QString&, const QString&, const QString& proposal) override { return proposal; }
    std::optional<QString> openFile(const zavok::kit::OpenFileRequest&) override { return logFile; }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    QDir().mkpath(out.path());
    QTemporaryDir scratch;

    zavok::platform::RealTimeScheduler scheduler;
    const zavok::platform::SystemClock clock;
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
    auto save = [&](const zavok::kit::Window& window, const QString& name) {
        QWidget* view = renderer.view(window);
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
    save(*z.zavok, QStringLiteral("main"));
    z.zavok->frame[0]->click();
    settle();
    save(z.channel(1), QStringLiteral("channel"));
    z.channel(1).fclose.click();
    z.zavok->timerset.click();
    settle();
    save(*z.zavoktimer, QStringLiteral("sampling-times"));
    z.zavoktimer->fclose.click();
    z.zavok->log.click();
    z.zavoklog->Command1.click();
    settle();
    save(*z.zavoklog, QStringLiteral("log"));
    z.zavok->help.click();
    settle();
    save(*z.zavokhelp, QStringLiteral("help"));
    z.shutdown();
    return status;
}
