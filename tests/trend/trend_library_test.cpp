#include "history/history_database.h"
#include "history/history_store.h"
#include "support/harness.h"
#include "support/qt_environment.h"
#include "trend/trend_library.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

ZAVOK_TEST_APPLICATION(QApplication)

// The trend windows' library as the desktop program loads it. This test program exports the core and the history
// that the library takes from it, and holds no trend window code of its own.
namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;

QStringList shownTrendWindows() {
    QStringList titles;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window->inherits("zavok::trend::TrendWindow") && window->isVisible()) {
            titles << window->windowTitle();
        }
    }
    return titles;
}

TEST(TrendLibrary, OpensOneWindowPerChannelAndSaysAtEachClickWhyALibraryCannotBeLoaded) {
    Harness h;
    Zavok& core = h.start();
    history::HistoryStore store(h.dataPath(history::HistoryDatabase::kFileName), 400, QDate(2001, 7, 13));
    const QString missing = h.dataPath(u"none.so"_s);
    const QString notALibrary = h.dataPath(u"text.so"_s);
    Harness::put(notALibrary, "not a library\n");
    for (const QString& path : {missing, notALibrary}) {
        SCOPED_TRACE(path.toStdString());
        h.dialogs.asked.clear();
        trend::TrendLibrary trends(core, store, h.dialogs, path);
        trends.show(2);
        trends.show(2);
        const QStringList told = h.dialogs.messages();
        ASSERT_EQ(told.size(), 2) << "each click says so";
        EXPECT_TRUE(told.at(0).startsWith(u"The trend window cannot be opened: "_s)) << told.at(0).toStdString();
        EXPECT_TRUE(told.at(0).contains(path)) << "the loader's reason names the file";
        EXPECT_EQ(h.dialogs.asked.at(0).title, kit::kCautionTitle);
        EXPECT_EQ(shownTrendWindows(), QStringList());
    }
    h.dialogs.asked.clear();
    trend::TrendLibrary trends(core, store, h.dialogs, QStringLiteral(ZAVOK_TREND_LIBRARY));
    trends.show(2);
    trends.show(2);
    trends.show(4);
    EXPECT_EQ(h.dialogs.messages(), QStringList());
    QStringList shown = shownTrendWindows();
    shown.sort();
    EXPECT_EQ(shown, (QStringList{u"ZAVOK trend - Flow"_s, u"ZAVOK trend - Volume"_s}));
}

} // namespace
} // namespace zavok::test
