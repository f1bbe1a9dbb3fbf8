#pragma once

#include <QString>

#include <mosquitto.h>

namespace zavok::mqtt {

// The functions of libmosquitto that a client calls, each under its name without the "mosquitto_" in front.
#define ZAVOK_MOSQUITTO_FUNCTIONS(F)                                                                                   \
    F(lib_init)                                                                                                        \
    F(lib_cleanup)                                                                                                     \
    F(strerror)                                                                                                        \
    F(reason_string)                                                                                                   \
    F(new)                                                                                                             \
    F(destroy)                                                                                                         \
    F(int_option)                                                                                                      \
    F(threaded_set)                                                                                                    \
    F(will_set)                                                                                                        \
    F(username_pw_set)                                                                                                 \
    F(tls_set)                                                                                                         \
    F(property_add_int32)                                                                                              \
    F(property_free_all)                                                                                               \
    F(connect_bind_v5)                                                                                                 \
    F(connect_async)                                                                                                   \
    F(reconnect_async)                                                                                                 \
    F(disconnect)                                                                                                      \
    F(loop)                                                                                                            \
    F(publish)                                                                                                         \
    F(subscribe_v5)                                                                                                    \
    F(connect_callback_set)                                                                                            \
    F(disconnect_callback_set)                                                                                         \
    F(publish_callback_set)                                                                                            \
    F(message_callback_set)                                                                                            \
    F(log_callback_set)

// libmosquitto, and libssl and libcrypto with it, loaded when the first client is made rather than at the start: a
// run without a broker never maps them, and they are a good part of what a start would load and keep resident.
struct MosquittoLibrary {
#define ZAVOK_MOSQUITTO_POINTER(name) decltype(&::mosquitto_##name) name##_ = nullptr;
    ZAVOK_MOSQUITTO_FUNCTIONS(ZAVOK_MOSQUITTO_POINTER)
#undef ZAVOK_MOSQUITTO_POINTER
};

// The library, loaded and set up at the first call and kept until the program ends (its process-wide state torn down
// then); nullptr, with the loader's reason in `why`, where it cannot be loaded.
const MosquittoLibrary* mosquittoLibrary(QString& why);

} // namespace zavok::mqtt
