// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliCommands.h"

#include <algorithm>
#include <array>

#include "cli/CliHandlers.h"
#include "cli/CliOutput.h"
#include "cli/CliParameters.h"
#include "cli/CliSignals.h"
#include "device/Trace.h"
#include "device/sim/SimScenario.h"

#ifndef VARNOTH_VERSION
#define VARNOTH_VERSION "unknown"
#endif

namespace varnoth {
namespace {

const auto kCommands = std::to_array<CliCommand>({
    {"dump", "dump [--json]",
     "Reads everything from the amplifier and prints every parameter as \"Name = value\" (\"Name.N = "
     "value\"\n"
     "for an effect 0..1 or a graphic EQ band 0..9), then the memory mode 1..4, the model name and firmware\n"
     "date, the machine settings (Machine.*) and the IR keys (IR.*). --json prints the document export\n"
     "writes, with the same names, and the memory mode, model name and firmware date as \"Mode\",\n"
     "\"DeviceName\" and \"DeviceDate\"; import and diff read it.",
     RunDump},
    {"get", "get NAME[.N]", "Reads everything from the amplifier and prints the raw value of one parameter.",
     RunGet},
    {"set", "set NAME[.N] VALUE [--force]",
     "Sets one parameter through the same setter as the panel, so the amplifier gets the same writes.\n"
     "VALUE is decimal or 0x-hexadecimal, within the range the panel's controls produce. A master volume\n"
     "(MicVol, MusicVol, CenterVol, SubVol) above its maximum or locked in the machine settings is refused,\n"
     "as on the panel, unless --force is given. MicControlSubTime and MicControlSubRate are sent together:\n"
     "the other one keeps the amplifier's value.",
     RunSet},
    {"save", "save FILE",
     "Reads everything from the amplifier and writes it to a mode data file (141 bytes). A name whose\n"
     "extension is not .vqm (in any letter case) gets .vqm instead. Only a regular file is written, through "
     "a\n"
     "symbolic link its target; an existing file is replaced only once the new one is whole on the disk.",
     RunSave},
    {"load", "load FILE [--skip-invalid]",
     "Loads the mode data file FILE and writes the whole set to the amplifier: the parameters, the\n"
     "mic-controls-sub setting, the machine settings and the IR keys. A file that is not a regular file of\n"
     "exactly 141 bytes is refused. One that holds values the panel cannot produce is refused too (the\n"
     "message names each such field, its value and its range) and nothing is sent; --skip-invalid loads\n"
     "the other values and keeps the amplifier's for those.",
     RunLoad},
    {"mode", "mode load|save|reset 1..4 [--force]",
     "Loads memory mode M1..M4 into the amplifier's working set, saves the working set into it, or resets\n"
     "it to the mode's factory set. Loading or saving a mode that the machine settings lock is refused, as\n"
     "on the panel, unless --force is given.",
     RunMode},
    {"machine", "machine [set FIELD VALUE [FIELD VALUE]...]",
     "Shows the machine settings as Machine.FIELD = VALUE; with set, changes the given fields (named with\n"
     "or without Machine.) and applies the settings. Power-on volumes also take \"off\" (255).",
     RunMachine},
    {"ir", "ir show | ir learn KEY [--timeout SECONDS]",
     "show prints the IR key codes. learn teaches the amplifier the remote's key for function KEY (1..15):\n"
     "it waits until the key is pressed on the remote; Ctrl+C cancels learning. With --simulate, "
     "--sim-press\n"
     "CODE makes the virtual remote send CODE.",
     RunIr},
    {"levels", "levels [--count N]",
     "Polls the four input levels every 300 ms and prints them (microphones 1 and 2, music 1 and 2), N "
     "times\n"
     "or until Ctrl+C.",
     RunLevels},
    {"version-check", "version-check",
     "Reads the model name and firmware date and compares the date with the program's firmware image:\n"
     "IsNeedUp 1 older, 0 the same, -1 newer.",
     RunVersionCheck},
    {"upgrade", "upgrade [IMAGE]",
     "Sends a firmware image to an amplifier in upgrade mode (switched on while holding ENTER): the image "
     "the\n"
     "build carries (the virtual amplifier gets the test image), or the raw image file IMAGE (.bin; Intel "
     "HEX\n"
     "files are refused). Shows the progress on a terminal. The transfer stops at the first report the\n"
     "amplifier does not acknowledge; Ctrl+C stops it at the next report. A stopped transfer never starts\n"
     "the image: switch the amplifier on in upgrade mode again and repeat.",
     RunUpgrade},
    {"list", "list", "Lists the amplifiers attached over USB, in normal or in upgrade mode.", RunList},
    {"export", "export [SOURCE] FILE.json",
     "Writes a readable preset: one JSON object, \"format\": 1 first, then one member per value,\n"
     "\"NAME\": {\"raw\": N, \"shown\": TEXT}, with the names of get and set, the reserved bytes\n"
     "(Reserved.P), the machine settings (Machine.*; 255 is shown as off where it means off) and the IR\n"
     "keys (IR.*). SOURCE is the amplifier (device, the default), a mode data file (.vqm: no master\n"
     "volumes) or a preset (.json). FILE - writes to standard output.",
     RunExport},
    {"import", "import FILE.json [TARGET.vqm] [--force] [--skip-invalid]",
     "Reads a readable preset and writes it to the amplifier, or into the mode data file TARGET (its\n"
     "extension becomes .vqm; what the preset leaves out takes the values of a fresh start, master volumes\n"
     "are not carried). Every member is checked first: an unknown name, a value given twice or a raw value\n"
     "outside its range refuses the whole preset, listing them, and nothing is written; --skip-invalid\n"
     "writes the other values when only ranges are broken. Values the preset leaves out stay as the\n"
     "amplifier holds them. A master volume above its maximum or locked in the machine settings is refused,\n"
     "as with set, unless --force is given. \"shown\" is not read, nor what a dump says of the amplifier\n"
     "(Mode, DeviceName, DeviceDate); a \"format\" other than 1 is refused.",
     RunImport},
    {"diff", "diff A B",
     "Compares two parameter sets, each a mode data file (.vqm), a preset or a dump --json (.json) or the\n"
     "word device, and lists every value both carry that differs, as \"NAME: SHOWN (RAW) -> SHOWN (RAW)\".\n"
     "Exit code 0 when they are the same, 1 when they differ, 2 when they could not be compared (a file\n"
     "refused, no amplifier), as diff(1).",
     RunDiff, kExitTrouble},
#ifdef VARNOTH_CLI_WITH_SERVE
    {"serve", "serve [--listen ADDR:PORT] [--renew-tokens] [--tokens FILE]",
     "Serves the remote control until Ctrl+C or SIGTERM: the page at / and the API under /api/v1, for a\n"
     "phone or a tablet. Prints two links, http://HOST:PORT/?token=TOKEN, the installer's (every parameter)\n"
     "first, then the staff's (master volumes, input gains, loading memory modes). --listen takes the "
     "address\n"
     "and port (default 127.0.0.1:8431, this computer only; 0.0.0.0:PORT opens it to the network, port 0\n"
     "takes a free one). The tokens are kept in FILE (default $XDG_STATE_HOME/varnoth/remote-tokens), "
     "readable\n"
     "by the user alone; --renew-tokens makes new ones, which ends the old links. Ctrl+C or SIGTERM ends it\n"
     "after the amplifier's farewell, by the signal, as every command.",
     RunServe},
#endif
});

bool LooksLikeOption(const std::string& arg) {
    // "-" alone names standard output; "-5" is a number.
    return arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9');
}

const CliCommand* FindCommand(const std::string& name) {
    const auto* command =
        std::find_if(kCommands.begin(), kCommands.end(), [&](const CliCommand& c) { return name == c.name; });
    return command == kCommands.end() ? nullptr : command;
}

void PrintUsage(std::ostream& out) {
    out << "Usage: varnoth-cli [OPTIONS] COMMAND [ARGUMENTS]\n"
           "Controls the karaoke amplifier attached over USB, or the virtual amplifier.\n\n"
           "Options:\n"
           "  --simulate[=SCENARIO]  talk to the virtual amplifier; scenarios:";
    for (const SimScenario& scenario : SimScenarios()) {
        out << " " << scenario.name;
    }
    out << "\n"
           "  --sim-state FILE       keep the virtual amplifier's memory in FILE across runs (the\n"
           "                         scenario still decides its model, firmware date and upgrade mode)\n"
           "  --sim-press CODE       with ir learn: the virtual remote sends key code CODE\n"
           "  --offline              no device: the parameter set keeps its defaults, commands go nowhere\n"
           "  --trace                every trace line of the program to stderr\n"
           "  -h, --help             this text; COMMAND --help describes a command\n"
           "  --version              the program's version\n\n"
           "Commands:\n";
    for (const CliCommand& command : kCommands) {
        out << "  " << command.synopsis << "\n";
    }
    out << "\nExit codes: 0 done, 1 no device or not connected, 2 usage, 3 bad input (file, image, value)\n"
           "or refused by the machine settings; diff: 0 the same, 1 different, 2 trouble. Ended by Ctrl+C\n"
           "or SIGTERM, the program ends by that signal once it has cleaned up (a shell shows 130 or 143).\n";
}

void PrintCommandHelp(std::ostream& out, const CliCommand& command) {
    out << "Usage: varnoth-cli [OPTIONS] " << command.synopsis << "\n\n" << command.help << "\n";
    const std::string name = command.name;
    if (name == "get" || name == "set" || name == "dump") {
        out << "\nParameters (raw range):\n";
        for (const Parameter& param : ParameterTable()) {
            out << "  " << param.name
                << (param.count == 0 ? "" : ".N (N 0.." + std::to_string(param.count - 1) + ")") << "  "
                << param.min << ".." << param.max << "\n";
        }
    } else if (name == "machine") {
        out << "\nFields (range):\n";
        for (const MachineFieldRow& field : MachineFieldTable()) {
            out << "  " << field.name << "  " << field.min << ".." << field.max
                << (field.OffAllowed() ? " or off" : "") << "\n";
        }
    }
}

// One line on stderr; returns the exit code, the failure's own unless the command gives every failure one.
int Fail(std::ostream& err, const CliFailure& failure, int trouble = kExitDone) {
    if (!failure.message.empty()) {
        err << "varnoth-cli: " << failure.message
            << (failure.code == kExitUsage ? " (see varnoth-cli --help)" : "") << "\n";
    }
    return trouble != kExitDone && failure.code != kExitInterrupted ? trouble : failure.code;
}

}  // namespace

std::span<const CliCommand> CliCommandTable() {
    return kCommands;
}

std::vector<std::string> Positional(std::vector<std::string> args) {
    const auto separator = std::find(args.begin(), args.end(), std::string("--"));
    if (separator != args.end()) {
        args.erase(separator);
    }
    return args;
}

CliStatus UnknownOption(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (LooksLikeOption(arg)) {
            return UsageError("unknown option '" + Printable(arg) + "'");
        }
    }
    return std::nullopt;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool terminal) {
    CliOptions options;
    if (std::string error = CliOptions::Parse(args, options); !error.empty()) {
        return Fail(err, {kExitUsage, error});
    }
    if (options.trace) {
        EnableTraceToStderr();
    }
    if (options.version && !options.help) {
        out << "varnoth-cli " VARNOTH_VERSION "\n";
        return kExitDone;
    }
    std::vector<std::string> rest = options.arguments;
    if (!rest.empty() && rest[0] == "help") {
        options.help = true;
        rest.erase(rest.begin());
    }
    if (rest.empty()) {
        if (options.help) {
            PrintUsage(out);
            return kExitDone;
        }
        return Fail(err, {kExitUsage, "no command given"});
    }
    if (LooksLikeOption(rest[0])) {
        return Fail(err, *UnknownOption(rest));
    }
    const CliCommand* command = FindCommand(rest[0]);
    if (command == nullptr) {
        return Fail(err, {kExitUsage, "unknown command '" + Printable(rest[0]) + "'"});
    }
    if (options.help) {
        PrintCommandHelp(out, *command);
        return kExitDone;
    }

    // A command whose exit code is its answer (diff) ends every failure with one code of its own.
    const auto failed = [&](const CliFailure& failure) { return Fail(err, failure, command->trouble); };
    InstallInterruptHandler();
    CliDevice device(options);
    if (CliStatus failure = device.Prepare()) {
        return failed(*failure);
    }
    CliContext context{device, std::vector<std::string>(rest.begin() + 1, rest.end()), out, err, terminal};
    const CliStatus outcome = command->run(context);
    const CliStatus finished = device.Finish();
    if (outcome) {
        return failed(*outcome);
    }
    if (finished) {
        return failed(*finished);
    }
    out.flush();
    return context.answer;
}

}  // namespace varnoth
