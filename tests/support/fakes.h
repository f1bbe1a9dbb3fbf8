#pragma once

#include "kit/bell.h"
#include "kit/clock.h"
#include "kit/dialogs.h"
#include "kit/inputs.h"
#include "kit/pictures.h"
#include "kit/virtual_scheduler.h"

#include <QSet>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
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

    void answerInput(QString text, std::function<void()> whileOpen = {});
    void answerFile(std::optional<QString> path);
    // Something to do while the next message box waits for OK.
    void whileNextMessage(std::function<void()> action);

    void message(const QString& title, const QString& text) override;
    QString input(const QString& title, const QString& prompt, const QString& proposal) override;
    std::optional<QString> openFile(const kit::OpenFileRequest& request) override;

    std::vector<Asked> asked;
    std::vector<kit::OpenFileRequest> fileRequests;

private:
    std::deque<std::pair<QString, std::function<void()>>> inputs_;
    std::deque<std::pair<bool, QString>> files_; // chosen, path
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
    void Outzavok(int, int) override { ++writes; }
    QString fault() const override { return faultText; }
    qint16 value = 240;
    QString faultText;
    std::vector<int> ports;
    int writes = 0;
};

class ScriptedJoysticks final : public kit::Joysticks {
public:
    int joyGetPos(int id, kit::JOYINFO& info) override;
    // The axis readings per joystick; a reader may replace them between calls.
    kit::JOYINFO stick[2];
    std::function<void(int id, kit::JOYINFO& info)> reader;
    int reads = 0;
};

} // namespace zavok::test
