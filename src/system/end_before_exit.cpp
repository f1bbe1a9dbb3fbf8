#include "end_before_exit.h"

#include <QLatin1StringView>
#include <QString>
#include <QtGlobal>

#include <cstdlib>
#include <thread>

namespace zavok::system {

namespace {

std::function<void()> pending;
std::thread::id mainThread;
QtMessageHandler passOn = nullptr;

// How Qt's X11 plugin begins what it says as the display's connection breaks, just before its exit().
constexpr QLatin1StringView kDisplayBroke("The X11 connection broke");

extern "C" void endPending() {
    if (!pending || std::this_thread::get_id() != mainThread) {
        return;
    }
    const std::function<void()> end = std::move(pending);
    pending = nullptr;
    end();
}

void endAsTheDisplayBreaks(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    passOn(type, context, message);
    if (message.startsWith(kDisplayBroke)) {
        endPending();
    }
}

} // namespace

EndBeforeExit::EndBeforeExit(std::function<void()> end) {
    pending = std::move(end);
    mainThread = std::this_thread::get_id();
    passOn = qInstallMessageHandler(&endAsTheDisplayBreaks);
    // Exit handlers run in the reverse order of their registration, interleaved with the destructors of statics:
    // registered once the program has started, this one runs before the parts of Qt that start-up brought up go.
    [[maybe_unused]] static const bool registered = std::atexit(endPending) == 0;
}

EndBeforeExit::~EndBeforeExit() {
    pending = nullptr;
    qInstallMessageHandler(passOn);
}

} // namespace zavok::system
