#include "platform/input_options.h"

#include <QTextStream>

#include <gtest/gtest.h>

namespace zavok::platform {
namespace {

using Result = std::variant<Options, int>;

struct Outcome {
    Result result;
    QString out;
    QString err;
};

Outcome parse(std::initializer_list<const char*> args) {
    QStringList list{QStringLiteral("zavok")};
    for (const char* arg : args) {
        list << QString::fromUtf8(arg);
    }
    Outcome o;
    QTextStream out(&o.out);
    QTextStream err(&o.err);
    o.result = parseCommandLine(list, QStringLiteral("1.2.3"), out, err);
    return o;
}

TEST(CommandLine, ChoosesEachSource) {
    using enum InputOptions::Source;
    const struct {
        std::initializer_list<const char*> args;
        Options expected;
    } rows[] = {
        {{}, {{Auto, {}}}},
        {{"--input=auto"}, {{Auto, {}}}},
        {{"--input=joystick"}, {{Joystick, {}}}},
        {{"--input", "sim"}, {{Sim, {}}}},
        {{"--input=ioport"}, {{IoPort, {}}}},
        {{"--input=file:/tmp/state 1.txt"}, {{File, QStringLiteral("/tmp/state 1.txt")}}},
        {{"--input=file:a:b"}, {{File, QStringLiteral("a:b")}}},
        {{"--input=sim", "--input=joystick"}, {{Joystick, {}}}},
        {{"--logs-in-data-dir", "--input=sim"}, {{Sim, {}}, true}},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Outcome o = parse(rows[i].args);
        EXPECT_EQ(o.result, Result(rows[i].expected)) << "row " << i;
        EXPECT_EQ(o.out + o.err, QString()) << "row " << i;
    }
}

TEST(CommandLine, HelpAndVersionGoToStandardOutputAndSucceed) {
    const Outcome help = parse({"--help", "--input=bogus"});
    EXPECT_EQ(help.result, Result(0));
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: zavok [--input=SOURCE] [--logs-in-data-dir]\n")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("file:PATH")));
    EXPECT_EQ(help.err, QString());

    const Outcome version = parse({"--version"});
    EXPECT_EQ(version.result, Result(0));
    EXPECT_EQ(version.out, QStringLiteral("zavok 1.2.3\n"));
    EXPECT_EQ(version.err, QString());
}

TEST(CommandLine, RefusesBadInputWithOneLineAndTheUsage) {
    const struct {
        std::initializer_list<const char*> args;
        const char* line;
    } rows[] = {
        {{"--input=bogus"}, "zavok: unknown input source 'bogus' (choose auto, joystick, sim, file:PATH or ioport)"},
        {{"--input="}, "zavok: unknown input source '' (choose auto, joystick, sim, file:PATH or ioport)"},
        {{"--input=file:"}, "zavok: --input=file: needs the path of the state file, as in --input=file:/tmp/zavok.txt"},
        {{"--input"}, "zavok: --input needs a source, as in --input=sim"},
        {{"--input=bogus", "--help"},
         "zavok: unknown input source 'bogus' (choose auto, joystick, sim, file:PATH or "
         "ioport)"},
        {{"--fast"}, "zavok: unknown option '--fast'"},
        {{"-platform", "xcb"}, "zavok: unknown option '-platform'"},
        {{"phones.zvk"}, "zavok: unexpected argument 'phones.zvk'"},
    };
    for (const auto& row : rows) {
        const Outcome o = parse(row.args);
        EXPECT_EQ(o.result, Result(2)) << row.line;
        EXPECT_EQ(o.out, QString());
        const QStringList lines = o.err.split(u'\n');
        EXPECT_EQ(lines.value(0), QString::fromUtf8(row.line));
        EXPECT_TRUE(lines.value(1).startsWith(QStringLiteral("Usage: zavok ")));
    }
}

} // namespace
} // namespace zavok::platform
