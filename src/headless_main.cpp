// The service alone, built without any library that draws: `zavok --headless` becomes this program, which keeps it
// as small in memory as a program that runs for months should be.

#include "run.h"
#include "service.h"

int main(int argc, char** argv) {
    zavok::platform::ignoreWriteSignals();
    const auto read = zavok::readOptions(argc, argv);
    if (const int* status = std::get_if<int>(&read)) {
        return *status;
    }
    const auto& options = *std::get_if<zavok::platform::Options>(&read);
    if (options.historyCsv) {
        return zavok::exportHistory(argc, argv, *options.historyCsv);
    }
    return zavok::runService(argc, argv, options);
}
