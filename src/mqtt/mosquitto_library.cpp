#include "mosquitto_library.h"

#include <dlfcn.h>

namespace zavok::mqtt {

namespace {

// The soname Debian's libmosquitto1 installs, the one a program linked against it would ask for.
constexpr const char* kSoname = "libmosquitto.so.1";

class Loaded {
public:
    Loaded() {
        void* handle = ::dlopen(kSoname, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            why_ = loaderError(kSoname);
            return;
        }
#define ZAVOK_MOSQUITTO_LOAD(name)                                                                                     \
    if (why_.isEmpty() && !find(handle, "mosquitto_" #name, functions_.name##_)) {                                     \
        why_ = loaderError("mosquitto_" #name);                                                                        \
    }
        ZAVOK_MOSQUITTO_FUNCTIONS(ZAVOK_MOSQUITTO_LOAD)
#undef ZAVOK_MOSQUITTO_LOAD
        if (why_.isEmpty()) {
            functions_.lib_init_();
        }
        // Never closed: the TLS libraries it brought along may keep handlers of their own registered until the end.
    }

    ~Loaded() {
        if (why_.isEmpty()) {
            functions_.lib_cleanup_();
        }
    }

    Loaded(const Loaded&) = delete;
    Loaded& operator=(const Loaded&) = delete;

    const MosquittoLibrary* functions(QString& why) const {
        why = why_;
        return why_.isEmpty() ? &functions_ : nullptr;
    }

private:
    // The loader's own words, or at least what it did not find: a reason left empty would read as success.
    static QString loaderError(const char* what) {
        const char* error = ::dlerror();
        return error != nullptr ? QString::fromLocal8Bit(error) : QLatin1String(what) + QStringLiteral(" not found");
    }

    template <typename Function> static bool find(void* handle, const char* name, Function& function) {
        function = reinterpret_cast<Function>(::dlsym(handle, name));
        return function != nullptr;
    }

    MosquittoLibrary functions_;
    QString why_;
};

} // namespace

const MosquittoLibrary* mosquittoLibrary(QString& why) {
    static const Loaded library;
    return library.functions(why);
}

} // namespace zavok::mqtt
