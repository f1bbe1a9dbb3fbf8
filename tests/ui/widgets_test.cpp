#include "inputs/simulator_state.h"
#include "kit/desktop.h"
#include "kit/pictures.h"
#include "kit/virtual_scheduler.h"
#include "support/game_port.h"
#include "support/harness.h"
#include "support/modal_boxes.h"
#include "support/qt_environment.h"
#include "support/watchdog.h"
#include "ui/after_first_paint.h"
#include "ui/file_filter.h"
#include "ui/focus_frame.h"
#include "ui/image_widget.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_pictures.h"
#include "ui/renderer.h"
#include "ui/simulator_panel.h"
#include "ui/twips.h"
#include "ui/window_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHelpEvent>
#include <QImageReader>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QWindow>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <tuple>

ZAVOK_TEST_APPLICATION(QApplication)

namespace zavok::ui {
namespace {

using namespace Qt::StringLiterals;

constexpr kit::Rgb kCyan{192, 255, 255};
constexpr kit::Rgb kYellow{255, 255, 0};
constexpr kit::Rgb kBlue{128, 128, 255};

QColor colour(kit::Rgb rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

template <class W = QWidget> W& child(const QWidget& parent, const QString& name) {
    W* found = parent.findChild<W*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return *found;
}

// Twips, then the position and the size in pixels at 96 to the inch. Numbers from a damaged file stay within what a
// widget can hold, and a size is never negative.
TEST(Twips, ConvertAtTheScreenResolutionAndSaturate) {
    constexpr int kMax = QWIDGETSIZE_MAX;
    const float inf = std::numeric_limits<float>::infinity();
    const std::tuple<float, int, int> cases[] = {{1440, 96, 96},    {15, 1, 1},           {9, 1, 1},
                                                 {-1440, -96, 0},   {1e30F, kMax, kMax},  {-1e30F, -kMax, 0},
                                                 {inf, kMax, kMax}, {std::nanf(""), 0, 0}};
    for (const auto& [twips, position, size] : cases) {
        EXPECT_EQ(std::pair(Twips(96).toPixels(twips), Twips(96).toPixelSize(twips)), std::pair(position, size))
            << twips;
    }
    EXPECT_EQ(Twips(192).toPixels(kit::Place{720, 1440, 2880, 360}), QRect(96, 192, 384, 48));
    EXPECT_EQ(Twips(120).toTwips(QPointF(12, 0.5)), QPointF(144, 6));
}

// A window with a control of every kind, drawn at 96 pixels to the inch: 15 twips to the pixel.
class RendererTest : public ::testing::Test {
protected:
    ~RendererTest() override {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    WindowView& shown() {
        window->show();
        return *renderer.view(*window);
    }

    template <class W = QWidget> W& widget(const QString& name) { return child<W>(shown(), name); }

    kit::VirtualScheduler scheduler;
    kit::Desktop desktop{scheduler};
    Renderer renderer{desktop, Twips(96)};
    std::unique_ptr<kit::Window> window = std::make_unique<kit::Window>(
        desktop, u"form"_s, kit::WindowDesign{.caption = u"Form"_s, .back = kCyan, .width = 5760, .height = 4320});
    kit::Label* name = &window->add<kit::Label>(u"name"_s, {.text = u"Front Door"_s,
                                                            .place = {150, 300, 1500, 300},
                                                            .back = kYellow,
                                                            .fore = test::kLightRed,
                                                            .align = kit::Align::Right});
    kit::Label* paragraph =
        &window->add<kit::Label>(u"paragraph"_s, {.text = u"Several lines of help"_s, .place = {1800, 300, 900, 900}});
    kit::Frame* zone =
        &window->add<kit::Frame>(u"zone"_s, {.text = u"Zone 1"_s, .place = {3000, 150, 2400, 2400}, .back = kBlue});
    kit::Label* reading = &window->add<kit::Label>(
        u"reading"_s, {.text = u"DIS"_s, .place = {300, 600, 900, 300}, .enabled = false}, zone);
    kit::Button* ok =
        &window->add<kit::Button>(u"ok"_s, {.text = u"OK"_s, .place = {150, 900, 900, 360}, .back = kYellow});
    kit::TextBox* entry = &window->add<kit::TextBox>(
        u"entry"_s, {.place = {150, 1500, 1200, 300}, .align = kit::Align::Centre, .maxLength = 5}, zone);
    kit::TextBox* notes = &window->add<kit::TextBox>(
        u"notes"_s,
        {.text = u"first\r\nsecond"_s, .place = {1500, 1500, 1200, 600}, .locked = true, .multiline = true});
    kit::ComboBox* choice =
        &window->add<kit::ComboBox>(u"choice"_s, {.text = u"0.5"_s, .place = {150, 2100, 1200, 330}}, nullptr,
                                    QStringList{u"0.1"_s, u"0.5"_s, u"1"_s});
    kit::Image* plan = &window->add<kit::Image>(u"plan"_s, {.place = {0, 2700, 2880, 1440}});
    kit::Label* marker =
        &window->add<kit::Label>(u"marker"_s, {.text = u"#1"_s, .place = {150, 3000, 360, 300}, .draggable = true});
};

TEST_F(RendererTest, AWindowIsDrawnWhenFirstShownItsCloseBoxAsksAndItGoesWithTheKitWindow) {
    EXPECT_EQ(renderer.view(*window), nullptr) << "its controls do not exist when the window is made";
    const QPointer<WindowView> view = &shown();
    EXPECT_EQ(view->windowTitle(), u"Form"_s);
    EXPECT_EQ(std::pair(view->minimumSize(), view->maximumSize()), std::pair(QSize(384, 288), QSize(384, 288)));
    EXPECT_EQ(view->palette().color(QPalette::Window), colour(kCyan));
    EXPECT_FALSE(view->windowFlags() & Qt::FramelessWindowHint);
    window->hide();
    EXPECT_FALSE(view->isVisible());
    window->setCaption(u"Renamed"_s);
    window->show();
    EXPECT_EQ(renderer.view(*window), view.data()) << "shown again, the same drawing";
    EXPECT_EQ(view->windowTitle(), u"Renamed"_s);
    // The close box only asks the program, which may even destroy the window from inside it.
    int requests = 0;
    window->onCloseRequest = [&] { ++requests; };
    view->close();
    EXPECT_EQ(requests, 1);
    EXPECT_TRUE(view->isVisible()) << "the program did not hide it";
    window->onCloseRequest = [&] { window.reset(); };
    view->close();
    EXPECT_FALSE(view->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(view.isNull());
    kit::Window plain(desktop, u"plain"_s,
                      {.back = kCyan, .width = 1500, .height = 1500, .border = kit::Border::None, .centred = true});
    plain.show();
    EXPECT_TRUE(renderer.view(plain)->windowFlags() & Qt::FramelessWindowHint);
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((renderer.view(plain)->geometry().center() - centre).manhattanLength(), 2);
}

TEST_F(RendererTest, EveryControlShowsWhatTheKitHoldsAndFollowsItsChanges) {
    auto& label = widget<QLabel>(u"name"_s);
    const auto look = [&label] {
        return std::tuple(label.text(), label.geometry(), label.palette().color(QPalette::Window), label.isVisible());
    };
    EXPECT_EQ(look(), std::tuple(u"Front Door"_s, QRect(10, 20, 100, 20), colour(kYellow), true));
    EXPECT_EQ(label.palette().color(QPalette::WindowText), colour(test::kLightRed));
    EXPECT_TRUE(label.alignment() & Qt::AlignRight);
    // A caption too long for its label runs on to the next line where there is one, and is cut where there is not.
    EXPECT_TRUE(!label.wordWrap() && widget<QLabel>(u"paragraph"_s).wordWrap());
    // The tip of a label that cuts its caption shows the caption whole, and only then.
    const auto tip = [&label] {
        QHelpEvent asked(QEvent::ToolTip, QPoint(1, 1), label.mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(&label, &asked);
        QToolTip::hideText();
        return label.toolTip();
    };
    name->setTip(u"Click to change name"_s);
    EXPECT_EQ(tip(), u"Click to change name"_s);
    name->setText(u"Garage Side Door, north"_s);
    EXPECT_EQ(tip(), u"Garage Side Door, north\nClick to change name"_s);
    name->setText(u"Back Door"_s);
    name->setBack(kBlue);
    name->setLeft(300);
    name->setWidth(3000);
    name->setVisible(false);
    EXPECT_EQ(look(), std::tuple(u"Back Door"_s, QRect(20, 20, 200, 20), colour(kBlue), false));
    // A control in a frame is placed from the frame's corner, and keeps its own look, not the frame's.
    auto& frame = widget<QGroupBox>(u"zone"_s);
    EXPECT_EQ(frame.title(), u"Zone 1"_s);
    auto& inFrame = widget<QLabel>(u"reading"_s);
    EXPECT_EQ(std::pair(inFrame.parentWidget(), inFrame.geometry()),
              (std::pair<QWidget*, QRect>(&frame, {20, 40, 60, 20})));
    EXPECT_EQ(inFrame.palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window));
    EXPECT_FALSE(inFrame.isEnabled());
    reading->setEnabled(true);
    EXPECT_TRUE(inFrame.isEnabled());
    EXPECT_EQ(widget<QPushButton>(u"ok"_s).palette().color(QPalette::Button), colour(kYellow));
    auto& notesBox = widget<QPlainTextEdit>(u"notes"_s);
    EXPECT_EQ(notesBox.toPlainText(), u"first\nsecond"_s);
    EXPECT_TRUE(notesBox.isReadOnly());
    EXPECT_EQ(widget<QComboBox>(u"choice"_s).currentText(), u"0.5"_s);
    EXPECT_TRUE(widget<QLineEdit>(u"entry"_s).alignment() & Qt::AlignHCenter);
    window->setFocus(entry);
    EXPECT_EQ(shown().focusWidget(), &widget(u"entry"_s));
    // The control that has the focus shows it by a frame over its face.
    const auto framed = [this](const char* control) {
        return widget(QString::fromLatin1(control)).grab().toImage().pixelColor(1, 1) == colour(FocusFrame::kColour);
    };
    shown().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&shown()));
    EXPECT_EQ(std::pair(framed("entry"), framed("ok")), std::pair(true, false));
    window->setFocus(ok);
    EXPECT_EQ(std::pair(framed("entry"), framed("ok")), std::pair(false, true));
    // An image shows its picture stretched, also once moved to a place of another size, and keeps it for a file
    // that is none.
    const auto halves = [&] {
        const QImage drawn = widget(u"plan"_s).grab().toImage();
        return std::pair(drawn.pixelColor(drawn.width() / 4, drawn.height() / 2),
                         drawn.pixelColor(drawn.width() * 3 / 4, drawn.height() / 2));
    };
    EXPECT_NE(halves().first, colour(kCyan)) << "without a picture of its own, the built-in one";
    QTemporaryDir dir;
    const QString redBlue = dir.filePath(u"red-blue.png"_s);
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QPainter(&picture).fillRect(2, 0, 2, 4, Qt::blue);
    ASSERT_TRUE(picture.save(redBlue));
    const std::pair<QColor, QColor> redThenBlue(Qt::red, Qt::blue);
    plan->setPicture(redBlue);
    EXPECT_EQ(halves(), redThenBlue);
    plan->setWidth(1440);
    EXPECT_EQ(halves(), redThenBlue);
    plan->setPicture(dir.filePath(u"missing.png"_s));
    EXPECT_EQ(halves(), redThenBlue);
}

// A control hidden from the start is drawn once shown, with what the kit holds by then, in its place among the
// others: under the controls declared after it, and between them in tab order. So is a picture, which is made first.
TEST_F(RendererTest, AControlHiddenAtFirstTakesItsPlaceInTheStackAndTheTabOrderWhenShown) {
    kit::Window form(desktop, u"hidden"_s, {.back = kCyan, .width = 3000, .height = 1500});
    kit::Button& before = form.add<kit::Button>(u"before"_s, {.text = u"Before"_s, .place = {0, 900, 900, 360}});
    form.add<kit::Image>(u"plan"_s, {.place = {0, 1080, 3000, 420}});
    kit::TextBox& held = form.add<kit::TextBox>(u"held"_s, {.place = {0, 0, 1500, 300}, .visible = false});
    form.add<kit::Label>(u"over"_s, {.text = u"Over"_s, .place = {0, 0, 900, 300}});
    kit::Button& after = form.add<kit::Button>(u"after"_s, {.text = u"After"_s, .place = {1500, 900, 900, 360}});
    form.show();
    const QWidget& view = *renderer.view(form);
    EXPECT_EQ(view.childAt(30, 80), &child(view, u"plan"_s)) << "the picture lies over the button declared before it";
    held.setText(u"kept"_s);
    held.setVisible(true);
    auto& edit = child<QLineEdit>(view, u"held"_s);
    EXPECT_EQ(std::pair(edit.text(), edit.isVisible()), std::pair(u"kept"_s, true));
    EXPECT_EQ(view.childAt(30, 10), &child(view, u"over"_s)) << "the later label lies on top";
    EXPECT_EQ(view.childAt(80, 10), &edit);
    QStringList tabOrder;
    for (const QWidget* w = view.nextInFocusChain(); w != &view; w = w->nextInFocusChain()) {
        if (w->focusPolicy() != Qt::NoFocus) {
            tabOrder << w->objectName();
        }
    }
    EXPECT_EQ(tabOrder, (QStringList{before.name(), held.name(), after.name()}));
}

TEST_F(RendererTest, TypingChoosingClicksAndDropsGoThroughTheKitAndReachOnlyAnEnabledControl) {
    auto& edit = widget<QLineEdit>(u"entry"_s);
    // The kit keeps five characters, and the box shows what the kit keeps.
    QTest::keyClicks(&edit, u"1234567"_s);
    EXPECT_EQ(edit.text(), u"12345"_s);
    entry->setLocked(true);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(entry->text(), u"12345"_s);
    // Multi-line text keeps the program's line ends until the user edits it.
    notes->setText(u"one\r\ntwo"_s);
    notes->setLocked(false);
    auto& notesBox = widget<QPlainTextEdit>(u"notes"_s);
    EXPECT_EQ(notes->text(), u"one\r\ntwo"_s);
    notesBox.moveCursor(QTextCursor::End);
    QTest::keyClicks(notesBox.viewport(), u"!"_s);
    EXPECT_EQ(notes->text(), u"one\ntwo!"_s);
    int chosen = 0;
    choice->onClick = [&] { ++chosen; };
    auto& combo = widget<QComboBox>(u"choice"_s);
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(choice->text(), u"1"_s);
    EXPECT_EQ(chosen, 1);
    // Typed text is never a choice, not even one that names an entry, nor when Enter or a change of focus ends the
    // typing; nor does the box complete it into one.
    for (const QString& typed : {u"7"_s, u"0.1"_s, u"0."_s}) {
        combo.lineEdit()->selectAll();
        QTest::keyClicks(combo.lineEdit(), typed);
        EXPECT_EQ(choice->text(), typed);
        QTest::keyClick(combo.lineEdit(), Qt::Key_Return);
        widget(u"entry"_s).setFocus();
        EXPECT_EQ(chosen, 1) << "typed " << typed.toStdString();
    }
    combo.setFocus();
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(chosen, 2) << "an entry taken from the list after typing is a choice";
    EXPECT_EQ(combo.count(), 3) << "the list is fixed";
    std::map<QString, int> clicks; // by control, and the name's double clicks as "double"
    for (kit::Control* c : std::initializer_list<kit::Control*>{name, zone, reading, ok, marker}) {
        c->onClick = [&clicks, c] { ++clicks[c->name()]; };
    }
    name->onDoubleClick = [&] { ++clicks[u"double"_s]; };
    QTest::mouseClick(&widget(u"ok"_s), Qt::LeftButton);
    ok->setEnabled(false);
    QTest::mouseClick(&widget(u"ok"_s), Qt::LeftButton);
    // A double click as the desktop sends it: a click, a press that is also a double click, a release.
    QWidget& label = widget(u"name"_s);
    QTest::mouseClick(&label, Qt::LeftButton);
    QTest::mousePress(&label, Qt::LeftButton);
    QTest::mouseDClick(&label, Qt::LeftButton);
    QTest::mouseRelease(&label, Qt::LeftButton);
    // A disabled control takes no click, and the frame under it does not take it either, whether the control is
    // only a face or edits text itself.
    QTest::mouseClick(&widget(u"reading"_s), Qt::LeftButton);
    entry->setEnabled(false);
    QTest::mouseClick(&widget(u"entry"_s), Qt::LeftButton);
    QTest::mouseClick(&widget(u"zone"_s), Qt::LeftButton, {}, QPoint(150, 150));
    // A control that drags by itself is dragged, not clicked, and lands where the pointer lets it go.
    QTest::mouseClick(&widget(u"marker"_s), Qt::LeftButton);
    EXPECT_EQ(clicks, (std::map<QString, int>{{u"double"_s, 1}, {u"name"_s, 1}, {u"ok"_s, 1}, {u"zone"_s, 1}}));
    std::optional<std::tuple<kit::Control*, float, float>> dropped;
    plan->onDrop = [&](kit::Control& source, float x, float y) { dropped.emplace(&source, x, y); };
    widget<ImageWidget>(u"plan"_s).drop(*marker, QPointF(100, 50));
    EXPECT_EQ(dropped, std::tuple(marker, 1500.0F, 750.0F));
}

TEST(FindBar, FindsEveryMatchOfTheLogForwardAndBackAndLeavesTheLayoutAsDesigned) {
    test::Harness h;
    Zavok& z = h.start();
    const Renderer renderer(z.desktop, Twips(96));
    z.zavok->log.click();
    // "alert" stands at 14, 36 and 47 of the text the box shows, one character to each line end.
    z.zavoklog->Text1.setText(u"ZAVOK started\r\nAlert 1 on\r\nHigh Alarm\r\nALERT 2 on\r\nalert 1 off"_s);
    const int alerts[] = {14, 36, 47};
    QWidget* view = renderer.view(*z.zavoklog);
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view));
    auto* editor = view->findChild<QPlainTextEdit*>(u"Text1"_s);
    auto* bar = view->findChild<QWidget*>(u"Text1Find"_s);
    ASSERT_TRUE(editor != nullptr && bar != nullptr);
    const QRect designed = editor->geometry();
    QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(editor->geometry().united(bar->geometry()), designed) << "the bar takes the bottom of the text's place";
    auto* query = bar->findChild<QLineEdit*>(u"query"_s);
    ASSERT_TRUE(query->hasFocus());
    const auto* count = bar->findChild<QLabel*>(u"count"_s);
    const auto expectMatch = [&](std::size_t match) {
        SCOPED_TRACE(match);
        EXPECT_EQ(editor->textCursor().selectionStart(), alerts[match]);
        EXPECT_EQ(editor->textCursor().selectedText().toLower(), u"alert"_s);
        EXPECT_EQ(count->text(), u"%1 of 3"_s.arg(match + 1));
        EXPECT_EQ(editor->extraSelections().size(), 3);
    };
    QTest::keyClicks(query, u"alert"_s);
    expectMatch(0);
    QTest::keyClick(query, Qt::Key_Return);
    expectMatch(1);
    QTest::keyClick(query, Qt::Key_F3);
    expectMatch(2);
    QTest::keyClick(query, Qt::Key_F3);
    expectMatch(0); // round the end
    QTest::keyClick(query, Qt::Key_Return, Qt::ShiftModifier);
    expectMatch(2); // and back round the start
    QTest::keyClick(query, Qt::Key_F3, Qt::ShiftModifier);
    expectMatch(1);
    // A line the program adds, as the log read on, is found at once, and the match the user is on stays.
    z.zavoklog->Text1.setText(z.zavoklog->Text1.text() + u"\r\nAlert 3 on"_s);
    EXPECT_EQ(editor->textCursor().selectionStart(), alerts[1]);
    EXPECT_EQ(count->text(), u"2 of 4"_s);
    QTest::keyClicks(query, u"s"_s);
    EXPECT_EQ(count->text(), u"No match"_s);
    EXPECT_TRUE(editor->extraSelections().isEmpty());
    QTest::keyClick(query, Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(editor->geometry(), designed);
}

TEST(FileFilter, TheProgramsFiltersBecomeQtFilters) {
    const std::pair<const char*, QStringList> cases[] = {
        {"Image Files (*.bmp)|*.bmp|Image Files (*.jpg)|*.jpg|All Files (*.*)|*.*|",
         {u"Image Files (*.bmp)"_s, u"Image Files (*.jpg)"_s, u"All Files (*)"_s}},
        {"Text Files (*.txt)|*.txt|", {u"Text Files (*.txt)"_s}},
        {"Logs|*.txt;*.log", {u"Logs (*.txt *.log)"_s}},
        {"Pictures (*.bmp)|*.bmp;*.dib|", {u"Pictures (*.bmp *.dib)"_s}},
        {"Anything", {u"Anything (*)"_s}},
        {"", {}},
    };
    for (const auto& [program, qt] : cases) {
        EXPECT_EQ(toQtFilters(QString::fromLatin1(program)), qt) << program;
    }
}

TEST(QtPictures, KnowsAPictureFromAnyOtherFile) {
    QTemporaryDir dir;
    const QString text = dir.filePath(u"plan.jpg"_s);
    test::Harness::put(text, "this is text, whatever its name says");
    // A picture whose header is sound but whose data is cut short is no picture either.
    const QString bmp = dir.filePath(u"plan.bmp"_s);
    const QStringList cuts{dir.filePath(u"cut.png"_s), dir.filePath(u"cut.bmp"_s)};
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(bmp));
    for (const QString& cut : cuts) {
        ASSERT_TRUE(picture.save(cut) && QFile::resize(cut, QFileInfo(cut).size() / 2));
        ASSERT_TRUE(QImageReader(cut).canRead()) << "the header alone still reads";
    }
    // A FIFO named as the picture would block a plain open until a writer came: it is no picture, at once.
    const QString fifo = dir.filePath(u"fifo.bmp"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QtPictures pictures;
    EXPECT_TRUE(pictures.canLoad(bmp) && pictures.canLoad(kit::kFloorPlanPicture));
    for (const QString& none : cuts + QStringList{fifo, text, dir.filePath(u"missing.bmp"_s), QString()}) {
        EXPECT_FALSE(pictures.canLoad(none)) << none.toStdString();
    }
    EXPECT_TRUE(readPicture(fifo).isNull());
}

// The picture that phones.zvk names is read as the program starts and its window is drawn. A FIFO there is no
// picture, at once; a picture at the head of a file of 64 GiB is shown without the rest of the file being read.
TEST(QtPictures, NothingNamedAsThePictureHoldsUpTheStart) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(u"plan.bmp"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString huge = dir.filePath(u"plan.png"_s);
    QImage blue(64, 64, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(blue.save(huge) && QFile::resize(huge, qint64(64) << 30)); // sparse: no room taken
    for (const auto& [path, shown] : {std::pair{fifo, false}, std::pair{huge, true}}) {
        SCOPED_TRACE(path.toStdString());
        test::Harness h;
        test::Harness::put(h.dataPath(u"phones.zvk"_s), test::Harness::phones({{0, path}}));
        const QtPictures pictures;
        Zavok z({h.scheduler, h.clock, QLocale(QLocale::English, QLocale::UnitedStates), h.dialogs, h.bell, pictures,
                 h.port, h.joysticks, h.dataDirectory, h.logDirectory, h.picturesDirectory});
        const Renderer renderer(z.desktop, Twips(96));
        QImage drawn;
        {
            const test::Watchdog limit("the start with its picture");
            z.startup();
            z.zavok->show();
            drawn = child(*renderer.view(*z.zavok), u"Image1"_s).grab().toImage();
        }
        EXPECT_EQ(h.logLines().value(0).left(18), QByteArray("\"ZAVOK started at\""));
        EXPECT_EQ(z.zavok->Label5.text(), path);
        EXPECT_EQ(z.zavok->Image1.picture(), shown ? path : kit::kFloorPlanPicture);
        EXPECT_EQ(drawn.pixelColor(drawn.width() / 2, drawn.height() / 2) == QColor(Qt::blue), shown);
    }
}

TEST(QtDialogs, EachBoxOpensAsAskedAndACancelAnswersNothing) {
    QTemporaryDir dir;
    const QString picture = dir.filePath(u"house.jpg"_s);
    QImage(8, 8, QImage::Format_RGB32).save(picture);
    QStringList seen;
    const auto reject = [](QWidget& box) { static_cast<QDialog&>(box).reject(); };
    const test::BoxScript user({
        [&](QWidget& box) {
            auto& message = dynamic_cast<QMessageBox&>(box);
            seen << message.windowTitle() << message.text();
            message.accept();
        },
        [&](QWidget& box) {
            auto& input = dynamic_cast<QInputDialog&>(box);
            seen << input.windowTitle() << input.labelText() << input.textValue();
            input.setTextValue(u"Garage"_s);
            input.accept();
        },
        reject,
        [&](QWidget& box) {
            auto& dialog = dynamic_cast<QFileDialog&>(box);
            seen << dialog.windowTitle() << dialog.selectedNameFilter() << dialog.directory().absolutePath();
            EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
            dialog.findChild<QLineEdit*>(u"fileNameEdit"_s)->setText(picture);
            static_cast<QDialog&>(dialog).accept();
        },
        [&](QWidget& box) {
            seen << dynamic_cast<QFileDialog&>(box).directory().absolutePath();
            reject(box);
        },
    });
    QtDialogs dialogs;
    dialogs.message(u"Caution"_s, u"Out of range"_s);
    EXPECT_EQ(dialogs.input(u"Name"_s, u"New name?"_s, u"Front Door"_s), u"Garage"_s);
    EXPECT_EQ(dialogs.input(u"Name"_s, u"New name?"_s, u"Front Door"_s), QString())
        << "a cancelled question answers the empty text";
    kit::OpenFileRequest request{.filter =
                                     u"Image Files (*.bmp)|*.bmp|Image Files (*.jpg)|*.jpg|All Files (*.*)|*.*|"_s,
                                 .filterIndex = 2,
                                 .mustExist = true,
                                 .title = u"Choose"_s,
                                 .initialDirectory = dir.path()};
    EXPECT_EQ(dialogs.openFile(request), picture);
    // A folder that is gone opens the home folder; cancelling chooses nothing.
    request.initialDirectory = dir.filePath(u"gone"_s);
    EXPECT_EQ(dialogs.openFile(request), std::nullopt);
    EXPECT_EQ(seen,
              (QStringList{u"Caution"_s, u"Out of range"_s, u"Name"_s, u"New name?"_s, u"Front Door"_s, u"Choose"_s,
                           u"Image Files (*.jpg)"_s, QDir(dir.path()).absolutePath(), QDir::home().absolutePath()}));
}

// Work that the first paint need not wait for runs once, after it; where nothing is painted in time, all the same.
TEST(AfterFirstPaint, RunsOnceAfterTheFirstPaintOrWhenNothingIsPaintedInTime) {
    struct Counted : QLabel {
        using QLabel::QLabel;
        void paintEvent(QPaintEvent* event) override {
            ++paints;
            QLabel::paintEvent(event);
        }
        int paints = 0;
    } label(u"ZAVOK"_s);
    int runs = 0;
    int paintsBefore = 0;
    const AfterFirstPaint painted(
        [&] {
            ++runs;
            paintsBefore = label.paints;
        },
        std::numeric_limits<int>::max());
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 0);
    label.show();
    ASSERT_TRUE(QTest::qWaitFor([&runs] { return runs > 0; }));
    EXPECT_GE(paintsBefore, 1);

    int late = 0;
    const AfterFirstPaint unpainted([&late] { ++late; }, 0);
    ASSERT_TRUE(QTest::qWaitFor([&late] { return late > 0; }));
    label.repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(std::pair(runs, late), std::pair(1, 1));
}

TEST(SimulatorPanel, EachSwitchAndSliderDrivesItsOwnInputAndItsCloseBoxKeepsItWithinReach) {
    inputs::SimulatorState state;
    SimulatorPanel panel{state};
    EXPECT_EQ(child<QLabel>(panel, u"value1"_s).text(), u"32768"_s);
    child<QCheckBox>(panel, u"contact2"_s).setChecked(true);
    EXPECT_EQ(state.Inzavok(test::kGamePort), 0xDF);
    child<QCheckBox>(panel, u"contact2"_s).setChecked(false);
    EXPECT_EQ(state.Inzavok(test::kGamePort), 0xFF);
    child<QSlider>(panel, u"axis3"_s).setValue(65535);
    child<QSlider>(panel, u"axis2"_s).setValue(0);
    child<QCheckBox>(panel, u"nosignal4"_s).setChecked(true);
    EXPECT_EQ(test::channels(state), (test::Channels{32768, 0, 65535, 0}));
    EXPECT_EQ(child<QLabel>(panel, u"value3"_s).text(), u"65535"_s);
    EXPECT_EQ(child<QLabel>(panel, u"value4"_s).text(), u"0"_s);
    EXPECT_FALSE(child<QSlider>(panel, u"axis4"_s).isEnabled());
    child<QCheckBox>(panel, u"nosignal4"_s).setChecked(false);
    EXPECT_EQ(test::channels(state)[3], 32768u);
    panel.show();
    EXPECT_FALSE(panel.windowHandle()->close()); // as the window system's close box does
    EXPECT_TRUE(panel.isVisible() && panel.isMinimized());
}

} // namespace
} // namespace zavok::ui
