#pragma once

#include "kit/bell.h"
#include "kit/clock.h"
#include "kit/dialogs.h"
#include "kit/inputs.h"
#include "kit/pictures.h"
#include "kit/virtual_scheduler.h"

#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

namespace zavok::test {

// Wall-clock time that moves with the virtual scheduler: the start moment plus the virtual milliseconds.
class VirtualClock final : public kit::Clock {
public:
    VirtualClock(const kit::VirtualScheduler& scheduler, QDateTime start) : scheduler_(scheduler), start_(start) {}
    QDateTime now() const override { return start_.addMSecs(scheduler_.now()); }
    void setStart(QDateTime start) { start_ = start; }

private:
    const kit::VirtualScheduler& scheduler_;
    QDateTime start_;
};

// Answers every box from a queue, and records what the user was shown. An answer may carry something to do
// while the box is open, since timers keep running behind a modal box.
class ScriptedDialogs final : public kit::Dialogs {
public:
    struct Asked {
        QString kind; // "message", "input" or "openFile"
        QString title;
        QString text; // the message, the prompt, or the file dialog's filter
        QString proposal;
    };

    void answerInput(QString text, std::function<void()> whileOpen = {}) {
        inputs_.emplace_back(std::move(text), std::move(whileOpen));
    }
    void answerFile(std::optional<QString> path) { files_.push_back(std::move(path)); }
    // Something to do while the next message box waits for OK.
    void whileNextMessage(std::function<void()> action) { messages_.push_back(std::move(action)); }

    void message(const QString& title, const QString& text) override {
        asked.push_back({QStringLiteral("message"), title, text, {}});
        if (!messages_.empty()) {
            const std::function<void()> action = std::move(messages_.front());
            messages_.pop_front();
            action();
        }
    }
    QString input(const QString& title, const QString& prompt, const QString& proposal) override {
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
    std::optional<QString> openFile(const kit::OpenFileRequest& request) override {
        asked.push_back({QStringLiteral("openFile"), request.title, request.filter, {}});
        fileRequests.push_back(request);
        if (files_.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return std::nullopt;
        }
        const std::optional<QString> answer = files_.front();
        files_.pop_front();
        return answer;
    }

    QStringList messages() const {
        QStringList texts;
        for (const Asked& a : asked) {
            if (a.kind == QStringLiteral("message")) {
                texts << a.text;
            }
        }
        return texts;
    }

    std::vector<Asked> asked;
    std::vector<kit::OpenFileRequest> fileRequests;

private:
    std::deque<std::pair<QString, std::function<void()>>> inputs_;
    std::deque<std::optional<QString>> files_;
    std::deque<std::function<void()>> messages_;
};

class CountingBell final : public kit::Bell {
public:
    void beep() override { ++beeps; }
    int beeps = 0;
};

class FakePictures final : public kit::Pictures {
public:
    bool canLoad(const QString& path) const override { return pictures.contains(path); }
    QSet<QString> pictures;
};

class ScriptedPort final : public kit::GamePort {
public:
    qint16 Inzavok(int port) override {
        ports.push_back(port);
        return value;
    }
    void Outzavok(int, int) override {}
    QString fault() const override { return faultText; }
    qint16 value = 240;
    QString faultText;
    std::vector<int> ports;
};

// The axis readings per joystick; a reader may replace them between calls.
class ScriptedJoysticks final : public kit::Joysticks {
public:
    int joyGetPos(int id, kit::JOYINFO& info) override {
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
    QString fault(int id) const override { return id >= 0 && id <= 1 ? faults[id] : QString(); }
    kit::JOYINFO stick[2];
    QString faults[2];
    std::function<void(int id, kit::JOYINFO& info)> reader;
    int reads = 0;
};

} // namespace zavok::test
