#pragma once
// keshcli subcommands register themselves here; each lives in its own cmd_<name>.cpp.

#include <functional>
#include <string>
#include <vector>

namespace kesh::cli {

struct Command {
    std::string name;
    std::string usage;    // one line: arguments and options
    std::string summary;  // what it does, in Spanish
    // Arguments after the command name. Returns the exit code; throws on errors.
    std::function<int(const std::vector<std::string>& args)> run;
};

// Call from a static initializer: `static const bool reg = RegisterCommand({...});`
bool RegisterCommand(Command cmd);

// Parsed "--name value" options and plain arguments.
struct Args {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;  // in order; flags get ""
    // Value of --name, or `def` when absent.
    std::string get(const std::string& name, const std::string& def = {}) const;
    bool has(const std::string& name) const;
};
// `flags` are options that take no value (e.g. "--todas").
Args ParseArgs(const std::vector<std::string>& args, const std::vector<std::string>& flags = {});

// A usage error: printed with the command's usage line, exit code 2.
struct UsageError : std::exception {
    std::string message;
    explicit UsageError(std::string m) : message(std::move(m)) {}
    const char* what() const noexcept override { return message.c_str(); }
};

} // namespace kesh::cli
