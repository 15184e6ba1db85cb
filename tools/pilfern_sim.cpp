// pilfern-sim: the simulated game on the command line.
//
//   pilfern-sim run SCENARIO [--json | --brief] [--calls] [--call-log] [--explain]
//                   [--game-dir DIR]
//                   [--shots DIR [--shot-every N] [--size WxH]]
//   pilfern-sim config GOTHIC_INI [--systempack FILE] [--newbalance] [--language N] [--json]
//   pilfern-sim history PATH [--csv | --json] [--grep TEXT] [--code-page N | --language N]

#include <algorithm>
#include <charconv>
#include <exception>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "sim/config_report.h"
#include "sim/history_report.h"
#include "sim/render/screenshot.h"
#include "sim/scenario/runner.h"
#include "sim/scenario/scenario.h"
#include "sim/sim_framework.h"
#include "sim/stop_request.h"
#include "tools/stop_signals.h"

namespace {

constexpr int kUsageError = 2;
// A file or folder that is there but cannot be read.
constexpr int kReadError = 1;

constexpr std::string_view kUsage =
    "usage: pilfern-sim run SCENARIO [--json | --brief] [--calls] [--call-log] [--explain]\n"
    "                       [--game-dir DIR] [--shots DIR [--shot-every N] [--size WxH]]\n"
    "       pilfern-sim config GOTHIC_INI [--systempack FILE] [--newbalance] [--language N]"
    " [--json]\n"
    "       pilfern-sim history PATH [--csv | --json] [--grep TEXT]"
    " [--code-page N | --language N]\n"
    "  run       play a scenario in the simulated game and tell what happened\n"
    "            --json       JSON Lines, ending with the state: {\"state\": {...}}\n"
    "            --brief      only the story, a line each: notes, loot, messages gone, switches,\n"
    "                         notices, saves and loads, options, screenshots, key presses\n"
    "            --calls      after every frame and event: the engine calls the plugin made\n"
    "                         and what it did with the framework's heap\n"
    "            --call-log   the same, with every engine call in order and its arguments\n"
    "            --explain    after every auto-loot step: what it left within twice its\n"
    "                         radius, and why\n"
    "            --game-dir   play in DIR and keep it (default: a fresh temporary folder):\n"
    "                         a folder of its own, never a game installation or one in it\n"
    "            --shots      write a PNG of what the player sees into DIR at each screenshot\n"
    "                         step of the timeline, and tell the files written\n"
    "            --shot-every also one after every N frames\n"
    "            --size       the screenshots' size in pixels (default 1024x768)\n"
    "  config    tell how the plugin reads each option of a Gothic.ini and why a value\n"
    "            fell back\n"
    "            --systempack  the framework's SystemPack.ini (for ShowArmor)\n"
    "            --newbalance  the game carries the NewBalance modification\n"
    "            --language    the system language the framework reports (1 is Russian)\n"
    "            --json        one JSON object of the plugin's settings\n"
    "  history   list the loot history kept with a savegame, as the overlay shows it, with\n"
    "            totals by category and source; PATH is a PILFERN.SAV, a savegame's slot\n"
    "            folder, or a game folder (every slot under its Saves folder)\n"
    "            --csv         one line a row: slot, index (0 is the newest), text, source,\n"
    "                          category\n"
    "            --json        one JSON document of the slots, their rows and totals\n"
    "            --grep        only the rows whose line holds TEXT, ignoring letter case\n"
    "            --code-page   the code page the game prints in: 1250, 1251 or 1252 (default\n"
    "                          1252); rows are read and shown as that game shows them\n"
    "            --language    the system language instead: 1 (Russian) is code page 1251\n"
    "  exit codes: 0 done, 1 a file or folder that cannot be read or written, or screenshots\n"
    "              this build cannot take, 2 a wrong command line, scenario or file,\n"
    "              128 + the signal's number when a signal stopped it (130 for Ctrl-C)\n";

// A command line that cannot be followed: one line on stderr, exit code 2.
struct UsageError {
    std::string message;
};

// A whole number, written as nothing else.
std::optional<int> WholeNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// A whole number of 1 or more, written as nothing else.
std::optional<int> PositiveNumber(std::string_view text) {
    const std::optional<int> value = WholeNumber(text);
    return value && *value >= 1 ? value : std::nullopt;
}

// A screenshot's size, written as 1280x720.
pilfern::sim::ShotSize ShotSizeOf(std::string_view text) {
    const std::size_t cross = text.find('x');
    const auto width =
        cross == std::string_view::npos ? std::nullopt : PositiveNumber(text.substr(0, cross));
    const auto height =
        cross == std::string_view::npos ? std::nullopt : PositiveNumber(text.substr(cross + 1));
    if (!width || !height || *width > pilfern::sim::kLargestShotSide ||
        *height > pilfern::sim::kLargestShotSide) {
        throw UsageError{"--size needs WIDTHxHEIGHT in pixels, each 1 to " +
                         std::to_string(pilfern::sim::kLargestShotSide) +
                         " (such as 1280x720), not " + std::string(text)};
    }
    return {*width, *height};
}

int Run(std::span<const std::string_view> args) {
    std::optional<std::string_view> scenarioPath;
    pilfern::sim::RunOptions options;
    bool sizeGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--json") {
            options.json = true;
        } else if (arg == "--brief") {
            options.brief = true;
        } else if (arg == "--calls") {
            options.calls = true;
        } else if (arg == "--call-log") {
            options.callLog = true;
        } else if (arg == "--explain") {
            options.explain = true;
        } else if (arg == "--game-dir") {
            if (i + 1 == args.size()) {
                throw UsageError{"--game-dir needs a folder"};
            }
            options.gameDir = std::string(args[++i]);
        } else if (arg == "--shots") {
            if (i + 1 == args.size()) {
                throw UsageError{"--shots needs a folder"};
            }
            options.shotsDir = std::string(args[++i]);
        } else if (arg == "--shot-every") {
            const std::string_view every = i + 1 == args.size() ? "nothing" : args[++i];
            const std::optional<int> frames = PositiveNumber(every);
            if (!frames) {
                throw UsageError{"--shot-every needs a number of frames, 1 or more, not " +
                                 std::string(every)};
            }
            options.shotEvery = *frames;
        } else if (arg == "--size") {
            options.shotSize = ShotSizeOf(i + 1 == args.size() ? "nothing" : args[++i]);
            sizeGiven = true;
        } else if (arg.starts_with("-")) {
            throw UsageError{"unknown option " + std::string(arg)};
        } else if (!scenarioPath) {
            scenarioPath = arg;
        } else {
            throw UsageError{"one scenario at a time, not also " + std::string(arg)};
        }
    }
    if (!scenarioPath) {
        throw UsageError{"run needs a scenario file"};
    }
    if (options.json && options.brief) {
        throw UsageError{"--brief is a form of the plain log; it does not go with --json"};
    }
    if ((options.shotEvery > 0 || sizeGiven) && !options.shotsDir) {
        throw UsageError{"--shot-every and --size go with --shots DIR"};
    }
    if (options.shotsDir && !pilfern::sim::ScreenshotsAvailable()) {
        throw pilfern::sim::ScreenshotError("screenshots are not available in this build");
    }
    const pilfern::sim::Scenario scenario = pilfern::sim::LoadScenario(std::string(*scenarioPath));
    pilfern::sim::RunScenario(scenario, options, std::cout);
    return 0;
}

