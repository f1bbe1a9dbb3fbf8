// Rewrites cat.zvk and apnames.zvk through catfile and labname as fast as it can, each time with new content, until
// it is killed. The crash test kills it at random moments and then finds one whole version of each file.
//
//   zavok_settings_writer DATA_DIRECTORY
//
// The working directory takes the activity log. "ready" appears there once start-up is over.

#include "app/zavok.h"
#include "faults/writer_pattern.h"
#include "kit/virtual_scheduler.h"
#include "support/stand_ins.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

namespace {

using namespace zavok;

// Never outlives the test that starts it, even when that test is gone before it could kill it.
constexpr qint64 kLongestRunMs = 20000;

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: zavok_settings_writer DATA_DIRECTORY\n", stderr);
        return 2;
    }
    kit::VirtualScheduler scheduler;
    const test::FixedClock clock;
    test::NoDialogs dialogs;
    test::NoBell bell;
    const test::NoPictures pictures;
    test::SteadyInputs inputs(0, 0);
    Zavok z({scheduler, clock, QLocale::c(), dialogs, bell, pictures, inputs, inputs, QString::fromLocal8Bit(argv[1]),
             QDir::currentPath(), QDir::currentPath()});
    z.startup();
    QFile(QStringLiteral("ready")).open(QIODevice::WriteOnly);

    QElapsedTimer running;
    running.start();
    for (int write = 1; running.elapsed() < kLongestRunMs; ++write) {
        for (int k = 0; k < 4; ++k) {
            z.zavok->indicator.at(k)->setLeft(test::catValue(write, 2 * k));
            z.zavok->indicator.at(k)->setTop(test::catValue(write, 2 * k + 1));
            z.zavok->clabel.at(k)->setText(test::circuitName(write, k + 1));
        }
        z.catfile();
        z.labname();
    }
    return 1;
}
