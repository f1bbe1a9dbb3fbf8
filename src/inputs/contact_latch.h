#pragma once

#include "input_records.h"

namespace zavok::inputs {

// The port is read once per poll tick, which may be a minute apart: a door opened and shut in between would go
// unseen. The latch remembers every closure since the previous read, so that read reports it once before it
// follows the live state again.
class ContactLatch {
public:
    void close(ContactSet contacts) { latched_ = ContactSet(latched_ | contacts); }

    // The contacts to report now: those closed at this moment and those closed since the last call.
    ContactSet take(ContactSet liveClosed) {
        const auto reported = ContactSet(liveClosed | latched_);
        latched_ = 0;
        return reported;
    }

private:
    ContactSet latched_ = 0;
};

} // namespace zavok::inputs
