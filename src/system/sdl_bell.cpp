#include "sdl_bell.h"

#include "quiet_libraries.h"
#include "sdl_audio_library.h"
#include "tone.h"

namespace zavok::system {

namespace {

// How long the output stays open after the last beep: longer than the half second between two beeps of a bell timer.
constexpr int kIdleMs = 2000;

} // namespace

SdlBell::SdlBell(kit::FaultSink sink, std::function<void()> fallback)
    : silence_(std::move(sink))
    , fallback_(std::move(fallback)) {
    idle_.setSingleShot(true);
    idle_.setInterval(kIdleMs);
    idle_.callOnTimeout([this] { close(); });
}

SdlBell::~SdlBell() {
    close();
    if (sound_ == Sound::Ready) {
        sdl_->SDL_FreeWAV(tone_);
        sdl_->SDL_AudioQuit();
    }
    if (lettingGo_.joinable()) {
        lettingGo_.join();
    }
}

void SdlBell::beep() {
    if (!ready()) {
        if (fallback_) {
            fallback_();
        }
        return;
    }
    // A beep still playing is not queued again: bells that ring together ring as one.
    if (sdl_->SDL_GetQueuedAudioSize(device_) == 0) {
        sdl_->SDL_QueueAudio(device_, tone_, toneBytes_);
    }
    idle_.start();
}

bool SdlBell::ready() {
    if (sound_ == Sound::Missing) {
        return false;
    }
    if (sound_ == Sound::Untried) {
        QString why;
        sdl_ = sdlAudioLibrary(why);
        if (sdl_ == nullptr) {
            missing(why);
            return false;
        }
        quietAlsa();
        // The audio alone, not as one of SDL's counted subsystems: those are counted without a lock, and the audio
        // may be let go on a thread of its own while the joysticks' SDL starts or ends on this one.
        if (sdl_->SDL_AudioInit(nullptr) != 0) {
            missing(QString::fromUtf8(sdl_->SDL_GetError()));
            return false;
        }
        const QByteArray wav = bellTone();
        SDL_AudioSpec audio{};
        if (sdl_->SDL_LoadWAV_RW(sdl_->SDL_RWFromConstMem(wav.constData(), int(wav.size())), 1, &audio, &tone_,
                                 &toneBytes_) == nullptr) {
            letGo();
            missing(QString::fromUtf8(sdl_->SDL_GetError()));
            return false;
        }
        frequency_ = audio.freq;
        format_ = audio.format;
        channels_ = audio.channels;
        sound_ = Sound::Ready;
    }
    if (device_ == 0) {
        SDL_AudioSpec audio{};
        audio.freq = frequency_;
        audio.format = format_;
        audio.channels = channels_;
        audio.samples = 1024;
        device_ = sdl_->SDL_OpenAudioDevice(nullptr, 0, &audio, nullptr, 0);
        if (device_ == 0) {
            // Not tried again: each try makes the sound library complain on standard error, and a machine without a
            // sound output now will hardly have one soon.
            const QString why = QString::fromUtf8(sdl_->SDL_GetError());
            sdl_->SDL_FreeWAV(tone_);
            letGo();
            missing(why);
            return false;
        }
        sdl_->SDL_PauseAudioDevice(device_, 0);
    }
    return true;
}

void SdlBell::letGo() {
    // Letting go of the audio joins the thread SDL watches the sound cards on, which sleeps a tenth of a second at a
    // time: the window just painted, or the tick that rang, does not wait for it. Nothing of this bell touches the
    // audio again once it has none, and the destructor waits for it.
    lettingGo_ = std::thread([sdl = sdl_] { sdl->SDL_AudioQuit(); });
}

void SdlBell::missing(const QString& why) {
    sound_ = Sound::Missing;
    tone_ = nullptr;
    // The sound server is found through the runtime directory: without one there is none to find.
    const QString unfound =
        qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")
            ? QStringLiteral(", and XDG_RUNTIME_DIR, where a sound server is looked for, is not set")
            : QString();
    silence_.once(0,
                  QStringLiteral("zavok: the bell has no sound output to ring on (%1%2); it %3")
                      .arg(why, unfound,
                           fallback_ ? QStringLiteral("rings as the desktop's beep") : QStringLiteral("stays silent")));
}

void SdlBell::close() {
    if (device_ != 0) {
        sdl_->SDL_CloseAudioDevice(device_);
        device_ = 0;
    }
}

} // namespace zavok::system
