// The settings reader on its three layouts, through the program's own start-up and shutdown. The input holds
// phones.zvk (46 texts), cat.zvk (8 numbers) and apnames.zvk (4 texts), split by a record separator byte (0x1E);
// an input without one stands for all three files at once. Whatever the files hold, start-up ends with usable
// controls, a closed contact 1 raises and logs alert 1 unless its saved circuit caption is exactly "DISABLED",
// shutdown writes a phones.zvk of 46 lines, and what one run saved the next run reads back and saves unchanged.

#include "app/zavok.h"
#include "check.h"
#include "kit/line_encoding.h"
#include "kit/numbers.h"
#include "kit/virtual_scheduler.h"
#include "support/stand_ins.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <cmath>
#include <cstdint>

namespace {

using namespace zavok;
using namespace Qt::StringLiterals;

// One directory for the whole run: making one per input would cost more than the run itself.
const QTemporaryDir root;
const QDir dataDir(root.filePath(u"zavok"_s));
const QString workDir = root.filePath(u"work"_s);
const bool made = QDir().mkpath(dataDir.path()) && QDir().mkpath(workDir);

constexpr std::array kFiles{"phones.zvk", "cat.zvk", "apnames.zvk"};
constexpr qint16 kContact1Closed = 0xFF & ~0x10;

QByteArray bytes(const char* file) {
    QFile f(dataDir.filePath(QString::fromLatin1(file)));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Start-up on the files as they are, a few seconds of monitoring with contact 1 closing and opening again,
// shutdown; phones.zvk as it was saved.
QByteArray run() {
    const bool circuitOff = kit::readFields(bytes("phones.zvk"), 46).at(29) == u"DISABLED"_s;
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
        int raised = 0;
        z.log.observe([&raised](const ActivityLog::Record& r) { raised += r.message == u"Alert #1 activated at"_s; });
        z.startup();
        for (const kit::Label* indicator : z.zavok->indicator) {
            FUZZ_CHECK(std::isfinite(indicator->left()) && std::isfinite(indicator->top()));
        }
        FUZZ_CHECK(z.zavok->enable[0]->text() == (circuitOff ? u"DISABLED"_s : u"ENABLED"_s));
        scheduler.advance(2000);
        // The game port is read at the first sampling time, which a saved file may set to as much as a minute.
        const qint64 poll = kit::samplingPeriod(z.zavoktimer->secs[0]->text()) + 100;
        inputs.port = kContact1Closed;
        scheduler.advance(poll);
        FUZZ_CHECK(raised == (circuitOff ? 0 : 1));
        inputs.port = 0xFF;
        scheduler.advance(poll);
        z.shutdown();
        FUZZ_CHECK(z.hasEnded());
    }
    QFile::remove(QDir(workDir).filePath(u"Jul 13.txt"_s));
    return bytes("phones.zvk");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> parts = input.split('\x1e');
    std::array<QByteArray, kFiles.size()> contents;
    for (std::size_t i = 0; i < contents.size(); ++i) {
        contents[i] = parts.size() == 1 ? input : parts.value(qsizetype(i));
    }

    // The reader alone: every layout gets exactly its count, and a shorter layout is the start of a longer one.
    const QStringList phones = kit::readFields(contents[0], 46);
    FUZZ_CHECK(phones.size() == 46 && kit::readFields(contents[0], 8) == phones.mid(0, 8) &&
               kit::readFields(contents[0], 4) == phones.mid(0, 4));

    FUZZ_CHECK(made);
    for (std::size_t i = 0; i < kFiles.size(); ++i) {
        QFile f(dataDir.filePath(QString::fromLatin1(kFiles[i])));
        FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(contents[i]) == contents[i].size());
    }
    const QByteArray saved = run();
    FUZZ_CHECK(saved.count("\r\n") == 46);
    FUZZ_CHECK(kit::readFields(saved, 47).last().isEmpty()); // nothing after the 46th line
    // cat.zvk and apnames.zvk are written by the user's actions only, never at start-up or shutdown.
    FUZZ_CHECK(bytes("cat.zvk") == contents[1] && bytes("apnames.zvk") == contents[2]);
    FUZZ_CHECK(run() == saved);
    return 0;
}
