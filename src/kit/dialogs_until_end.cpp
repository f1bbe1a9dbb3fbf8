#include "dialogs_until_end.h"

namespace zavok::kit {

void DialogsUntilEnd::throwIfEnded() const {
    if (ended_) {
        throw Unanswered{};
    }
}

void DialogsUntilEnd::message(const QString& title, const QString& text) {
    throwIfEnded();
    to().message(title, text);
    throwIfEnded();
}

QString DialogsUntilEnd::input(const QString& title, const QString& prompt, const QString& proposal) {
    throwIfEnded();
    QString answer = to().input(title, prompt, proposal);
    throwIfEnded();
    return answer;
}

std::optional<QString> DialogsUntilEnd::openFile(const OpenFileRequest& request) {
    throwIfEnded();
    std::optional<QString> chosen = to().openFile(request);
    throwIfEnded();
    return chosen;
}

} // namespace zavok::kit
