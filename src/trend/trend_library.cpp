#include "trend_library.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zavok::trend {

TrendLibrary::TrendLibrary(Zavok& core, history::HistoryStore& history, kit::Dialogs& dialogs, const QString& path)
    : core_(core)
    , history_(history)
    , dialogs_(dialogs)
    , library_(path) {
    // Every symbol the library takes from the program is bound as it loads: a missing one fails the click, not a
    // later draw.
    library_.setLoadHints(QLibrary::ResolveAllSymbolsHint);
}

// The windows go before the library that holds their code; the library itself stays loaded to the end, as the
// program's own code would.
TrendLibrary::~TrendLibrary() = default;

void TrendLibrary::show(int channel) {
    if (trends_ == nullptr) {
        // A symbol's address comes back as a function pointer of no type; the library's entry has this one.
        const auto make = library_.load()
                              ? reinterpret_cast<MakeTrends>( // NOLINT(cppcoreguidelines-pro-type-reinterpret-cast)
                                    library_.resolve(kMakeTrends))
                              : nullptr;
        if (make == nullptr) {
            dialogs_.message(kit::kCautionTitle,
                             QStringLiteral("The trend window cannot be opened: ") + library_.errorString());
            return;
        }
        trends_.reset(make(core_, history_));
    }
    trends_->show(channel);
}

QString TrendLibrary::besideProgram() {
    const QDir here = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).dir();
    return QDir::cleanPath(here.filePath(QStringLiteral(ZAVOK_PLUGINS_FROM_BINDIR "/zavok-trend.so")));
}

} // namespace zavok::trend