std::string_view ValueOf(std::span<const std::string_view> args, std::size_t& i,
                         std::string_view what) {
    if (i + 1 == args.size()) {
        throw UsageError{std::string(args[i]) + " needs " + std::string(what)};
    }
    return args[++i];
}

int Language(std::span<const std::string_view> args, std::size_t& i) {
    const std::string_view number = ValueOf(args, i, "a number");
    const std::optional<int> language = WholeNumber(number);
    if (!language) {
        throw UsageError{"--language needs a number, not " + std::string(number)};
    }
    return *language;
}

int Config(std::span<const std::string_view> args) {
    pilfern::sim::ConfigReportRequest request;
    std::optional<std::string_view> iniPath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--json") {
            request.json = true;
        } else if (arg == "--newbalance") {
            request.newBalance = true;
        } else if (arg == "--systempack") {
            request.systemPack = std::string(ValueOf(args, i, "a file"));
        } else if (arg == "--language") {
            request.language = Language(args, i);
        } else if (arg.starts_with("-")) {
            throw UsageError{"unknown option " + std::string(arg)};
        } else if (!iniPath) {
            iniPath = arg;
        } else {
            throw UsageError{"one Gothic.ini at a time, not also " + std::string(arg)};
        }
    }
    if (!iniPath) {
        throw UsageError{"config needs a Gothic.ini"};
    }
    request.gothicIni = std::string(*iniPath);
    pilfern::sim::WriteConfigReport(request, std::cout);
    return 0;
}

