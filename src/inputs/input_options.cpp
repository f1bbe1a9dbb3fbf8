#include "input_options.h"

#include "kit/printable.h"

#include <array>
#include <utility>

namespace zavok::inputs {

namespace {

constexpr std::array kRules = {
    kit::OptionRule{"input", kit::Takes::Value, kit::Scope::Run, "a source, as in --input=sim"},
};

} // namespace

kit::OptionRules inputRules() {
    return kRules;
}

// Each source as an option of its own, so that the man page made from this text keeps the list as it stands here.
QString inputUsage() {
    return QStringLiteral(
        "  --input=SOURCE  where the contacts and sensors are read from, one of these:\n"
        "  --input=auto    joysticks when one is plugged in at start, else the simulator (the default; with "
        "--headless,\n"
        "                  joysticks only)\n"
        "  --input=joystick  joysticks and game pads\n"
        "  --input=sim     the built-in input simulator window\n"
        "  --input=file:PATH  a state file of five whole numbers: the port byte, then joystick 1 X, joystick 1 Y,\n"
        "                     joystick 2 X, joystick 2 Y\n"
        "  --input=ioport  the game port at 0x201 (x86 Linux; needs root or CAP_SYS_RAWIO)\n");
}

std::optional<kit::Refusal> readInputOptions(const kit::Settings& settings, InputOptions& input) {
    const kit::Setting* setting = kit::given(settings, "input");
    if (setting == nullptr) {
        return std::nullopt;
    }
    const QString& value = setting->value;
    using Source = InputOptions::Source;
    const QString filePrefix = QStringLiteral("file:");
    if (value.startsWith(filePrefix)) {
        const QString path = value.mid(filePrefix.size());
        if (path.isEmpty()) {
            return kit::Refusal{
                QStringLiteral("--input=file: needs the path of the state file, as in --input=file:/tmp/zavok.txt")};
        }
        input = {Source::File, path};
        return std::nullopt;
    }
    const std::pair<QString, Source> names[] = {
        {QStringLiteral("auto"), Source::Auto},
        {QStringLiteral("joystick"), Source::Joystick},
        {QStringLiteral("sim"), Source::Sim},
        {QStringLiteral("ioport"), Source::IoPort},
    };
    for (const auto& [name, kind] : names) {
        if (value == name) {
            input = {kind, {}};
            return std::nullopt;
        }
    }
    return kit::Refusal{QStringLiteral("unknown input source '%1' (choose auto, joystick, sim, file:PATH or ioport)")
                            .arg(kit::printable(value))};
}

} // namespace zavok::inputs
