#include "kit/pictures.h"
#include "platform/simulator_state.h"
#include "support/modal_boxes.h"
#include "ui/file_filter.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_pictures.h"
#include "ui/simulator_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSlider>
#include <QTemporaryDir>
#include <QWindow>

#include <gtest/gtest.h>

#include <optional>
#include <sys/stat.h>

// The adapters between the program and Qt: file filters, pictures, boxes, and the input simulator.
namespace zavok::ui {
namespace {

using namespace Qt::StringLiterals;

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
    const QString bmp = dir.filePath(u"plan.bmp"_s);
    QImage(8, 8, QImage::Format_RGB32).save(bmp);
    const QString text = dir.filePath(u"plan.jpg"_s);
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("this is text, whatever its name says");
    file.close();

    // A picture whose header is sound but whose data is cut short is no picture either.
    const QString png = dir.filePath(u"plan.png"_s);
    QImage noise(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            noise.setPixel(x, y, qRgb(x * 4, y * 4, (x * y) % 256));
        }
    }
    ASSERT_TRUE(noise.save(png));
    ASSERT_TRUE(QFile::resize(png, QFileInfo(png).size() / 2));
    ASSERT_TRUE(QImageReader(png).canRead()) << "the header alone still reads";

    const QtPictures pictures;
    EXPECT_FALSE(pictures.canLoad(png));
    EXPECT_TRUE(pictures.canLoad(bmp));
    EXPECT_TRUE(pictures.canLoad(kit::kFloorPlanPicture));
    EXPECT_FALSE(pictures.canLoad(text));
    EXPECT_FALSE(pictures.canLoad(dir.filePath(u"missing.bmp"_s)));
    EXPECT_FALSE(pictures.canLoad(QString()));

    // A FIFO named as the picture would block a plain open until a writer came: it is no picture, at once.
    const QString fifo = dir.filePath(u"fifo.bmp"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(pictures.canLoad(fifo));
    EXPECT_TRUE(readPicture(fifo).isNull());
    EXPECT_FALSE(readPicture(bmp).isNull());
}

class QtDialogsTest : public ::testing::Test {
protected:
    // Acts on the next box as soon as it opens.
    void whenBoxOpens(test::BoxScript::Action act) { script.emplace(std::deque{std::move(act)}); }

