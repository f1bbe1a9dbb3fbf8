#include "support/child_process.h"
#include "support/harness.h"
#include "support/mqtt_broker.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The real program, started as its desktop entry starts it.
namespace zavok::test {
namespace {

TEST(RealProgram, FromTheDesktopEntryItKeepsItsLogsBesideTheSettingsAndEndsWithStatusZero) {
    QTemporaryDir root;
    const QString work = root.filePath(QStringLiteral("work"));
    const QString data = root.filePath(QStringLiteral("xdg/zavok"));
    const QString inputs = root.filePath(QStringLiteral("inputs"));
    QDir().mkpath(work);
    Harness::put(inputs, "240 0 0 0 0\n");
    const auto logsIn = [](const QString& directory) {
        return QDir(directory).entryList({QStringLiteral("* [0-9][0-9].txt")}, QDir::Files);
    };

    Child program(QStringLiteral(ZAVOK_PROGRAM),
                  {QStringLiteral("--logs-in-data-dir"), QStringLiteral("--input=file:") + inputs}, work,
                  isolatedEnvironment(root.path()));
    ASSERT_TRUE(waitFor([&] { return logsIn(data).size() == 1; }));
    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(), 0);
    const QByteArray log = Harness::bytes(QDir(data).filePath(logsIn(data).value(0)));
    EXPECT_TRUE(log.startsWith("\"ZAVOK started at\"")) << log.toStdString();
    EXPECT_TRUE(log.contains("\"ZAVOK closed at\"")) << log.toStdString();
    EXPECT_EQ(logsIn(work), QStringList()) << "nothing in the working directory";
}

TEST(RealProgram, AsAServiceWithoutAnyDisplayItPublishesAndSaysOfflineAtTheEnd) {
    Broker broker;
    if (!broker.available()) {
        GTEST_SKIP() << broker.refusal().toStdString();
    }
    QTemporaryDir root;
    const QString inputs = root.filePath(QStringLiteral("inputs"));
    Harness::put(inputs, "224 0 0 0 0\n");
    QStringList environment = isolatedEnvironment(root.path());
    environment.removeIf([](const QString& e) { return e.startsWith(QStringLiteral("QT_QPA_PLATFORM=")); });
    environment << QStringLiteral("QT_QPA_PLATFORM") << QStringLiteral("DISPLAY") << QStringLiteral("WAYLAND_DISPLAY")
                << QStringLiteral("ZAVOK_MQTT_PASSWORD=") + Broker::kPassword;
    const Listener listener(broker, QStringLiteral("zavok/svc/#"));
    Child program(QStringLiteral(ZAVOK_PROGRAM),
                  {QStringLiteral("--headless"), QStringLiteral("--input=file:") + inputs,
                   QStringLiteral("--mqtt=") + broker.url(), QStringLiteral("--site=svc")},
                  root.path(), environment);
    EXPECT_TRUE(eventually([&] { return listener.hears(QStringLiteral("zavok/svc/alert/1 ON")); }));
    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(), 0);
    EXPECT_TRUE(eventually([&] { return listener.lines().last() == QStringLiteral("zavok/svc/status offline"); }));
}

} // namespace
} // namespace zavok::test
