// The CPU baseline of the whole-program benchmark: the work that monitoring cannot do without, on the same timers,
// with no window and nothing else. Ten port reads a second; for each of four channels ten bursts a second of 101
// joystick reads, the burst written to its sample file the cheapest way and read back. The inputs come from the
// same state file, through the same input source, as the program's.
//
// Qt lets timers of the default (coarse) kind fire up to 5 % early or late, so that timers of one period wake the
// process together, as the program's scheduler has them; --precise asks for precise timers instead, which wake it
// once for each timer that runs a millisecond apart from the others.
//
// --window does the same work in a Qt Widgets program that shows one label, to tell what a window's event loop costs
// by itself.
//
// Usage: zavok_bare_work [--precise] [--window] STATE-FILE DIRECTORY    (runs until SIGTERM)
#include "inputs/input_sources.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTimer>

#include <array>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <numeric>
#include <unistd.h>

namespace {

class Channel {
public:
    Channel(zavok::kit::Joysticks& joysticks, int channel, const QString& directory)
        : joysticks_(joysticks)
        , id_((channel - 1) / 2)
        , x_(channel % 2 == 1)
        , path_(QFile::encodeName(QDir(directory).filePath(QStringLiteral("values%1.zvk").arg(channel)))) {}

    void tick() {
        zavok::kit::JOYINFO info;
        std::array<quint32, 100> burst{};
        joysticks_.joyGetPos(id_, info);
        for (quint32& reading : burst) {
            joysticks_.joyGetPos(id_, info);
            reading = x_ ? info.wXpos : info.wYpos;
        }
        char* out = buffer_.data();
        for (quint32 reading : burst) {
            out = std::to_chars(out, buffer_.data() + buffer_.size() - 2, reading).ptr;
            *out++ = '\r';
            *out++ = '\n';
        }
        const auto length = std::size_t(out - buffer_.data());
        const int fd = ::open(path_.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) {
            return;
        }
        if (::pwrite(fd, buffer_.data(), length, 0) == ssize_t(length) && ::ftruncate(fd, off_t(length)) == 0) {
            const ssize_t back = ::pread(fd, buffer_.data(), buffer_.size(), 0);
            const char* p = buffer_.data();
            const char* end = p + std::max<ssize_t>(back, 0);
            for (quint32& reading : burst) {
                p = std::from_chars(p, end, reading).ptr + 2;
                if (p >= end) {
                    break;
                }
            }
        }
        ::close(fd);
        sum_ += std::accumulate(burst.begin(), burst.end(), quint64(0));
    }

    quint64 sum() const { return sum_; }

private:
    zavok::kit::Joysticks& joysticks_;
    int id_;
    bool x_;
    QByteArray path_;
    std::array<char, 1200> buffer_{};
    quint64 sum_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    bool window = false;
    for (int i = 1; i < argc; ++i) {
        window = window || std::strcmp(argv[i], "--window") == 0;
    }
    const std::unique_ptr<QCoreApplication> app =
        window ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    std::unique_ptr<QLabel> label;
    if (window) {
        label = std::make_unique<QLabel>(QStringLiteral("ZAVOK"));
        label->show();
    }
    QStringList arguments = QCoreApplication::arguments().mid(1);
    arguments.removeAll(QStringLiteral("--window"));
    const bool precise = arguments.removeAll(QStringLiteral("--precise")) > 0;
    if (arguments.size() != 2) {
        std::fputs("usage: zavok_bare_work [--precise] [--window] STATE-FILE DIRECTORY\n", stderr);
        return 2;
    }
    const Qt::TimerType kind = precise ? Qt::PreciseTimer : Qt::CoarseTimer;
    zavok::inputs::InputOptions options;
    options.source = zavok::inputs::InputOptions::Source::File;
    options.path = arguments.at(0);
    auto created = zavok::inputs::InputSources::create(options, false);
    if (!std::holds_alternative<std::unique_ptr<zavok::inputs::InputSources>>(created)) {
        std::fputs("cannot read the state file\n", stderr);
        return 2;
    }
    const auto& sources = std::get<std::unique_ptr<zavok::inputs::InputSources>>(created);
    const QString directory = arguments.at(1);

    quint64 ports = 0;
    QTimer poll;
    poll.setTimerType(kind);
    QObject::connect(&poll, &QTimer::timeout, [&] { ports += quint64(sources->port().Inzavok(513)); });
    poll.start(100);

    std::array<std::unique_ptr<Channel>, 4> channels;
    std::array<QTimer, 4> timers;
    for (int k = 1; k <= 4; ++k) {
        channels.at(std::size_t(k - 1)) = std::make_unique<Channel>(sources->joysticks(), k, directory);
        QObject::connect(&timers.at(std::size_t(k - 1)), &QTimer::timeout,
                         [c = channels.at(std::size_t(k - 1)).get()] { c->tick(); });
        timers.at(std::size_t(k - 1)).setTimerType(kind);
        timers.at(std::size_t(k - 1)).start(100);
    }
    std::signal(SIGTERM, [](int) { std::_Exit(0); });
    return QCoreApplication::exec();
}
