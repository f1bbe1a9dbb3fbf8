// The settings reader on its three layouts, through the program's own start-up and shutdown: the input stands in
// for phones.zvk (46 texts), cat.zvk (8 numbers) and apnames.zvk (4 texts) at once. Whatever the files hold,
// start-up ends with usable controls, shutdown writes a phones.zvk of 46 lines, and what one run saved the next
// run reads back and saves unchanged.

#include "app/zavok.h"
#include "check.h"
#include "kit/line_encoding.h"
#include "kit/virtual_scheduler.h"
#include "support/stand_ins.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdint>

namespace {

using namespace zavok;

// One directory for the whole run: making one per input would cost more than the run itself.
const QTemporaryDir root;
const QDir dataDir(root.filePath(QStringLiteral("zavok")));
const QString workDir = root.filePath(QStringLiteral("work"));
const bool made = QDir().mkpath(dataDir.path()) && QDir().mkpath(workDir);

QByteArray bytes(const char* file) {
    QFile f(dataDir.filePath(QString::fromLatin1(file)));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Start-up on the files as they are, a few seconds of monitoring, shutdown; phones.zvk as it was saved.
QByteArray run() {
    kit::VirtualScheduler scheduler;
    const test::FixedClock clock;
    test::NoDialogs dialogs;
    test::NoBell bell;
    const test::NoPictures pictures;
    // Every axis in the middle, so that the channels that start enabled have something to show.
    test::SteadyInputs inputs(32768, 32768);
    {
        Zavok z({scheduler, clock, QLocale(QLocale::English, QLocale::UnitedStates), dialogs, bell, pictures, inputs,
                 inputs, dataDir.path(), workDir, workDir});
        z.startup();
        for (const kit::Label* indicator : z.zavok->indicator) {
            FUZZ_CHECK(std::isfinite(indicator->left()) && std::isfinite(indicator->top()));
        }
        scheduler.advance(2000);
        z.shutdown();
        FUZZ_CHECK(z.hasEnded());
    }
    QFile::remove(QDir(workDir).filePath(QStringLiteral("Jul 13.txt")));
    return bytes("phones.zvk");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));

    // The reader alone: every layout gets exactly its count, and a shorter layout is the start of a longer one.
    const QStringList phones = kit::readFields(content, 46);
    FUZZ_CHECK(phones.size() == 46 && kit::readFields(content, 8) == phones.mid(0, 8) &&
               kit::readFields(content, 4) == phones.mid(0, 4));

    FUZZ_CHECK(made);
    for (const char* file : {"phones.zvk", "cat.zvk", "apnames.zvk"}) {
        QFile f(dataDir.filePath(QString::fromLatin1(file)));
        FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size());
    }
    const QByteArray saved = run();
    FUZZ_CHECK(saved.count("\r\n") == 46);
    FUZZ_CHECK(kit::readFields(saved, 47).last().isEmpty()); // nothing after the 46th line
    // cat.zvk and apnames.zvk are written by the user's actions only, never at start-up or shutdown.
    FUZZ_CHECK(bytes("cat.zvk") == content && bytes("apnames.zvk") == content);
    FUZZ_CHECK(run() == saved);
    return 0;
}
