#include "fakes.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace zavok::test {

void ScriptedDialogs::answerInput(QString text, std::function<void()> whileOpen) {
    inputs_.emplace_back(std::move(text), std::move(whileOpen));
}

void ScriptedDialogs::answerFile(std::optional<QString> path) {
    files_.emplace_back(path.has_value(), path.value_or(QString()));
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
        // A dialog that loops until it gets an answer would spin for ever on empty texts.
        ADD_FAILURE() << "unexpected input box: " << title.toStdString();
        throw std::runtime_error("no scripted answer left");
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
    const auto [chosen, path] = files_.front();
    files_.pop_front();
    return chosen ? std::optional<QString>(path) : std::nullopt;
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
