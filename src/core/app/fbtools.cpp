#include "app/fbtools.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "app/termination.h"

extern char** environ;

namespace fs = std::filesystem;

namespace kesh {
namespace {

bool isExecutable(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
}

std::vector<std::string> candidateNames(const std::string& name) {
    if (name == "isql") return {"isql-fb", "isql"};
    return {name};
}

std::string findInDir(const fs::path& dir, const std::string& name) {
    for (const auto& n : candidateNames(name)) {
        for (const fs::path& p : {dir / "bin" / n, dir / n}) {
            if (isExecutable(p)) return p.string();
        }
    }
    return {};
}

std::string findOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    for (const auto& n : candidateNames(name)) {
        std::stringstream ss(dirs);
        std::string dir;
        while (std::getline(ss, dir, ':')) {
            if (dir.empty()) continue;
            const fs::path p = fs::path(dir) / n;
            if (isExecutable(p)) return p.string();
        }
    }
    return {};
}

} // namespace

std::string FindFirebirdTool(const std::string& name, const std::string& firebirdDir) {
    // A configured folder is the user's choice: when it lacks the tool we say so rather than
    // silently running another installation's.
    if (!firebirdDir.empty()) return findInDir(firebirdDir, name);
    if (const char* env = std::getenv("KESH_FIREBIRD_DIR"); env && *env) return findInDir(env, name);
    return findOnPath(name);
}

ToolRun RunTool(const std::vector<std::string>& argv) {
    ToolRun run;
    if (argv.empty() || argv[0].empty()) return run;
    int pipefd[2];
    if (::pipe2(pipefd, O_CLOEXEC) != 0) return run;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipefd[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipefd[1], 2);

    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    AllowTerminationInChild(attr);

    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0].c_str(), &actions, &attr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    ::close(pipefd[1]);
    if (rc != 0) {
        ::close(pipefd[0]);
        return run;
    }
    run.started = true;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(pipefd[0], buf, sizeof buf);
        if (n > 0) {
            run.output.append(buf, size_t(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    ::close(pipefd[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    return run;
}

} // namespace kesh
