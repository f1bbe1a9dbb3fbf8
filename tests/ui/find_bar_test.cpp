#include "support/harness.h"
#include "ui/renderer.h"
#include "ui/window_view.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <array>

namespace zavok::test {
namespace {

// A day's log in the log window: Ctrl+F opens the bar under the text, typing finds the first match, Enter and F3 go
// on (round the end), Shift goes back, every match on the screen is highlighted, and Esc gives the text its designed
// place back.
TEST(FindBar, FindsEveryMatchOfTheLogForwardAndBackAndLeavesTheLayoutAsDesigned) {
    Harness h;
    Zavok& z = h.start();
    const ui::Renderer renderer(z.desktop, ui::Twips(96));
    z.zavok->log.click();
    // "alert" stands at 14, 36 and 47 of the text the box shows, one character to each line end.
    z.zavoklog->Text1.setText(QStringLiteral("ZAVOK started\r\nAlert 1 on\r\nHigh Alarm\r\nALERT 2 on\r\nalert 1 off"));
    const std::array alerts{14, 36, 47};

    QWidget* view = renderer.view(*z.zavoklog);
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view));
    auto* editor = view->findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    auto* bar = view->findChild<QWidget*>(QStringLiteral("Text1Find"));
    ASSERT_TRUE(editor != nullptr && bar != nullptr);
    const QRect designed = editor->geometry();
    EXPECT_FALSE(bar->isVisible());

    QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(editor->geometry().united(bar->geometry()), designed) << "the bar takes the bottom of the text's place";
    auto* query = bar->findChild<QLineEdit*>(QStringLiteral("query"));
    ASSERT_TRUE(query->hasFocus());
    QTest::keyClicks(query, QStringLiteral("alert"));

    const auto* count = bar->findChild<QLabel*>(QStringLiteral("count"));
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::size_t match;
    } steps[] = {
        {Qt::Key_unknown, {}, 0}, // as typed
        {Qt::Key_Return, {}, 1},
        {Qt::Key_F3, {}, 2},
        {Qt::Key_F3, {}, 0},                    // round the end
        {Qt::Key_Return, Qt::ShiftModifier, 2}, // and back round the start
        {Qt::Key_F3, Qt::ShiftModifier, 1},
    };
    for (const auto& step : steps) {
        if (step.key != Qt::Key_unknown) {
            QTest::keyClick(query, step.key, step.modifiers);
        }
        SCOPED_TRACE(step.match);
        EXPECT_EQ(editor->textCursor().selectionStart(), alerts[step.match]);
        EXPECT_EQ(editor->textCursor().selectedText().toLower(), QStringLiteral("alert"));
        EXPECT_EQ(count->text(), QStringLiteral("%1 of 3").arg(step.match + 1));
        EXPECT_EQ(editor->extraSelections().size(), 3);
    }

    QTest::keyClicks(query, QStringLiteral("s"));
    EXPECT_EQ(count->text(), QStringLiteral("No match"));
    EXPECT_TRUE(editor->extraSelections().isEmpty());

    QTest::keyClick(query, Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(editor->geometry(), designed);
    EXPECT_TRUE(editor->extraSelections().isEmpty());
}

} // namespace
} // namespace zavok::test
