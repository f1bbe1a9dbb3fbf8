#include "kit/pictures.h"
#include "support/modal_boxes.h"
#include "ui/file_filter.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_pictures.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <sys/stat.h>

namespace zavok::ui {
namespace {

TEST(FileFilter, TheProgramsFiltersBecomeQtFilters) {
    struct Case {
        const char* program;
        QStringList qt;
    };
    const Case cases[] = {
        {"Image Files (*.bmp)|*.bmp|Image Files (*.jpg)|*.jpg|All Files (*.*)|*.*|",
         {QStringLiteral("Image Files (*.bmp)"), QStringLiteral("Image Files (*.jpg)"),
          QStringLiteral("All Files (*)")}},
        {"Text Files (*.txt)|*.txt|", {QStringLiteral("Text Files (*.txt)")}},
        {"Logs|*.txt;*.log", {QStringLiteral("Logs (*.txt *.log)")}},
        {"Pictures (*.bmp)|*.bmp;*.dib|", {QStringLiteral("Pictures (*.bmp *.dib)")}},
        {"Anything", {QStringLiteral("Anything (*)")}},
        {"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toQtFilters(QString::fromLatin1(c.program)), c.qt) << c.program;
    }
}

TEST(QtPictures, KnowsAPictureFromAnyOtherFile) {
    QTemporaryDir dir;
    const QString bmp = dir.filePath(QStringLiteral("plan.bmp"));
    QImage(8, 8, QImage::Format_RGB32).save(bmp);
    const QString text = dir.filePath(QStringLiteral("plan.jpg"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("this is text, whatever its name says");
    file.close();

    // A picture whose header is sound but whose data is cut short is no picture either.
    const QString png = dir.filePath(QStringLiteral("plan.png"));
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
    EXPECT_FALSE(pictures.canLoad(dir.filePath(QStringLiteral("missing.bmp"))));
    EXPECT_FALSE(pictures.canLoad(QString()));

    // A FIFO named as the picture would block a plain open until a writer came: it is no picture, at once.
    const QString fifo = dir.filePath(QStringLiteral("fifo.bmp"));
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
    dialogs.message(QStringLiteral("Caution"), QStringLiteral("Out of range"));
    EXPECT_EQ(seen, QStringList({QStringLiteral("Caution"), QStringLiteral("Out of range")}));

    seen.clear();
    whenBoxOpens([&](QWidget& box) {
        auto& input = dynamic_cast<QInputDialog&>(box);
        seen << input.windowTitle() << input.labelText() << input.textValue();
        input.setTextValue(QStringLiteral("Garage"));
        input.accept();
    });
    EXPECT_EQ(dialogs.input(QStringLiteral("Name"), QStringLiteral("New name?"), QStringLiteral("Front Door")),
              QStringLiteral("Garage"));
    EXPECT_EQ(seen, QStringList({QStringLiteral("Name"), QStringLiteral("New name?"), QStringLiteral("Front Door")}));

    whenBoxOpens([](QWidget& box) { dynamic_cast<QDialog&>(box).reject(); });
    EXPECT_EQ(dialogs.input(QStringLiteral("Name"), QStringLiteral("New name?"), QStringLiteral("Front Door")),
              QString())
        << "a cancelled question answers the empty text";
}

TEST_F(QtDialogsTest, TheFileDialogOpensAsAskedAndACancelChoosesNothing) {
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("house.jpg"));
    QImage(8, 8, QImage::Format_RGB32).save(picture);
    const kit::OpenFileRequest request{
        .filter = QStringLiteral("Image Files (*.bmp)|*.bmp|Image Files (*.jpg)|*.jpg|All Files (*.*)|*.*|"),
        .filterIndex = 2,
        .mustExist = true,
        .title = QStringLiteral("Choose"),
        .initialDirectory = dir.path()};

    QString directory;
    whenBoxOpens([&](QWidget& box) {
        auto& dialog = dynamic_cast<QFileDialog&>(box);
        EXPECT_EQ(dialog.nameFilters().size(), 3);
        EXPECT_EQ(dialog.selectedNameFilter(), QStringLiteral("Image Files (*.jpg)"));
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Choose"));
        directory = dialog.directory().absolutePath();
        // The user types the file's path and presses Open.
        dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(picture);
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
    gone.initialDirectory = dir.filePath(QStringLiteral("gone"));
    EXPECT_EQ(dialogs.openFile(gone), std::nullopt);
    EXPECT_EQ(directory, QDir::home().absolutePath());
}

} // namespace
} // namespace zavok::ui