    QtDialogs dialogs;
    std::optional<test::BoxScript> script;
};

TEST_F(QtDialogsTest, AMessageIsAWarningWithOkAndAQuestionProposesAnAnswer) {
    QStringList seen;
    whenBoxOpens([&](QWidget& box) {
        auto& message = dynamic_cast<QMessageBox&>(box);
        seen << message.windowTitle() << message.text();
        EXPECT_EQ(message.icon(), QMessageBox::Warning);
        EXPECT_EQ(message.standardButtons(), QMessageBox::Ok);
        message.accept();
    });
    dialogs.message(u"Caution"_s, u"Out of range"_s);
    EXPECT_EQ(seen, QStringList({u"Caution"_s, u"Out of range"_s}));

    seen.clear();
    whenBoxOpens([&](QWidget& box) {
        auto& input = dynamic_cast<QInputDialog&>(box);
        seen << input.windowTitle() << input.labelText() << input.textValue();
        input.setTextValue(u"Garage"_s);
        input.accept();
    });
    EXPECT_EQ(dialogs.input(u"Name"_s, u"New name?"_s, u"Front Door"_s), u"Garage"_s);
    EXPECT_EQ(seen, QStringList({u"Name"_s, u"New name?"_s, u"Front Door"_s}));

    whenBoxOpens([](QWidget& box) { dynamic_cast<QDialog&>(box).reject(); });
    EXPECT_EQ(dialogs.input(u"Name"_s, u"New name?"_s, u"Front Door"_s), QString())
        << "a cancelled question answers the empty text";
}

TEST_F(QtDialogsTest, TheFileDialogOpensAsAskedAndACancelChoosesNothing) {
    QTemporaryDir dir;
    const QString picture = dir.filePath(u"house.jpg"_s);
    QImage(8, 8, QImage::Format_RGB32).save(picture);
    const kit::OpenFileRequest request{
        .filter = u"Image Files (*.bmp)|*.bmp|Image Files (*.jpg)|*.jpg|All Files (*.*)|*.*|"_s,
        .filterIndex = 2,
        .mustExist = true,
        .title = u"Choose"_s,
        .initialDirectory = dir.path()};

    QString directory;
    whenBoxOpens([&](QWidget& box) {
        auto& dialog = dynamic_cast<QFileDialog&>(box);
        EXPECT_EQ(dialog.nameFilters().size(), 3);
        EXPECT_EQ(dialog.selectedNameFilter(), u"Image Files (*.jpg)"_s);
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(dialog.windowTitle(), u"Choose"_s);
        directory = dialog.directory().absolutePath();
        // The user types the file's path and presses Open.
        dialog.findChild<QLineEdit*>(u"fileNameEdit"_s)->setText(picture);
        static_cast<QDialog&>(dialog).accept();
    });
    EXPECT_EQ(dialogs.openFile(request), picture);
    EXPECT_EQ(directory, QDir(dir.path()).absolutePath());

    // A folder that is gone opens the home folder; cancelling chooses nothing.
    whenBoxOpens([&](QWidget& box) {
        auto& dialog = dynamic_cast<QFileDialog&>(box);
        directory = dialog.directory().absolutePath();
        dialog.reject();
    });
    kit::OpenFileRequest gone = request;
    gone.initialDirectory = dir.filePath(u"gone"_s);
    EXPECT_EQ(dialogs.openFile(gone), std::nullopt);
    EXPECT_EQ(directory, QDir::home().absolutePath());
}

template <class T> T& child(const QWidget& parent, const char* name) {
    T* widget = parent.findChild<T*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return *widget;
}

TEST(SimulatorPanel, EachSwitchAndSliderDrivesItsOwnInputAndItsCloseBoxKeepsItWithinReach) {
    platform::SimulatorState state;
    SimulatorPanel panel{state};
    const auto axis = [&state](int id, quint32 kit::JOYINFO::*field) {
        kit::JOYINFO info;
        state.joyGetPos(id, info);
        return info.*field;
    };
    EXPECT_EQ(child<QSlider>(panel, "axis1").value(), 32768);
    EXPECT_EQ(child<QLabel>(panel, "value1").text(), u"32768"_s);

    child<QCheckBox>(panel, "contact2").setChecked(true);
    EXPECT_EQ(state.Inzavok(513), 0xDF);
    child<QCheckBox>(panel, "contact2").setChecked(false);
    EXPECT_EQ(state.Inzavok(513), 0xFF);

    child<QSlider>(panel, "axis3").setValue(65535);
    child<QSlider>(panel, "axis2").setValue(0);
    EXPECT_EQ(axis(1, &kit::JOYINFO::wXpos), 65535u);
    EXPECT_EQ(axis(0, &kit::JOYINFO::wYpos), 0u);
    EXPECT_EQ(child<QLabel>(panel, "value3").text(), u"65535"_s);

    child<QCheckBox>(panel, "nosignal4").setChecked(true);
    EXPECT_EQ(axis(1, &kit::JOYINFO::wYpos), 0u);
    EXPECT_FALSE(child<QSlider>(panel, "axis4").isEnabled());
    EXPECT_EQ(child<QLabel>(panel, "value4").text(), u"0"_s);
    child<QCheckBox>(panel, "nosignal4").setChecked(false);
    EXPECT_EQ(axis(1, &kit::JOYINFO::wYpos), 32768u);

    panel.show();
    EXPECT_FALSE(panel.windowHandle()->close()); // as the window system's close box does
    EXPECT_TRUE(panel.isVisible() && panel.isMinimized());
}

} // namespace
} // namespace zavok::ui
