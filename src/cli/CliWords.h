#pragma once
// The words of a lociview-cli command read into its CLI11 options, as every
// command reads them.
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace lociview::headless {

// Parses args (the words after the command) into the app's options: the
// message of a usage error, or nothing.
inline std::optional<std::string> parseWords(CLI::App& app, const std::vector<std::string>& args) {
    try {
        // CLI11 takes the arguments last first.
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        return std::string(e.what());
    }
    return std::nullopt;
}

}  // namespace lociview::headless
