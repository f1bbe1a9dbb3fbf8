#include "system/end_before_exit.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <thread>

namespace zavok::system {
namespace {

QStringList said;

void keep(QtMsgType, const QMessageLogContext&, const QString& message) {
    said << message;
}

// Qt's X11 plugin says that the display's connection broke and then calls exit(), whose handlers would take apart
// what was loaded after the start: the end runs as it is said, on the main thread, once, and what is said is still
// told.
TEST(EndBeforeExit, RunsOnceAsQtSaysTheDisplayBrokeOnTheMainThread) {
    const QtMessageHandler before = qInstallMessageHandler(&keep);
    const QString broke = QStringLiteral("The X11 connection broke (error 1). Did the X11 server die?");
    int ended = 0;
    {
        const EndBeforeExit end([&ended] { ++ended; });
        qWarning("QXcbConnection: XCB error: 3 (BadWindow)");
        std::thread([&broke] { qWarning("%s", qPrintable(broke)); }).join();
        EXPECT_EQ(ended, 0) << "nothing else said, and nothing said on another thread";
        qWarning("%s", qPrintable(broke));
        EXPECT_EQ(ended, 1);
        qWarning("The X11 connection broke: I/O error (code 1)");
        EXPECT_EQ(ended, 1) << "once";
    }
    EXPECT_EQ(qInstallMessageHandler(before), &keep) << "the handler before it is back once it is gone";
    EXPECT_EQ(said.size(), 4);
    EXPECT_EQ(said.count(broke), 2);
}

} // namespace
} // namespace zavok::system
