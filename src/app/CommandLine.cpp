// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>
#include <array>
#include <string_view>

#ifndef VARNOTH_VERSION
#define VARNOTH_VERSION "unknown"
#endif

namespace varnoth {

namespace {

constexpr std::string_view kSimulateWithScenario = "--simulate=";
constexpr std::string_view kEndOfOptions = "--";
constexpr char16_t kStandInMark = u'\x01';

// The options Qt takes for itself when the application object is built (-platform, -style, …): the
// arguments are checked before that, so they are known here and left to Qt.
struct QtOption {
    const char* name;
    bool takesValue;
};
constexpr std::array<QtOption, 20> kQtOptions{{
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"display", true},
    {"geometry", true},
    {"qwindowgeometry", true},
    {"qwindowtitle", true},
    {"qwindowicon", true},
    {"style", true},
    {"stylesheet", true},
    {"session", true},
    {"name", true},
    {"title", true},
    {"qmljsdebugger", true},
    {"reverse", false},
    {"widgetcount", false},
    {"nograb", false},
    {"dograb", false},
    {"sync", false},
}};

QString Quoted(const QString& text) {
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

// The argument as the user wrote it that the parser names without its dashes.
QString AsWritten(const QStringList& arguments, const QString& name) {
    const auto found = std::find_if(arguments.begin(), arguments.end(), [&](const QString& argument) {
        const QString bare = argument.section(QLatin1Char('='), 0, 0);
        return bare == QLatin1String("--") + name || bare == QLatin1Char('-') + name;
    });
    return found != arguments.end() ? found->section(QLatin1Char('='), 0, 0) : name;
}

// An argument that is not an option reaches the parser as a stand-in, the mark and its index: the parser
// still tells an option's value from a file name, and the stand-in gives back the argument's bytes, which a
// QString would lose where they are not UTF-8 (a file name from a Windows PC).
QString StandIn(std::size_t index) {
    return QChar(kStandInMark) + QString::number(index);
}

// The bytes of the argument the parser gives back: the original of a stand-in, else its own text.
std::string Original(const QString& value, std::span<const std::string> args) {
    if (value.startsWith(QChar(kStandInMark))) {
        bool number = false;
        const qulonglong index = value.mid(1).toULongLong(&number);
        if (number && index < args.size()) {
            return args[index];
        }
    }
    return value.toStdString();
}

}  // namespace

CommandLine ParseCommandLine(std::span<const std::string> args) {
    CommandLine result;
    QStringList arguments{QStringLiteral("varnoth")};
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        // --simulate takes its scenario only as --simulate=SCENARIO, so that it may stand without one.
        if (!optionsEnded && arg.starts_with(kSimulateWithScenario)) {
            result.simulate = true;
            result.scenario = arg.substr(kSimulateWithScenario.size());
            if (result.scenario.empty()) {
                result.error = "--simulate= needs a scenario name";
                return result;
            }
            continue;
        }
        const bool option = !optionsEnded && arg.starts_with('-');
        optionsEnded = optionsEnded || arg == kEndOfOptions;
        arguments.push_back(option ? QString::fromLocal8Bit(arg.data(), static_cast<qsizetype>(arg.size()))
                                   : StandIn(i));
    }

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption simulate(QStringLiteral("simulate"));
    const QCommandLineOption trace(QStringLiteral("trace"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption dialogs(QStringLiteral("dialog-screenshots"));
    parser.addOptions({simulate, trace, screenshot, dialogs});
    for (const QtOption& qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name));
        if (qt.takesValue) {
            option.setValueName(QStringLiteral("VALUE"));
        }
        parser.addOption(option);
    }
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        result.error =
            (unknown.isEmpty() ? parser.errorText()
                               : QStringLiteral("unknown option ") + Quoted(AsWritten(arguments, unknown[0])))
                .toStdString();
        return result;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        result.error = "unexpected argument '" + Original(positional[1], args) + "'";
        return result;
    }
    if (!positional.isEmpty()) {
        result.file = Original(positional.front(), args);
        if (result.file.empty()) {
            result.error = "the mode data file's name is empty";
            return result;
        }
    }
    result.simulate = result.simulate || parser.isSet(simulate);
    result.trace = parser.isSet(trace);
    result.dialogScreenshots = parser.isSet(dialogs);
    result.qtPlatform = Original(parser.value(QStringLiteral("platform")), args);
    result.qtDisplay = Original(parser.value(QStringLiteral("display")), args);
    if (parser.isSet(screenshot)) {
        result.screenshot = Original(parser.value(screenshot), args);
        if (result.screenshot.empty()) {
            result.error = "--screenshot needs a file name";
        }
    }
    return result;
}

std::string CommandLineUsage() {
    return "Usage: varnoth [--simulate[=SCENARIO]] [--screenshot FILE [--dialog-screenshots]] [--trace]\n"
           "  or:  varnoth [OPTIONS] MODE-FILE\n"
           "Opens the control panel of the karaoke amplifier attached over USB, or of the virtual "
           "amplifier.\n"
           "\n"
           "Arguments:\n"
           "  MODE-FILE              a mode data file (.vqm) to load once the panel has synchronised, as\n"
           "                         LOAD does (asking first about unsaved changes of a memory mode); its\n"
           "                         name may be in any encoding, such as GBK from a Windows PC. When the\n"
           "                         panel runs already, the running panel loads it\n"
           "\n"
           "Options:\n"
           "  --simulate[=SCENARIO]  connect to the virtual amplifier (default scenario: normal);\n"
           "                         F9 unplugs and plugs it again\n"
           "  --screenshot FILE      save the main window as PNG after the first synchronisation (or as it\n"
           "                         stands when none has ended within 10 s), then end; exit status 1\n"
           "                         when no picture could be saved\n"
           "  --dialog-screenshots   with --screenshot, also save every dialog as FILE-NAME.png\n"
           "  --trace                print the trace lines on stderr (so does VARNOTH_TRACE=1)\n"
           "  -h, --help             print this text and end\n"
           "  --version              print the version and end\n"
           "\n"
           "Qt's own options (-platform, -display, -style, ...) are passed on to Qt.\n";
}

std::optional<std::string> ImmediateAnswer(std::span<const std::string> args) {
    const auto given = [&](std::string_view option) {
        return std::find(args.begin(), args.end(), option) != args.end();
    };
    if (given("--help") || given("-h")) {
        return CommandLineUsage();
    }
    if (given("--version")) {
        return "varnoth " VARNOTH_VERSION "\n";
    }
    return std::nullopt;
}

}  // namespace varnoth
