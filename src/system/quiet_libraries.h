#pragma once

namespace zavok::system {

// The sound libraries tell standard error what they cannot find (no sound card, no sound server, no runtime
// directory to look for one in) in lines that read as the program's own errors: ALSA's through its error handler,
// Qt's and its sound plugin's as plain warnings. These keep those quiet for the whole process; every other message,
// the program's own above all, goes where it went. The bells say once, in the program's words, that there is no
// sound output.

// Qt's part. Called first thing, before any library is set up.
void quietLibraries();

// ALSA's part, which SDL's audio loads and falls back on: called once SDL is loaded, before its audio starts.
void quietAlsa();

} // namespace zavok::system
