#include "support/started_program.h"

#include <gtest/gtest.h>

namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;

using Program = StartedProgram;

TEST_F(Program, SamplingTimesCarryTheChannelNamesAndApplyOnlyAChosenEntry) {
    channel(3).fname.setText(u"Boiler"_s);
    main().timerset.click();
    TimerForm& t = *z->zavoktimer;
    EXPECT_TRUE(t.isVisible());
    EXPECT_EQ(t.time[1]->text() + u'/' + t.time[3]->text() + u'/' + t.time[4]->text(), u"Pressure/Boiler/Flow"_s);
    t.time[3]->click();
    EXPECT_FALSE(t.secs[3]->isVisible());
    EXPECT_TRUE(t.sec[3]->isVisible() && t.sec[3]->hasFocus());
    t.sec[3]->typed(u"7"_s); // typing is not choosing
    EXPECT_EQ(t.secs[3]->text(), u"0.5"_s);
    t.sec[3]->chosen(int(t.sec[3]->items().indexOf(u"2"_s)));
    EXPECT_EQ(t.secs[3]->text(), u"2"_s);
    EXPECT_TRUE(t.secs[3]->isVisible() && !t.sec[3]->isEnabled());
    t.time[0]->click();
    EXPECT_TRUE(t.sec[0]->isVisible() && !t.secs[0]->isVisible());
    t.fclose.click(); // abandons the choice in progress
    EXPECT_TRUE(!t.isVisible() && !t.sec[0]->isVisible() && t.secs[0]->isVisible());
    EXPECT_EQ(t.secs[0]->text(), u"0.1"_s);
    // Opened again, each box shows what was last chosen in it, whatever its label reads now.
    t.secs[3]->setText(u"5"_s);
    main().timerset.click();
    t.time[3]->click();
    t.time[4]->click();
    EXPECT_EQ(t.sec[3]->text() + u'/' + t.secs[3]->text() + u' ' + t.sec[4]->text(), u"2/5 0.5"_s);
}

} // namespace
} // namespace zavok::test
