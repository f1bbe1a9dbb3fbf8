#include "quiet_libraries.h"

#include "kit/loaded_library.h"

#include <QString>
#include <QtGlobal>

#include <alsa/asoundlib.h>
#include <array>

namespace zavok::system {

namespace {

// How Qt's sound side begins what it says of a missing sound server or device. They come in Qt's default category,
// as any warning does, so their words are all there is to know them by.
constexpr std::array kSoundNoise = {
    QLatin1StringView("PulseAudioService: "),
    QLatin1StringView("No audio device detected"),
    QLatin1StringView("QStandardPaths: XDG_RUNTIME_DIR not set"),
};

QtMessageHandler passOn = nullptr;

void withoutSoundNoise(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtCriticalMsg && type != QtFatalMsg) {
        for (const QLatin1StringView noise : kSoundNoise) {
            if (message.startsWith(noise)) {
                return;
            }
        }
    }
    passOn(type, context, message);
}

// ALSA hands each error here before it formats it; none is shown. Variadic because ALSA's handler type is.
void dropAlsaError(const char*, int, const char*, int, const char*, ...) {} // NOLINT(cert-dcl50-cpp)

// The one function of ALSA the program calls itself, found in the copy SDL brought along.
struct AlsaErrors {
    ZAVOK_LIBRARY_MEMBER(snd_lib_error_set_handler)
    void findIn(kit::LoadedLibrary& library) { ZAVOK_LIBRARY_FIND(snd_lib_error_set_handler) }
};

} // namespace

void quietLibraries() {
    passOn = qInstallMessageHandler(&withoutSoundNoise);
}

void quietAlsa() {
    // The library is the one SDL links, so its errors come here too. Where it is not there, SDL has no ALSA to fall
    // back on, and nothing of ALSA's can be said.
    QString why;
    if (const AlsaErrors* alsa = kit::loadedFunctions<AlsaErrors>("libasound.so.2", why)) {
        alsa->snd_lib_error_set_handler(&dropAlsaError);
    }
}

} // namespace zavok::system
