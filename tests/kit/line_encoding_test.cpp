#include "kit/line_encoding.h"

#include <gtest/gtest.h>

namespace zavok::kit {
namespace {

TEST(LineEncoding, WritesQuotedTextsBareNumbersAndCrLf) {
    EXPECT_EQ(line({quotedField(QStringLiteral("Tank 1, north"))}), QByteArray("\"Tank 1, north\"\r\n"));
    EXPECT_EQ(line({quotedField(QString())}), QByteArray("\"\"\r\n"));
    EXPECT_EQ(line({QByteArray("1440")}), QByteArray("1440\r\n"));
    EXPECT_EQ(line({quotedField(QStringLiteral("a")), quotedField(QStringLiteral("b"))}),
              QByteArray("\"a\",\"b\"\r\n"));
}

TEST(LineEncoding, CharactersThatWouldCutAFieldAreReplaced) {
    EXPECT_EQ(quotedField(QStringLiteral("say \"hi\"")), QByteArray("\"say 'hi'\""));
    EXPECT_EQ(quotedField(QStringLiteral("two\r\nlines")), QByteArray("\"two  lines\""));
    EXPECT_EQ(quotedField(QStringLiteral("Küche €")), QByteArray("\"K\xFC"
                                                                 "che ?\""));
}

TEST(LineEncoding, ReadsBackWhatItWrote) {
    const QStringList texts{QStringLiteral("Tank 1, north"), QString(), QStringLiteral("DIS"), QStringLiteral(" 25"),
                            QString::fromLatin1("K\xFC"
                                                "che")};
    QByteArray file;
    for (const QString& t : texts) {
        file += line({quotedField(t)});
    }
    EXPECT_EQ(readFields(file, int(texts.size())), texts);
}

TEST(LineEncoding, ReaderToleratesDamage) {
    // Short: the missing fields come back empty. Long: the rest is ignored.
    EXPECT_EQ(readFields("\"a\"\r\n", 3), (QStringList{QStringLiteral("a"), QString(), QString()}));
    EXPECT_EQ(readFields("1\r\n2\r\n3\r\n", 2), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    // Bare tokens, blanks before a field, commas as separators, LF-only line ends.
    EXPECT_EQ(readFields("  12 , -3\n\"x\"", 3),
              (QStringList{QStringLiteral("12"), QStringLiteral("-3"), QStringLiteral("x")}));
    // Junk after a closing quote belongs to no field.
    EXPECT_EQ(readFields("\"a\"junk,\"b\"\r\n", 2), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    // A quote left open runs to the next quote, across line ends; one never closed takes the rest of the file.
    EXPECT_EQ(readFields("\"open\r\n\"x\"", 2), (QStringList{QStringLiteral("open\r\n"), QString()}));
    EXPECT_EQ(readFields("\"open\r\nrest", 2), (QStringList{QStringLiteral("open\r\nrest"), QString()}));
    // NUL bytes and binary are just Latin-1 characters.
    EXPECT_EQ(readFields(QByteArray("\"a\0b\"", 5), 1), QStringList{QString::fromLatin1("a\0b", 3)});
    EXPECT_EQ(readFields(QByteArray(), 2), (QStringList{QString(), QString()}));
}

} // namespace
} // namespace zavok::kit
