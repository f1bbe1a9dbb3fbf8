#include "service.h"

#include "platform/headless_dialogs.h"
#include "platform/sdl_bell.h"
#include "run.h"

#include <QCoreApplication>

namespace zavok {

namespace {

// Nobody sees the picture: the built-in one stays, and the path the user chose stays stored for the desktop.
class UnseenPictures final : public kit::Pictures {
public:
    bool canLoad(const QString&) const override { return false; }
};

} // namespace

int runService(int argc, char** argv, const platform::Options& options) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zavok"));
    auto inputs = Run::openInputs(options);
    if (const int* status = std::get_if<int>(&inputs)) {
        return *status;
    }
    platform::HeadlessDialogs dialogs;
    platform::SdlBell bell;
    const UnseenPictures pictures;
    Run run(options, std::move(std::get<std::unique_ptr<platform::InputSources>>(inputs)), dialogs, bell, pictures);
    run.start();
    return run.exec();
}

} // namespace zavok
