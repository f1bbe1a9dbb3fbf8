#include "mosquitto_library.h"

#include "kit/loaded_library.h"

namespace zavok::mqtt {

namespace {

// The soname Debian's libmosquitto1 installs, the one a program linked against it would ask for.
constexpr const char* kSoname = "libmosquitto.so.1";

class Loaded {
public:
    Loaded() {
#define ZAVOK_MOSQUITTO_FIND(name) library_.find("mosquitto_" #name, functions_.name##_);
        ZAVOK_MOSQUITTO_FUNCTIONS(ZAVOK_MOSQUITTO_FIND)
#undef ZAVOK_MOSQUITTO_FIND
        if (library_.why().isEmpty()) {
            functions_.lib_init_();
        }
    }

    // Its process-wide state goes at the end; the library itself stays, for the TLS libraries it brought along may
    // keep handlers of their own registered until then.
    ~Loaded() {
        if (library_.why().isEmpty()) {
            functions_.lib_cleanup_();
        }
    }

    Loaded(const Loaded&) = delete;
    Loaded& operator=(const Loaded&) = delete;

    const MosquittoLibrary* functions(QString& why) const {
        why = library_.why();
        return why.isEmpty() ? &functions_ : nullptr;
    }

private:
    kit::LoadedLibrary library_{kSoname};
    MosquittoLibrary functions_;
};

} // namespace

const MosquittoLibrary* mosquittoLibrary(QString& why) {
    static const Loaded library;
    return library.functions(why);
}

} // namespace zavok::mqtt
