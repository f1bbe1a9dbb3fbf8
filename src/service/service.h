#pragma once

#include "platform/command_line.h"

namespace zavok {

// The service: the same core with no window and no display, whose boxes never open and whose bell rings where
// there is a sound output. Its exit status.
int runService(int argc, char** argv, const platform::Options& options);

} // namespace zavok
