#include "headless_dialogs.h"

namespace zavok::system {

void HeadlessDialogs::message(const QString& title, const QString& text) {
    sink_(QStringLiteral("zavok: %1: %2").arg(title, text));
}

QString HeadlessDialogs::input(const QString&, const QString&, const QString&) {
    throw kit::Unanswered{};
}

std::optional<QString> HeadlessDialogs::openFile(const kit::OpenFileRequest&) {
    throw kit::Unanswered{};
}

} // namespace zavok::system
