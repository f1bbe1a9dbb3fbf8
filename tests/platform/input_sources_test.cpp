#include "platform/input_sources.h"

#include <gtest/gtest.h>

namespace zavok::platform {
namespace {

TEST(InputSourcesFactory, TheRealPortIsRefusedWithTheReasonAndTheOtherSourcesWhenUnreachable) {
    auto made = InputSources::create({InputOptions::Source::IoPort, {}}, false, [](const QString&) {});
    // Which way this goes depends on the machine: root on an x86 kernel that offers port access, or not.
    if (const auto* refusal = std::get_if<StartRefusal>(&made)) {
        EXPECT_EQ(refusal->exitStatus, 2);
        EXPECT_TRUE(refusal->message.startsWith(QStringLiteral("zavok: --input=ioport: ")));
        EXPECT_TRUE(refusal->message.contains(QStringLiteral("0x201")));
        for (const char* alternative : {"--input=joystick", "--input=sim", "--input=file:PATH"}) {
            EXPECT_TRUE(refusal->message.contains(QLatin1String(alternative))) << refusal->message.toStdString();
        }
        EXPECT_FALSE(refusal->message.contains(u'\n'));
    } else {
        const qint16 byte = std::get<std::unique_ptr<InputSources>>(made)->port().Inzavok(0x201);
        EXPECT_GE(byte, 0);
        EXPECT_LE(byte, 255);
    }
}

} // namespace
} // namespace zavok::platform
