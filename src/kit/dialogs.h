#pragma once

#include <QString>

#include <optional>

namespace zavok::kit {

// The titles of the program's warnings: the calibration's, and the louder one of alarm limits and meter scales.
inline const QString kCautionTitle = QStringLiteral("Caution");
inline const QString kLoudCautionTitle = QStringLiteral("CAUTION !!! CAUTION !!! CAUTION !!!");

// What the program asks of the standard file dialog: a file to open, or one to save to.
struct OpenFileRequest {
    QString filter{}; // entries written as "Description|pattern|", one after the other
    int filterIndex = 1;
    bool mustExist = false;
    QString title{};
    QString initialDirectory{};
    bool toSave = false; // the chosen file will be written: the dialog asks before it replaces one

    friend bool operator==(const OpenFileRequest&, const OpenFileRequest&) = default;
};

// What a box gives when no answer can come: the program ended while it waited, or it runs with nobody to ask. The
// handler that asked must not go on with an answer nobody gave. Controls catch it where they deliver the user's
// event, so it never leaves the kit.
struct Unanswered {};

// The modal boxes of the program. Monitoring goes on while one of them waits for the user.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message with an exclamation icon and an OK button.
    virtual void message(const QString& title, const QString& text) = 0;
    // A question with a proposed answer; a cancelled box answers the empty text.
    virtual QString input(const QString& title, const QString& prompt, const QString& proposal) = 0;
    // The full path of the chosen file, or nothing when the user cancelled.
    virtual std::optional<QString> openFile(const OpenFileRequest& request) = 0;
};

} // namespace zavok::kit
