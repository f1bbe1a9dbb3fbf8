#include "fakes.h"

#include <gtest/gtest.h>

namespace zavok::test {

void ScriptedDialogs::answerInput(QString text, std::function<void()> whileOpen) {
    inputs_.emplace_back(std::move(text), std::move(whileOpen));
}

void ScriptedDialogs::answerFile(std::optional<QString> path) {
    files_.push_back(std::move(path));
}

void ScriptedDialogs::whileNextMessage(std::function<void()> action) {
    messages_.push_back(std::move(action));
}

void ScriptedDialogs::message(const QString& title, const QString& text) {
    asked.push_back({QStringLiteral("message"), title, text, {}});
    if (!messages_.empty()) {
        auto action = std::move(messages_.front());
        messages_.pop_front();
        if (action) {
            action();
        }
    }
}

QString ScriptedDialogs::input(const QString& title, const QString& prompt, const QString& proposal) {
    asked.push_back({QStringLiteral("input"), title, prompt, proposal});
    if (inputs_.empty()) {
        ADD_FAILURE() << "unexpected input box: " << title.toStdString();
        return {};
    }
    auto [text, whileOpen] = std::move(inputs_.front());
    inputs_.pop_front();
    if (whileOpen) {
        whileOpen();
    }
    return text;
}

std::optional<QString> ScriptedDialogs::openFile(const kit::OpenFileRequest& request) {
    asked.push_back({QStringLiteral("openFile"), request.title, request.filter, {}});
    fileRequests.push_back(request);
    if (files_.empty()) {
        ADD_FAILURE() << "unexpected file dialog";
        return std::nullopt;
    }
    auto path = std::move(files_.front());
    files_.pop_front();
    return path;
}

int ScriptedJoysticks::joyGetPos(int id, kit::JOYINFO& info) {
    ++reads;
    if (id < 0 || id > 1) {
        info = {};
        return 1;
    }
    if (reader) {
        reader(id, stick[id]);
    }
    info = stick[id];
    return 0;
}

} // namespace zavok::test
