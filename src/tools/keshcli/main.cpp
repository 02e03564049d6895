// keshcli: the core from the command line, for batch work, scripts, tests and benchmarks.
#include <cstdio>
#include <exception>
#include <map>

#include "app/termination.h"
#include "db/database.h"
#include "command.h"

namespace kesh::cli {
namespace {
std::map<std::string, Command>& registry() {
    static std::map<std::string, Command> r;
    return r;
}

void usage() {
    std::fprintf(stderr, "uso: keshcli <comando> [argumentos]\n\nComandos:\n");
    for (const auto& [name, c] : registry())
        std::fprintf(stderr, "  %s %s\n      %s\n", name.c_str(), c.usage.c_str(), c.summary.c_str());
}
} // namespace

bool RegisterCommand(Command cmd) {
    std::string name = cmd.name;
    registry()[name] = std::move(cmd);
    return true;
}

std::string Args::get(const std::string& name, const std::string& def) const {
    for (const auto& [k, v] : options)
        if (k == name) return v;
    return def;
}

bool Args::has(const std::string& name) const {
    for (const auto& [k, v] : options)
        if (k == name) return true;
    return false;
}

Args ParseArgs(const std::vector<std::string>& args, const std::vector<std::string>& flags) {
    Args a;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& s = args[i];
        if (s.rfind("--", 0) == 0 && s.size() > 2) {
            std::string name = s.substr(2);
            if (auto eq = name.find('='); eq != std::string::npos) {
                a.options.emplace_back(name.substr(0, eq), name.substr(eq + 1));
                continue;
            }
            bool flag = false;
            for (const auto& f : flags) flag = flag || f == name;
            if (flag) {
                a.options.emplace_back(name, "");
            } else {
                if (i + 1 >= args.size()) throw UsageError("falta el valor de --" + name);
                a.options.emplace_back(name, args[++i]);
            }
        } else {
            a.positional.push_back(s);
        }
    }
    return a;
}

} // namespace kesh::cli

int main(int argc, char** argv) {
    using namespace kesh::cli;
    kesh::ExitOnTermination();
    if (argc < 2) {
        usage();
        return 2;
    }
    std::string name = argv[1];
    auto it = registry().find(name);
    if (it == registry().end()) {
        std::fprintf(stderr, "keshcli: comando desconocido: %s\n\n", name.c_str());
        usage();
        return 2;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    try {
        return it->second.run(args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "keshcli %s: %s\nuso: keshcli %s %s\n", name.c_str(), e.what(),
                     name.c_str(), it->second.usage.c_str());
        return 2;
    } catch (const kesh::db::DbError& e) {
        std::fprintf(stderr, "keshcli %s: error de la base de datos: %s\n", name.c_str(), e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "keshcli %s: %s\n", name.c_str(), e.what());
        return 1;
    }
}
