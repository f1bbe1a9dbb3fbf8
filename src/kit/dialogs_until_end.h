#pragma once

#include "dialogs.h"

namespace zavok::kit {

// The program's boxes until the program ends. The end may come while a box waits (the desktop logs the user off,
// a terminal closes): the box then closes with no answer, and the handler that opened it must neither go on with a
// cancelled answer nor open the next box, or it would store what the user never typed, or loop for ever on a box
// that closes as soon as it opens. From the end on, every box throws Unanswered instead of answering.
class DialogsUntilEnd final : public Dialogs {
public:
    explicit DialogsUntilEnd(Dialogs& dialogs) : dialogs_(dialogs) {}

    void end() { ended_ = true; }
    // Until set back to nothing, the boxes go to `answers` rather than to the user: a press that comes from outside
    // the windows brings its own answers, and its messages go back to whoever sent it.
    void answerBy(Dialogs* answers) { answers_ = answers; }

    void message(const QString& title, const QString& text) override;
    QString input(const QString& title, const QString& prompt, const QString& proposal) override;
    std::optional<QString> openFile(const OpenFileRequest& request) override;

private:
    void throwIfEnded() const;

    Dialogs& to() const { return answers_ != nullptr ? *answers_ : dialogs_; }

    Dialogs& dialogs_;
    Dialogs* answers_ = nullptr;
    bool ended_ = false;
};

} // namespace zavok::kit
