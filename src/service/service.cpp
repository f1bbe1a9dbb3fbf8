#include "service/service.h"

#include "service/run.h"
#include "system/headless_dialogs.h"
#include "system/sdl_bell.h"

#include <QCoreApplication>

namespace zavok::service {

namespace {

// Nobody sees the picture: the built-in one stays, and the path the user chose stays stored for the desktop.
class UnseenPictures final : public kit::Pictures {
public:
    bool canLoad(const QString&) const override { return false; }
};

} // namespace

int runService(int argc, char** argv, const Options& options) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zavok"));
    auto inputs = Run::openInputs(options);
    if (const int* status = std::get_if<int>(&inputs)) {
        return *status;
    }
    system::HeadlessDialogs dialogs;
    system::SdlBell bell;
    const UnseenPictures pictures;
    Run run(options, std::move(std::get<std::unique_ptr<inputs::InputSources>>(inputs)), dialogs, bell, pictures);
    run.start();
    return run.exec();
}

} // namespace zavok::service
