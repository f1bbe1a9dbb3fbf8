// The started program on its input state file, against what an input in trouble must never do. The program runs
// on a sound file with every channel switched on; then the input becomes the file for a few seconds, and then the
// sound file comes back. A file that is no sound state (not five whole numbers in range) is a trouble that is logged
// when it comes and when it goes, and meanwhile no alert changes and every channel shows what it showed before; only
// a sound reading of 0, which is no input, switches a channel off.

#include "app/zavok.h"
#include "check.h"
#include "inputs/state_file.h"
#include "kit/virtual_scheduler.h"
#include "support/stand_ins.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <cstdint>

namespace {

using namespace zavok;
using namespace Qt::StringLiterals;

const QTemporaryDir root;
const QString dataDir = root.filePath(u"zavok"_s);
const QString workDir = root.filePath(u"work"_s);
const QString stateFile = root.filePath(u"inputs"_s);
const bool made = QDir().mkpath(dataDir) && QDir().mkpath(workDir);

bool put(const QByteArray& content) {
    QFile f(stateFile);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

std::array<QString, 4> values(const Zavok& z) {
    std::array<QString, 4> shown;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        shown[i] = z.zavok->value[i]->text();
    }
    return shown;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto parsed = inputs::parseStateFile(content);
    const auto* snapshot = std::get_if<inputs::InputSnapshot>(&parsed);
    const bool trouble = snapshot == nullptr;
    FUZZ_CHECK(made && put("255 13100 32750 20000 40000\n"));
    kit::VirtualScheduler scheduler;
    const test::FixedClock clock;
    test::NoDialogs dialogs;
    test::NoBell bell;
    const test::NoPictures pictures;
    inputs::StateFileSource inputs(
        stateFile, [](const QString&) {}, [&scheduler] { return scheduler.now(); });
    {
        Zavok z({scheduler, clock, QLocale(QLocale::English, QLocale::UnitedStates), dialogs, bell, pictures, inputs,
                 inputs, dataDir, workDir, workDir});
        QStringList heard;
        z.log.observe([&heard](const ActivityLog::Record& r) { heard << r.message; });
        z.startup();
        for (int k = 1; k <= 4; ++k) {
            z.channel(k).enable.click();
        }
        scheduler.advance(2000);
        const std::array<QString, 4> before = values(z);
        const qsizetype records = heard.size();
        FUZZ_CHECK(put(content));
        scheduler.advance(3000);
        for (std::size_t i = 0; i < 4; ++i) {
            FUZZ_CHECK(values(z)[i] != u"DIS"_s || (snapshot != nullptr && snapshot->channels[i] == 0));
        }
        if (trouble) {
            FUZZ_CHECK(heard.mid(records) == QStringList{u"Input fault at"_s});
            FUZZ_CHECK(values(z) == before);
        }
        FUZZ_CHECK(put("255 13100 32750 20000 40000\n"));
        scheduler.advance(1000);
        FUZZ_CHECK(!trouble || heard.count(u"Input restored at"_s) == 1);
        z.shutdown();
    }
    QFile::remove(QDir(workDir).filePath(u"Jul 13.txt"_s));
    QDir(dataDir).removeRecursively();
    QDir().mkpath(dataDir);
    return 0;
}
