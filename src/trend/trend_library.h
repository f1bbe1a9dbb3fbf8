#pragma once

#include "kit/dialogs.h"
#include "trends.h"

#include <QLibrary>

#include <memory>

namespace zavok::trend {

// The trend windows of the desktop program, from their library, loaded at the first click on a meter. A library
// that cannot be loaded is said at each click, with the loader's reason, and tried again at the next one, so that
// installing it mends the running program.
class TrendLibrary {
public:
    TrendLibrary(Zavok& core, history::HistoryStore& history, kit::Dialogs& dialogs, const QString& path);
    ~TrendLibrary();
    TrendLibrary(const TrendLibrary&) = delete;
    TrendLibrary& operator=(const TrendLibrary&) = delete;

    void show(int channel);

    // Where the installed program keeps the library, from where it is itself; in a build, the same place relative
    // to the build's program.
    static QString besideProgram();

private:
    Zavok& core_;
    history::HistoryStore& history_;
    kit::Dialogs& dialogs_;
    QLibrary library_;
    std::unique_ptr<Trends> trends_;
};

} // namespace zavok::trend
