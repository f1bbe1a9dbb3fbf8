# One target carries the language level, the warnings and Qt's strictness for every target of the project.
add_library(zavok_options INTERFACE)
target_compile_features(zavok_options INTERFACE cxx_std_20)
target_compile_options(zavok_options INTERFACE
    -Wall -Wextra -Wcast-qual -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual
    $<$<BOOL:${ZAVOK_WERROR}>:-Werror>)
target_compile_definitions(zavok_options INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_KEYWORDS_FOR_FOREACH
    QT_STRICT_ITERATORS
    QT_USE_QSTRINGBUILDER
    QT_DISABLE_DEPRECATED_UP_TO=0x060400)
if(ZAVOK_SANITIZE)
    target_compile_options(zavok_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    target_link_options(zavok_options INTERFACE -fsanitize=address,undefined)
endif()
# The hardening a Debian package is built with: stack protection, checked string and memory functions, and
# relocations made read-only at start. The sanitizer and fuzz builds check memory their own way.
if(NOT ZAVOK_SANITIZE AND NOT ZAVOK_FUZZ)
    target_compile_options(zavok_options INTERFACE -fstack-protector-strong -fstack-clash-protection
        -Werror=format-security)
    target_compile_definitions(zavok_options INTERFACE $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
    target_link_options(zavok_options INTERFACE LINKER:-z,relro LINKER:-z,now)
endif()
