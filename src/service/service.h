#pragma once

#include "service/command_line.h"

namespace zavok::service {

// The service: the same core with no window and no display, whose boxes never open and whose bell rings where
// there is a sound output. Its exit status.
int runService(int argc, char** argv, const Options& options);

} // namespace zavok::service
