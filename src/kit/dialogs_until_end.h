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

    void message(const QString& title, const QString& text) override;
    QString input(const QString& title, const QString& prompt, const QString& proposal) override;
    std::optional<QString> openFile(const OpenFileRequest& request) override;

private:
    void throwIfEnded() const;

    Dialogs& dialogs_;
    bool ended_ = false;
};

} // namespace zavok::kit
