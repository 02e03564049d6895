// Ending the programs from outside: a session logging out or `kill` sends SIGTERM, a terminal
// Ctrl+C sends SIGINT. The database client library swallows both unless the program handles
// them first; these run the real programs and signal them.
#include <gtest/gtest.h>

#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/fbtools.h"
#include "db/database.h"
#include "support/testsupport.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv) {
    std::vector<std::string> env = extraEnv;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    std::vector<char*> a, en;
    for (const auto& s : argv) a.push_back(const_cast<char*>(s.c_str()));
    for (const auto& s : env) en.push_back(const_cast<char*>(s.c_str()));
    a.push_back(nullptr);
    en.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, a[0], nullptr, nullptr, a.data(), en.data()) != 0) return -1;
    return pid;
}

// The wait status once the process ended, or nothing after `limit` (the process is killed).
std::optional<int> WaitFor(pid_t pid, std::chrono::seconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(50ms);
    }
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    return std::nullopt;
}

template <class Pred>
bool Within(std::chrono::seconds limit, Pred ready) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        if (ready()) return true;
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

} // namespace

// kesh2 closes as "Salir" does: it ends with status 0 and takes the daily copy of the company.
TEST(Termination, Kesh2ClosesInOrderOnSigterm) {
    const fs::path program = kesh::test::AppDir() / "kesh2";
    if (!fs::exists(program)) GTEST_SKIP() << "built without the screens";
    const fs::path home = kesh::test::ScratchDir("term-kesh2");
    fs::create_directories(home / "app");
    for (const char* t : {"kesh0.fdb", "demo0.fdb"})
        fs::copy_file(kesh::test::AppDir() / t, home / "app" / t);
    const pid_t pid = Spawn({program.string()},
                            {"QT_QPA_PLATFORM=offscreen", "KESH_HOME=" + (home / "app").string(),
                             "XDG_CONFIG_HOME=" + (home / "config").string()});
    ASSERT_GT(pid, 0);
    // Up once the demo company was made and opened.
    ASSERT_TRUE(Within(60s, [&] { return fs::exists(home / "app" / "Datos" / "demo.vrn"); }));
    std::this_thread::sleep_for(1500ms);
    kill(pid, SIGTERM);
    const auto status = WaitFor(pid, 60s);
    ASSERT_TRUE(status) << "kesh2 ignored SIGTERM";
    ASSERT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 0);
    EXPECT_TRUE(fs::exists(home / "app" / "RESPALDOS")) << "no daily copy: not closed in order";
}

// keshcli stops at once; what it had committed stays, the rest is rolled back.
TEST(Termination, KeshcliStopsAtOnceAndKeepsWhatItCommitted) {
    const fs::path program = kesh::test::AppDir() / "keshcli";
    const std::string company = kesh::test::CopyTemplate("kesh0.fdb", "term-cli");
    const pid_t pid = Spawn({program.string(), "generate", company, "--asientos", "1000000",
                             "--semilla", "3", "--lote", "500"},
                            {});
    ASSERT_GT(pid, 0);
    auto entries = [&] {
        try {
            return kesh::db::WithTransaction(company, [](kesh::db::Transaction& tr) {
                return tr.queryInt("select count(*) from asientos");
            });
        } catch (const kesh::db::DbError&) {
            return int64_t{0};
        }
    };
    ASSERT_TRUE(Within(120s, [&] { return entries() > 0; }));
    kill(pid, SIGTERM);
    const auto status = WaitFor(pid, 30s);
    ASSERT_TRUE(status) << "keshcli ignored SIGTERM";
    ASSERT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 128 + SIGTERM);
    const int64_t kept = entries();
    EXPECT_GT(kept, 0);
    EXPECT_EQ(kept % 500, 0) << "a batch was left half written";
    EXPECT_LT(kept, 1000000);
}

// The Firebird tools the program runs (isql, nbackup) start with no signal blocked, although
// the program's own threads keep the requests blocked for the watcher.
TEST(Termination, ToolsStartWithNoSignalBlocked) {
    sigset_t set, old;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    pthread_sigmask(SIG_BLOCK, &set, &old);
    const kesh::ToolRun run = kesh::RunTool({"/bin/grep", "SigBlk", "/proc/self/status"});
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    ASSERT_TRUE(run.started);
    EXPECT_NE(run.output.find("0000000000000000"), std::string::npos) << run.output;
}
