#pragma once

#include <QString>

namespace zavok::kit {

// A shared library loaded when it is first needed rather than by the loader at the start: a run that never needs it
// neither maps it, nor the libraries it needs, nor pays their relocations. It stays loaded until the program ends, as
// a linked one would: what it set up for itself (threads, handlers in the libraries it brought along) may outlive any
// use of it.
class LoadedLibrary {
public:
    explicit LoadedLibrary(const char* soname);

    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    // Points `function` at the library's `name`; where the library or the name is missing, `function` is null and
    // why() says so.
    template <typename Function> void find(const char* name, Function& function) {
        function = reinterpret_cast<Function>(symbol(name));
    }
    // The loader's reason for the first thing missing; empty while everything asked for was found.
    const QString& why() const { return why_; }

private:
    void* symbol(const char* name);

    void* handle_ = nullptr;
    QString why_;
};

// The functions a caller uses of a library, found in it at the first call and kept until the end; nullptr, with the
// reason in `why`, where any of them cannot be. `Functions` names a member for each (ZAVOK_LIBRARY_MEMBER) and finds
// them in `findIn(LoadedLibrary& library)` (ZAVOK_LIBRARY_FIND).
template <typename Functions> const Functions* loadedFunctions(const char* soname, QString& why) {
    static const struct Loaded {
        explicit Loaded(const char* name) : library(name) { functions.findIn(library); }
        LoadedLibrary library;
        Functions functions;
    } loaded(soname);
    why = loaded.library.why();
    return why.isEmpty() ? &loaded.functions : nullptr;
}

} // namespace zavok::kit

// A table's member for `function`, under the function's own name and of its own type, so that a call through the
// table reads as the direct call would.
#define ZAVOK_LIBRARY_MEMBER(function) decltype(&::function) function = nullptr;
// In a table's findIn(LoadedLibrary& library): finds its member for `function`.
#define ZAVOK_LIBRARY_FIND(function) library.find(#function, function);
