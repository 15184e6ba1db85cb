// pilfern-sim: the simulated game on the command line.
//
//   pilfern-sim run SCENARIO [--json] [--game-dir DIR]

#include <exception>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "sim/scenario/runner.h"
#include "sim/scenario/scenario.h"

namespace {

constexpr int kUsageError = 2;

constexpr std::string_view kUsage =
    "usage: pilfern-sim run SCENARIO [--json] [--game-dir DIR]\n"
    "  run       play a scenario in the simulated game and tell what happened\n"
    "            --json       JSON Lines, ending with the state: {\"state\": {...}}\n"
    "            --game-dir   play in DIR and keep it (default: a fresh temporary folder)\n";

// A command line that cannot be followed: one line on stderr, exit code 2.
struct UsageError {
    std::string message;
};

int Run(std::span<const std::string_view> args) {
    std::optional<std::string_view> scenarioPath;
    pilfern::sim::RunOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--json") {
            options.json = true;
        } else if (arg == "--game-dir") {
            if (i + 1 == args.size()) {
                throw UsageError{"--game-dir needs a folder"};
            }
            options.gameDir = std::string(args[++i]);
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
    const pilfern::sim::Scenario scenario = pilfern::sim::LoadScenario(std::string(*scenarioPath));
    pilfern::sim::RunScenario(scenario, options, std::cout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // The same scenario prints the same bytes on every system.
    pilfern::platform::UseBinaryStandardOutput();
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    try {
        if (args.empty() || args.front() == "--help" || args.front() == "help") {
            std::cout << kUsage;
            return args.empty() ? kUsageError : 0;
        }
        const std::span<const std::string_view> rest(args.begin() + 1, args.end());
        if (args.front() == "run") {
            return Run(rest);
        }
        throw UsageError{"unknown command " + std::string(args.front())};
    } catch (const UsageError& error) {
        std::cerr << "pilfern-sim: " << error.message << " (pilfern-sim --help tells more)\n";
        return kUsageError;
    } catch (const pilfern::sim::ScenarioError& error) {
        std::cerr << error.what() << '\n';
        return kUsageError;
    } catch (const std::exception& error) {
        std::cerr << "pilfern-sim: " << error.what() << '\n';
        return 1;
    }
}
