#pragma once

// Adapters that stand in for the machine where a program built on the core only runs it and asks nothing: a clock
// stopped at one moment, boxes that answer as cancelled, a silent bell, no pictures, and inputs that hold still.
// Header-only, so that the fuzz targets and the developer tools, which build without the tests, can use it too.

#include "kit/bell.h"
#include "kit/clock.h"
#include "kit/dialogs.h"
#include "kit/inputs.h"
#include "kit/pictures.h"

#include <QDateTime>

namespace zavok::test {

class FixedClock final : public kit::Clock {
public:
    explicit FixedClock(QDateTime moment = QDateTime(QDate(2001, 7, 13), QTime(8, 15, 20))) : moment_(moment) {}
    QDateTime now() const override { return moment_; }

private:
    QDateTime moment_;
};

class NoDialogs final : public kit::Dialogs {
public:
    void message(const QString&, const QString&) override {}
    QString input(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> openFile(const kit::OpenFileRequest&) override { return std::nullopt; }
};

class NoBell final : public kit::Bell {
public:
    void beep() override {}
};

class NoPictures final : public kit::Pictures {
public:
    bool canLoad(const QString&) const override { return false; }
};

// The game port's byte (every contact at rest until it is changed), and each joystick's X and Y where they are put.
class SteadyInputs final : public kit::GamePort, public kit::Joysticks {
public:
    SteadyInputs(quint32 x, quint32 y) : info_{x, y, 0, 0} {}
    qint16 Inzavok(int) override { return port; }
    void Outzavok(int, int) override {}
    int joyGetPos(int, kit::JOYINFO& info) override {
        info = info_;
        return 0;
    }

    qint16 port = 0xFF;

private:
    kit::JOYINFO info_;
};

} // namespace zavok::test
