#include "log_form.h"

namespace zavok {

LogForm::LogForm(kit::Desktop& desktop)
    : kit::Window(
          desktop, QStringLiteral("zavoklog"),
          {.caption = QStringLiteral("ZAVOK LOG DETAILS"), .back = {192, 255, 192}, .width = 6744, .height = 7056})
    , Command1(add<kit::Button>(
          QStringLiteral("Command1"),
          {.text = QStringLiteral("LOAD"), .place = {120, 120, 972, 372}, .back = kit::Rgb{192, 192, 255}}))
    , Label2(add<kit::Label>(
          QStringLiteral("Label2"),
          {.text = QStringLiteral("OPEN ONLY ZAVOK LOG FILES. ( ex. Jul 13.txt )"), .place = {1320, 240, 4092, 372}}))
    , Command2(add<kit::Button>(
          QStringLiteral("Command2"),
          {.text = QStringLiteral("CLEAR"), .place = {5640, 120, 972, 372}, .back = kit::Rgb{255, 128, 255}}))
    , Text1(add<kit::TextBox>(QStringLiteral("Text1"), {.place = {120, 600, 6492, 6372}, .multiline = true})) {}

kit::OpenFileRequest LogForm::fileRequest(const QString& logDirectory) {
    return {.filter = QStringLiteral("Text Files (*.txt)|*.txt|"),
            .filterIndex = 1,
            .mustExist = true,
            .title = QStringLiteral("SELECT DATE OF LOG FILE"),
            .initialDirectory = logDirectory};
}

} // namespace zavok
