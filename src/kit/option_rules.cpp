#include "option_rules.h"

#include "printable.h"

namespace zavok::kit {

const Setting* given(const Settings& settings, const char* name) {
    const auto found = settings.find(QLatin1String(name));
    return found != settings.end() ? &found->second : nullptr;
}

std::variant<bool, Refusal> truth(const Setting& setting) {
    const QString v = setting.value.toLower();
    if (v == QStringLiteral("true") || v == QStringLiteral("yes") || v == QStringLiteral("on") ||
        v == QStringLiteral("1")) {
        return true;
    }
    if (v == QStringLiteral("false") || v == QStringLiteral("no") || v == QStringLiteral("off") ||
        v == QStringLiteral("0")) {
        return false;
    }
    return Refusal{QStringLiteral("%1: '%2' is neither true nor false").arg(setting.origin, printable(setting.value))};
}

} // namespace zavok::kit
