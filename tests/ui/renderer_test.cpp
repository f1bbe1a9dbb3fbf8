#include "kit/desktop.h"
#include "kit/pictures.h"
#include "kit/virtual_scheduler.h"
#include "ui/image_widget.h"
#include "ui/renderer.h"
#include "ui/window_view.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace zavok::ui {
namespace {

constexpr kit::Rgb kCyan{192, 255, 255};
constexpr kit::Rgb kYellow{255, 255, 0};
constexpr kit::Rgb kRed{255, 0, 0};
constexpr kit::Rgb kBlue{128, 128, 255};

QColor colour(kit::Rgb rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

// Counts the clicks that reach a widget from the controls on it.
class ClickCounter final : public QObject {
public:
    ClickCounter(int& clicks, QObject* parent) : QObject(parent), clicks_(clicks) {}
    bool eventFilter(QObject*, QEvent* event) override {
        clicks_ += event->type() == QEvent::MouseButtonPress ? 1 : 0;
        return false;
    }

private:
    int& clicks_;
};

// A window with a control of every kind, drawn at 96 pixels to the inch: 15 twips to the pixel.
class RendererTest : public ::testing::Test {
protected:
    RendererTest() {
        window = std::make_unique<kit::Window>(
            desktop, QStringLiteral("form"),
            kit::WindowDesign{.caption = QStringLiteral("Form"), .back = kCyan, .width = 5760, .height = 4320});
        kit::Window& w = *window;
        name = &w.add<kit::Label>(QStringLiteral("name"), {.text = QStringLiteral("Front Door"),
                                                           .place = {150, 300, 1500, 300},
                                                           .back = kYellow,
                                                           .fore = kRed,
                                                           .align = kit::Align::Right});
        w.add<kit::Label>(QStringLiteral("paragraph"),
                          {.text = QStringLiteral("Several lines of help"), .place = {1800, 300, 900, 900}});
        zone = &w.add<kit::Frame>(QStringLiteral("zone"),
                                  {.text = QStringLiteral("Zone 1"), .place = {3000, 150, 2400, 2400}, .back = kBlue});
        reading =
            &w.add<kit::Label>(QStringLiteral("reading"),
                               {.text = QStringLiteral("DIS"), .place = {300, 600, 900, 300}, .enabled = false}, zone);
        ok = &w.add<kit::Button>(QStringLiteral("ok"),
                                 {.text = QStringLiteral("OK"), .place = {150, 900, 900, 360}, .back = kYellow});
        entry = &w.add<kit::TextBox>(QStringLiteral("entry"),
                                     {.place = {150, 1500, 1200, 300}, .align = kit::Align::Centre, .maxLength = 5});
        notes = &w.add<kit::TextBox>(QStringLiteral("notes"), {.text = QStringLiteral("first\r\nsecond"),
                                                               .place = {1500, 1500, 1200, 600},
                                                               .locked = true,
                                                               .multiline = true});
        choice = &w.add<kit::ComboBox>(QStringLiteral("choice"),
                                       {.text = QStringLiteral("0.5"), .place = {150, 2100, 1200, 330}}, nullptr,
                                       QStringList{QStringLiteral("0.1"), QStringLiteral("0.5"), QStringLiteral("1")});
        plan = &w.add<kit::Image>(QStringLiteral("plan"), {.place = {0, 2700, 2880, 1440}});
        marker = &w.add<kit::Label>(QStringLiteral("marker"),
                                    {.text = QStringLiteral("#1"), .place = {150, 3000, 360, 300}, .draggable = true});
    }

    ~RendererTest() override {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    WindowView& shown() {
        window->show();
        return *renderer.view(*window);
    }

    template <class W = QWidget> W& widget(const QString& objectName) {
        W* found = shown().findChild<W*>(objectName);
        EXPECT_NE(found, nullptr) << objectName.toStdString();
        return *found;
    }

    kit::VirtualScheduler scheduler;
    kit::Desktop desktop{scheduler};
    Renderer renderer{desktop, Twips(96)};
    std::unique_ptr<kit::Window> window;
    kit::Label* name;
    kit::Frame* zone;
    kit::Label* reading;
    kit::Button* ok;
    kit::TextBox* entry;
    kit::TextBox* notes;
    kit::ComboBox* choice;
    kit::Image* plan;
    kit::Label* marker;
};

TEST_F(RendererTest, AWindowIsDrawnWhenFirstShownAndGoesWithTheKitWindow) {
    EXPECT_EQ(renderer.view(*window), nullptr) << "its controls do not exist when the window is made";
    const QPointer<WindowView> view = &shown();
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Form"));
    EXPECT_EQ(view->size(), QSize(384, 288));
    EXPECT_EQ(view->minimumSize(), view->maximumSize()) << "the window has a fixed size";
    EXPECT_EQ(view->palette().color(QPalette::Window), colour(kCyan));
    EXPECT_FALSE(view->windowFlags() & Qt::FramelessWindowHint);

    window->hide();
    EXPECT_FALSE(view->isVisible());
    window->setCaption(QStringLiteral("Renamed"));
    window->show();
    EXPECT_EQ(renderer.view(*window), view.data()) << "shown again, the same drawing";
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Renamed"));

    window.reset();
    EXPECT_FALSE(view->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(view.isNull());

    kit::Window plain(desktop, QStringLiteral("plain"),
                      {.back = kCyan, .width = 1500, .height = 1500, .border = kit::Border::None, .centred = true});
    plain.show();
    EXPECT_TRUE(renderer.view(plain)->windowFlags() & Qt::FramelessWindowHint);
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((renderer.view(plain)->geometry().center() - centre).manhattanLength(), 2);
}

TEST_F(RendererTest, EveryControlShowsWhatTheKitHoldsAndFollowsItsChanges) {
    auto& label = widget<QLabel>(QStringLiteral("name"));
    EXPECT_EQ(label.text(), QStringLiteral("Front Door"));
    EXPECT_EQ(label.geometry(), QRect(10, 20, 100, 20));
    EXPECT_EQ(label.palette().color(QPalette::Window), colour(kYellow));
    EXPECT_EQ(label.palette().color(QPalette::WindowText), colour(kRed));
    EXPECT_TRUE(label.alignment() & Qt::AlignRight);
    // A caption too long for its label runs on to the next line where there is one, and is cut where there is not.
    EXPECT_FALSE(label.wordWrap());
    EXPECT_TRUE(widget<QLabel>(QStringLiteral("paragraph")).wordWrap());

    name->setText(QStringLiteral("Back Door"));
    name->setBack(kBlue);
    name->setLeft(300);
    name->setWidth(3000);
    name->setVisible(false);
    EXPECT_EQ(label.text(), QStringLiteral("Back Door"));
    EXPECT_EQ(label.palette().color(QPalette::Window), colour(kBlue));
    EXPECT_EQ(label.geometry(), QRect(20, 20, 200, 20));
    EXPECT_FALSE(label.isVisible());
    // Numbers from a damaged file put a control far away, but the program goes on.
    name->setLeft(1e30F);
    EXPECT_EQ(label.x(), QWIDGETSIZE_MAX);

    // A control in a frame is placed from the frame's corner, and keeps its own look, not the frame's.
    auto& frame = widget<QGroupBox>(QStringLiteral("zone"));
    EXPECT_EQ(frame.title(), QStringLiteral("Zone 1"));
    auto& inFrame = widget<QLabel>(QStringLiteral("reading"));
    EXPECT_EQ(inFrame.parentWidget(), &frame);
    EXPECT_EQ(inFrame.geometry(), QRect(20, 40, 60, 20));
    EXPECT_EQ(inFrame.palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window));
    EXPECT_FALSE(inFrame.isEnabled());
    reading->setEnabled(true);
    EXPECT_TRUE(inFrame.isEnabled());

    EXPECT_EQ(widget<QPushButton>(QStringLiteral("ok")).palette().color(QPalette::Button), colour(kYellow));
    auto& notesBox = widget<QPlainTextEdit>(QStringLiteral("notes"));
    EXPECT_EQ(notesBox.toPlainText(), QStringLiteral("first\nsecond"));
    EXPECT_TRUE(notesBox.isReadOnly());
    notes->setLocked(false);
    EXPECT_FALSE(notesBox.isReadOnly());
    EXPECT_EQ(widget<QComboBox>(QStringLiteral("choice")).currentText(), QStringLiteral("0.5"));

    EXPECT_TRUE(widget<QLineEdit>(QStringLiteral("entry")).alignment() & Qt::AlignHCenter);
    window->setFocus(entry);
    EXPECT_EQ(shown().focusWidget(), &widget(QStringLiteral("entry")));
}

TEST_F(RendererTest, AnImageShowsItsPictureStretchedAndKeepsItForAFileThatIsNone) {
    EXPECT_EQ(QImage(kit::kFloorPlanPicture).size(), QSize(366, 240));
    EXPECT_FALSE(QImage(kit::kCloseIcon).isNull());
    auto centre = [&] {
        const QImage drawn = widget(QStringLiteral("plan")).grab().toImage();
        return drawn.pixelColor(drawn.width() / 2, drawn.height() / 2);
    };
    EXPECT_NE(centre(), colour(kCyan)) << "without a picture of its own, the built-in one";

    QTemporaryDir dir;
    const QString red = dir.filePath(QStringLiteral("red.png"));
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(red));
    plan->setPicture(red);
    EXPECT_EQ(centre(), QColor(Qt::red));
    plan->setPicture(dir.filePath(QStringLiteral("missing.png")));
    EXPECT_EQ(centre(), QColor(Qt::red));
}

TEST_F(RendererTest, ClicksReachOnlyAnEnabledControl) {
    int nameClicks = 0, nameDoubleClicks = 0, frameClicks = 0, readingClicks = 0, okClicks = 0, markerClicks = 0;
    name->onClick = [&] { ++nameClicks; };
    name->onDoubleClick = [&] { ++nameDoubleClicks; };
    zone->onClick = [&] { ++frameClicks; };
    reading->onClick = [&] { ++readingClicks; };
    ok->onClick = [&] { ++okClicks; };
    marker->onClick = [&] { ++markerClicks; };

    QTest::mouseClick(&widget(QStringLiteral("ok")), Qt::LeftButton);
    EXPECT_EQ(okClicks, 1);
    ok->setEnabled(false);
    QTest::mouseClick(&widget(QStringLiteral("ok")), Qt::LeftButton);
    EXPECT_EQ(okClicks, 1);

    // A double click as the desktop sends it: a click, a press that is also a double click, a release.
    QWidget& label = widget(QStringLiteral("name"));
    QTest::mouseClick(&label, Qt::LeftButton);
    QTest::mousePress(&label, Qt::LeftButton);
    QTest::mouseDClick(&label, Qt::LeftButton);
    QTest::mouseRelease(&label, Qt::LeftButton);
    EXPECT_EQ(nameClicks, 1);
    EXPECT_EQ(nameDoubleClicks, 1);

    // A disabled control takes no click, and the frame or window under it does not take it either.
    QTest::mouseClick(&widget(QStringLiteral("reading")), Qt::LeftButton);
    EXPECT_EQ(readingClicks, 0);
    EXPECT_EQ(frameClicks, 0);
    int windowClicks = 0;
    shown().installEventFilter(new ClickCounter(windowClicks, &shown()));
    entry->setEnabled(false);
    QTest::mouseClick(&widget(QStringLiteral("entry")), Qt::LeftButton);
    EXPECT_EQ(windowClicks, 0);
    QTest::mouseClick(&widget(QStringLiteral("zone")), Qt::LeftButton, {}, QPoint(150, 150));
    EXPECT_EQ(frameClicks, 1);

    // A control that drags by itself is dragged, not clicked.
    QTest::mouseClick(&widget(QStringLiteral("marker")), Qt::LeftButton);
    EXPECT_EQ(markerClicks, 0);
}

TEST_F(RendererTest, TypingAndChoosingGoThroughTheKit) {
    int changes = 0;
    entry->onChange = [&] { ++changes; };
    auto& edit = widget<QLineEdit>(QStringLiteral("entry"));
    QTest::keyClicks(&edit, QStringLiteral("12"));
    EXPECT_EQ(entry->text(), QStringLiteral("12"));
    EXPECT_EQ(changes, 2);
    // The kit keeps five characters, and the box shows what the kit keeps.
    QTest::keyClicks(&edit, QStringLiteral("34567"));
    EXPECT_EQ(entry->text(), QStringLiteral("12345"));
    EXPECT_EQ(edit.text(), QStringLiteral("12345"));
    entry->setLocked(true);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(entry->text(), QStringLiteral("12345"));

    // Multi-line text keeps the program's line ends until the user edits it.
    notes->setText(QStringLiteral("one\r\ntwo"));
    notes->setLocked(false);
    auto& notesBox = widget<QPlainTextEdit>(QStringLiteral("notes"));
    EXPECT_EQ(notes->text(), QStringLiteral("one\r\ntwo"));
    notesBox.moveCursor(QTextCursor::End);
    QTest::keyClicks(notesBox.viewport(), QStringLiteral("!"));
    EXPECT_EQ(notes->text(), QStringLiteral("one\ntwo!"));

    int chosen = 0;
    choice->onClick = [&] { ++chosen; };
    auto& combo = widget<QComboBox>(QStringLiteral("choice"));
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(choice->text(), QStringLiteral("1"));
    EXPECT_EQ(chosen, 1);
    // Typed text is never a choice, not even one that names an entry, nor when Enter or a change of focus ends the
    // typing; nor does the box complete it into one.
    for (const QString& typed : {QStringLiteral("7"), QStringLiteral("0.1"), QStringLiteral("0.")}) {
        combo.lineEdit()->selectAll();
        QTest::keyClicks(combo.lineEdit(), typed);
        EXPECT_EQ(choice->text(), typed);
        QTest::keyClick(combo.lineEdit(), Qt::Key_Return);
        widget(QStringLiteral("entry")).setFocus();
        EXPECT_EQ(chosen, 1) << "typed " << typed.toStdString();
    }
    combo.setFocus();
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(chosen, 2) << "an entry taken from the list after typing is a choice";
    EXPECT_EQ(combo.count(), 3) << "the list is fixed";
}

TEST_F(RendererTest, ADropLandsAtThePointerInTwips) {
    kit::Control* dropped = nullptr;
    QPointF at;
    plan->onDrop = [&](kit::Control& source, float x, float y) {
        dropped = &source;
        at = QPointF(x, y);
    };
    widget<ImageWidget>(QStringLiteral("plan")).drop(*marker, QPointF(100, 50));
    EXPECT_EQ(dropped, marker);
    EXPECT_EQ(at, QPointF(1500, 750));
}

TEST_F(RendererTest, TheCloseBoxOnlyAsksTheProgram) {
    int requests = 0;
    window->onCloseRequest = [&] { ++requests; };
    WindowView& view = shown();
    view.close();
    EXPECT_EQ(requests, 1);
    EXPECT_TRUE(view.isVisible()) << "the program did not hide it";

    // The program may even destroy the window from inside its own close box.
    const QPointer<WindowView> gone = &view;
    window->onCloseRequest = [&] { window.reset(); };
    view.close();
    EXPECT_FALSE(gone->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
}

} // namespace
} // namespace zavok::ui
