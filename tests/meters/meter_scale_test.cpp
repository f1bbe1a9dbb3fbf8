#include "support/harness.h"

#include <gtest/gtest.h>

namespace zavok::test {
namespace {

const QString kCaution = QStringLiteral("CAUTION !!! CAUTION !!! CAUTION !!!");
const QString kLowError = QStringLiteral("ERROR : Type the low value for the meter between 0 to 100");
const QString kFullError = QStringLiteral("ERROR : Type the full scale value for the meter between 0 to 500");
const QString kOrderError = QStringLiteral("ERROR : Full Scale value should be greater than Low value");

struct Case {
    const char* name;
    QStringList answers;  // in the order the boxes ask
    QStringList messages; // every refusal shown, in order
    const char* low;      // the captions afterwards
    const char* full;
};

TEST(MeterScale, AnswersAreCheckedRoundedAndStored) {
    const auto s = [](const char* t) { return QString::fromLatin1(t); };
    const Case cases[] = {
        {"bounds", {s("0"), s("500")}, {}, "0", "500"},
        {"equal", {s("100"), s("100"), s("0"), s("100")}, {kOrderError}, "0", "100"},
        {"low refused",
         {s("101"), s("-1"), s("abc"), s(""), s("5"), s("50")},
         {kLowError, kLowError, kLowError, kLowError},
         "5",
         "50"},
        {"full refused", {s("0"), s("500.4"), s("499.6")}, {kFullError}, "0", "500"},
        {"rounded", {s("10.4"), s("10.6")}, {}, "10", "11"},
        {"rounded equal", {s("11.5"), s("11.6"), s("12.5"), s("13.5")}, {kOrderError}, "12", "14"},
        {"exponent and blanks", {s(" 1e1 "), s("2E2")}, {}, "10", "200"},
        {"negative zero", {s("-0"), s("1")}, {}, "0", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Harness h;
        Zavok& z = h.start();
        for (const QString& a : c.answers) {
            h.dialogs.answerInput(a);
        }
        z.zavok->mfsd[2]->click(); // either label opens the same dialog, beginning with the low value
        QStringList messages;
        for (const auto& asked : h.dialogs.asked) {
            if (asked.kind == QStringLiteral("message")) {
                EXPECT_EQ(asked.title, kCaution);
                messages.append(asked.text);
            }
        }
        EXPECT_EQ(messages, c.messages);
        EXPECT_EQ(z.zavok->mzero[2]->text(), QString::fromLatin1(c.low));
        EXPECT_EQ(z.zavok->mfsd[2]->text(), QString::fromLatin1(c.full));
    }
}

TEST(MeterScale, BoxesCarryTheZoneNumberAndFixedDefaults) {
    Harness h;
    Zavok& z = h.start();
    h.dialogs.answerInput(QStringLiteral("1"));
    h.dialogs.answerInput(QStringLiteral("2"));
    z.zavok->mzero[3]->click();
    ASSERT_EQ(h.dialogs.asked.size(), 2u);
    EXPECT_EQ(h.dialogs.asked[0].title, QStringLiteral("METER #4 LOW READING"));
    EXPECT_EQ(h.dialogs.asked[0].text, QStringLiteral("Type the least value for the meter between 0 to 100"));
    EXPECT_EQ(h.dialogs.asked[0].proposal, QStringLiteral("0"));
    EXPECT_EQ(h.dialogs.asked[1].title, QStringLiteral("METER #4 FULL SCALE READING"));
    EXPECT_EQ(h.dialogs.asked[1].text, QStringLiteral("Type the full scale value for the meter between 0 to 500"));
    EXPECT_EQ(h.dialogs.asked[1].proposal, QStringLiteral("100"));
    EXPECT_EQ(z.zavok->flabel[3]->text(), QStringLiteral("Flow")) << "nothing is classified again";
}

} // namespace
} // namespace zavok::test
