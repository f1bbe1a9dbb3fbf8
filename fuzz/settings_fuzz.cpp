// The settings reader on its three layouts, through the program's own start-up and shutdown: the input stands in
// for phones.zvk (46 texts), cat.zvk (8 numbers) and apnames.zvk (4 texts) at once. Whatever the files hold,
// start-up ends with usable controls, shutdown writes a phones.zvk of 46 lines, and what one run saved the next
// run reads back and saves unchanged.

#include "app/zavok.h"
#include "check.h"
#include "kit/line_encoding.h"
#include "kit/virtual_scheduler.h"
#include "support/stand_ins.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdint>
#include <memory>

namespace {

using namespace zavok;

// One directory for the whole run: making one per input would cost more than the run itself.
struct Place {
    QTemporaryDir root;
    QString data = root.filePath(QStringLiteral("zavok"));
    QString work = root.filePath(QStringLiteral("work"));
    Place() {
        QDir().mkpath(data);
        QDir().mkpath(work);
    }
    QString path(const QString& file) const { return QDir(data).filePath(file); }
};

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& content) {
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(f.write(content) == content.size());
}

// One run: start-up on the files as they are, a few seconds of monitoring, shutdown. phones.zvk as it saved it.
QByteArray run(const Place& place) {
    kit::VirtualScheduler scheduler;
    const test::FixedClock clock;
    test::NoDialogs dialogs;
    test::NoBell bell;
    const test::NoPictures pictures;
    // Every axis in the middle, so that the channels that start enabled have something to show.
    test::SteadyInputs inputs(32768, 32768);
    {
        Zavok z({scheduler, clock, QLocale(QLocale::English, QLocale::UnitedStates), dialogs, bell, pictures, inputs,
                 inputs, place.data, place.work, place.work});
        z.startup();
        for (const kit::Label* indicator : z.zavok->indicator) {
            FUZZ_CHECK(std::isfinite(indicator->left()) && std::isfinite(indicator->top()));
        }
        scheduler.advance(2000);
        z.shutdown();
        FUZZ_CHECK(z.hasEnded());
    }
    QFile::remove(QDir(place.work).filePath(QStringLiteral("Jul 13.txt")));
    return bytes(place.path(QStringLiteral("phones.zvk")));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Place place;
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));

    // The reader alone: every layout gets exactly its count, and a shorter layout is the start of a longer one.
    const QStringList phones = kit::readFields(content, 46);
    const QStringList cat = kit::readFields(content, 8);
    const QStringList apnames = kit::readFields(content, 4);
    FUZZ_CHECK(phones.size() == 46 && cat.size() == 8 && apnames.size() == 4);
    FUZZ_CHECK(phones.mid(0, 8) == cat && phones.mid(0, 4) == apnames);

    for (const char* file : {"phones.zvk", "cat.zvk", "apnames.zvk"}) {
        put(place.path(QString::fromLatin1(file)), content);
    }
    const QByteArray saved = run(place);
    FUZZ_CHECK(saved.count("\r\n") == 46);
    FUZZ_CHECK(kit::readFields(saved, 47).last().isEmpty()); // nothing after the 46th line
    // cat.zvk and apnames.zvk are written by the user's actions only, never at start-up or shutdown.
    FUZZ_CHECK(bytes(place.path(QStringLiteral("cat.zvk"))) == content);
    FUZZ_CHECK(bytes(place.path(QStringLiteral("apnames.zvk"))) == content);

    // Reader and writer in step: the program reads back what it saved, and saves it again unchanged.
    FUZZ_CHECK(run(place) == saved);
    return 0;
}
