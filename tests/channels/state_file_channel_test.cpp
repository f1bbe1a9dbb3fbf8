#include "platform/state_file.h"
#include "support/harness.h"

#include <gtest/gtest.h>

namespace zavok::test {
namespace {

// The whole program reading its inputs from a state file, as `--input=file:PATH` runs it.
TEST(StateFileChannel, AStateFileAxisReachesTheZoneAndItsSampleFile) {
    Harness h;
    const QString state = h.root.filePath(QStringLiteral("inputs.txt"));
    Harness::put(state, "240 32750 0 0 0\n");
    platform::StateFileSource source(
        state, [](const QString&) {}, [&h] { return h.scheduler.now(); });
    QStringList saved = Harness::designPhones();
    saved[42] = QStringLiteral("0"); // channel 1 was enabled at the last shutdown
    Harness::put(h.dataPath(QStringLiteral("phones.zvk")), Harness::phonesFile(saved));
    // Every joystick reading comes from the state file.
    h.joysticks.reader = [&source](int id, kit::JOYINFO& info) { source.joyGetPos(id, info); };
    Zavok& z = h.start();

    h.scheduler.advance(1000);
    EXPECT_EQ(z.zavok->value[0]->text(), QStringLiteral("50"));
    QByteArray expected;
    for (int i = 0; i < 100; ++i) {
        expected += "32750\r\n";
    }
    EXPECT_EQ(Harness::bytes(h.dataPath(QStringLiteral("x1values.zvk"))), expected);

    QStringList zoneTexts;
    QObject::connect(z.zavok->flabel[0], &kit::Control::changed, [&] { zoneTexts.append(z.zavok->flabel[0]->text()); });
    Harness::put(state, "240 0 0 0 0\n");
    h.scheduler.advance(500);
    EXPECT_EQ(z.zavok->value[0]->text(), QStringLiteral("DIS"));
    EXPECT_FALSE(z.channel(1).Timer1.isEnabled());
    EXPECT_TRUE(z.channel(1).enable.isEnabled());
    EXPECT_TRUE(zoneTexts.contains(QStringLiteral("NO INPUT")));

    z.shutdown();
    const QList<QByteArray> phones = Harness::bytes(h.dataPath(QStringLiteral("phones.zvk"))).split('\n');
    ASSERT_GE(phones.size(), 43);
    EXPECT_EQ(phones[42], QByteArray("\"DIS\"\r"));
}

} // namespace
} // namespace zavok::test
