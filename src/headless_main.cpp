// The service alone, built without any library that draws: `zavok --headless` becomes this program, which keeps it
// as small in memory as a program that runs for months should be.

#include "service/run.h"
#include "service/service.h"
#include "system/quiet_libraries.h"

int main(int argc, char** argv) {
    zavok::system::ignoreWriteSignals();
    zavok::system::quietLibraries();
    const auto read = zavok::service::readOptions(argc, argv);
    if (const int* status = std::get_if<int>(&read)) {
        return *status;
    }
    const auto& options = *std::get_if<zavok::service::Options>(&read);
    if (options.historyCsv) {
        return zavok::service::exportHistory(argc, argv, *options.historyCsv);
    }
    return zavok::service::runService(argc, argv, options);
}