int CodePage(std::span<const std::string_view> args, std::size_t& i) {
    const std::string_view number = ValueOf(args, i, "a code page");
    const std::optional<int> codePage = WholeNumber(number);
    if (!codePage || std::ranges::find(pilfern::sim::kHistoryCodePages, *codePage) ==
                         pilfern::sim::kHistoryCodePages.end()) {
        throw UsageError{"--code-page needs 1250, 1251 or 1252, not " + std::string(number)};
    }
    return *codePage;
}

int History(std::span<const std::string_view> args) {
    pilfern::sim::HistoryReportRequest request;
    std::optional<std::string_view> path;
    std::optional<std::string_view> format;
    std::optional<int> codePage;
    std::optional<int> language;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--csv" || arg == "--json") {
            if (format && *format != arg) {
                throw UsageError{"--csv or --json, not both"};
            }
            format = arg;
            request.format = arg == "--csv" ? pilfern::sim::HistoryFormat::Csv
                                            : pilfern::sim::HistoryFormat::Json;
        } else if (arg == "--grep") {
            request.grep = std::string(ValueOf(args, i, "a text to look for"));
        } else if (arg == "--code-page") {
            codePage = CodePage(args, i);
        } else if (arg == "--language") {
            language = Language(args, i);
        } else if (arg.starts_with("-")) {
            throw UsageError{"unknown option " + std::string(arg)};
        } else if (!path) {
            path = arg;
        } else {
            throw UsageError{"one path at a time, not also " + std::string(arg)};
        }
    }
    if (!path) {
        throw UsageError{"history needs a PILFERN.SAV, a slot folder or a game folder"};
    }
    if (codePage && language) {
        throw UsageError{"--code-page or --language, not both"};
    }
    request.path = std::string(*path);
    request.codePage = codePage.value_or(pilfern::sim::CodePageOfLanguage(language.value_or(0)));
    pilfern::sim::WriteHistoryReport(request, std::cout);
    return 0;
}

// Runs the command the arguments name; the exit code.
int Command(std::span<const std::string_view> args) {
    try {
        if (args.empty() || args.front() == "--help" || args.front() == "help") {
            std::cout << kUsage;
            return args.empty() ? kUsageError : 0;
        }
        const std::span<const std::string_view> rest(args.begin() + 1, args.end());
        if (args.front() == "run") {
            return Run(rest);
        }
        if (args.front() == "config") {
            return Config(rest);
        }
        if (args.front() == "history") {
            return History(rest);
        }
        throw UsageError{"unknown command " + std::string(args.front())};
    } catch (const pilfern::sim::RunInterrupted&) {
        return 0;  // told by the caller, which looks at the stop request
    } catch (const UsageError& error) {
        std::cerr << "pilfern-sim: " << error.message << " (pilfern-sim --help tells more)\n";
        return kUsageError;
    } catch (const pilfern::sim::ScenarioError& error) {
        std::cerr << error.what() << '\n';
        return kUsageError;
    } catch (const pilfern::sim::GameDirError& error) {
        std::cerr << "pilfern-sim: " << error.what() << '\n';
        return kUsageError;
    } catch (const pilfern::sim::ConfigReportError& error) {
        std::cerr << "pilfern-sim: " << error.what() << '\n';
        return kUsageError;
    } catch (const pilfern::sim::HistoryPathError& error) {
        std::cerr << "pilfern-sim: " << error.what() << '\n';
        return kUsageError;
    } catch (const pilfern::sim::HistoryReadError& error) {
        std::cerr << "pilfern-sim: " << error.what() << '\n';
        return kReadError;
    } catch (const pilfern::sim::ScreenshotError& error) {
        std::cerr << "pilfern-sim: " << error.what() << '\n';
        return kReadError;
    } catch (const std::exception& error) {
        std::cerr << "pilfern-sim: " << error.what() << '\n';
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    // The same scenario prints the same bytes on every system.
    pilfern::platform::UseBinaryStandardOutput();
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    // The commands with a temporary folder stop at a safe point when asked to, so that it is
    // removed; the others end at once.
    if (!args.empty() && (args.front() == "run" || args.front() == "config")) {
        pilfern::tools::StopOnSignals();
    }
    const int code = Command(args);
    // A stop asked for at any point ends the program as the signal would have, with what it
    // printed kept: the temporary folder is gone by now.
    if (pilfern::sim::StopRequested()) {
        std::cout.flush();
        std::cerr << "pilfern-sim: interrupted\n";
        return pilfern::tools::StoppedExitCode();
    }
    return code;
}
