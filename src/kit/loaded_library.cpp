#include "loaded_library.h"

#include <dlfcn.h>

namespace zavok::kit {

namespace {

// The loader's own words, or at least what it did not find: a reason left empty would read as success.
QString loaderError(const char* what) {
    const char* error = ::dlerror();
    return error != nullptr ? QString::fromLocal8Bit(error) : QLatin1String(what) + QStringLiteral(" not found");
}

} // namespace

LoadedLibrary::LoadedLibrary(const char* soname) : handle_(::dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {
    if (handle_ == nullptr) {
        why_ = loaderError(soname);
    }
}

void* LoadedLibrary::symbol(const char* name) {
    if (!why_.isEmpty()) {
        return nullptr;
    }
    void* found = ::dlsym(handle_, name);
    if (found == nullptr) {
        why_ = loaderError(name);
    }
    return found;
}

} // namespace zavok::kit
