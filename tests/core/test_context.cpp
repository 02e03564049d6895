// Installation folder resolution, its fixed names, and the fiscal-year record.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "app/context.h"
#include "support/testsupport.h"

namespace kesh {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeAll(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << text;
}

// Sets environment variables for one test and puts the old values back.
class EnvTest : public ::testing::Test {
protected:
    void setEnv(const char* name, const std::optional<std::string>& value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name);
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value) ::setenv(name, value->c_str(), 1);
        else ::unsetenv(name);
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value) ::setenv(name.c_str(), value->c_str(), 1);
            else ::unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

// A program folder as an installation ships it.
fs::path makeProgramDir(const std::string& name) {
    const fs::path dir = test::ScratchDir(name);
    writeAll(dir / "kesh0.fdb", "empty company");
    writeAll(dir / "demo0.fdb", "demo company");
    writeAll(dir / "update1.sql", "update one;");
    writeAll(dir / "update2.sql", "update two;");
    writeAll(dir / "kesh2", "program");
    return dir;
}

TEST_F(EnvTest, KeshHomeWinsOverEverything) {
    const fs::path program = makeProgramDir("appdir-keshhome-program");
    const fs::path home = test::ScratchDir("appdir-keshhome") / "instalacion";
    setEnv("KESH_HOME", home.string() + "/");
    EXPECT_EQ(ResolveAppDir(program.string()), home.string());
    EXPECT_TRUE(fs::is_directory(home));
}

TEST_F(EnvTest, WritableProgramFolderIsTheInstallation) {
    const fs::path program = makeProgramDir("appdir-writable");
    setEnv("KESH_HOME", ""); // set but empty counts as not set
    EXPECT_EQ(ResolveAppDir(program.string()), program.string());
    EXPECT_EQ(ResolveAppDir(program.string() + "/"), program.string());
}

TEST_F(EnvTest, ReadOnlyProgramFolderFallsBackToSeededUserFolder) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
    const fs::path program = makeProgramDir("appdir-readonly-program");
    const fs::path data = test::ScratchDir("appdir-readonly-data");
    // The user's own copy of the empty template is never replaced.
    fs::create_directories(data / "kesh2");
    writeAll(data / "kesh2" / "kesh0.fdb", "user's template");
    fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec);
    setEnv("KESH_HOME", std::nullopt);
    setEnv("XDG_DATA_HOME", data.string());

    const std::string appDir = ResolveAppDir(program.string());
    fs::permissions(program, fs::perms::owner_all);

    EXPECT_EQ(appDir, (data / "kesh2").string());
    EXPECT_EQ(readAll(data / "kesh2" / "kesh0.fdb"), "user's template");
    EXPECT_EQ(readAll(data / "kesh2" / "demo0.fdb"), "demo company");
    EXPECT_EQ(readAll(data / "kesh2" / "update1.sql"), "update one;");
    EXPECT_EQ(readAll(data / "kesh2" / "update2.sql"), "update two;");
    EXPECT_FALSE(fs::exists(data / "kesh2" / "kesh2"));
}

TEST_F(EnvTest, UserFolderDefaultsUnderHome) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
    const fs::path program = makeProgramDir("appdir-home-program");
    const fs::path home = test::ScratchDir("appdir-home");
    fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec);
    setEnv("KESH_HOME", std::nullopt);
    setEnv("XDG_DATA_HOME", "relative/ignored");
    setEnv("HOME", home.string());

    const std::string appDir = ResolveAppDir(program.string());
    fs::permissions(program, fs::perms::owner_all);

    EXPECT_EQ(appDir, (home / ".local/share/kesh2").string());
    EXPECT_EQ(readAll(home / ".local/share/kesh2" / "demo0.fdb"), "demo company");
}

TEST(SeedAppDir, InstalledProgramTakesTemplatesFromShare) {
    const fs::path prefix = test::ScratchDir("seed-prefix");
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share" / "kesh2");
    writeAll(prefix / "share" / "kesh2" / "kesh0.fdb", "empty company");
    writeAll(prefix / "share" / "kesh2" / "demo0.fdb", "demo company");
    writeAll(prefix / "share" / "kesh2" / "update.sql", "update;");
    const fs::path target = test::ScratchDir("seed-target");

    SeedAppDir(target.string(), (prefix / "bin").string());
    EXPECT_EQ(readAll(target / "kesh0.fdb"), "empty company");
    EXPECT_EQ(readAll(target / "demo0.fdb"), "demo company");
    EXPECT_EQ(readAll(target / "update.sql"), "update;");
}

TEST_F(EnvTest, UsersIniPathFollowsXdgConfigHome) {
    setEnv("HOME", "/home/contador");
    setEnv("XDG_CONFIG_HOME", "/etc/xdg-contador");
    EXPECT_EQ(UsersIniPath(), "/etc/xdg-contador/kesh2/users.ini");
    setEnv("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(UsersIniPath(), "/home/contador/.config/kesh2/users.ini");
    setEnv("XDG_CONFIG_HOME", "relative");
    EXPECT_EQ(UsersIniPath(), "/home/contador/.config/kesh2/users.ini");
}

TEST(InstallationNames, FixedSpellingAndCase) {
    const std::string app = "/opt/kesh";
    struct Case { std::string path; const char* expected; };
    const Case cases[] = {
        {DataDir(app), "/opt/kesh/Datos"},
        {DemoCompanyPath(app), "/opt/kesh/Datos/demo.vrn"},
        {KeshIniPath(app), "/opt/kesh/kesh.ini"},
        {LocalListPath(app), "/opt/kesh/Locallist.ini"},
        {RemoteListPath(app), "/opt/kesh/Remotelist.ini"},
        {BackupDir(app), "/opt/kesh/RESPALDOS"},
        {EmptyTemplatePath(app), "/opt/kesh/kesh0.fdb"},
        {DemoTemplatePath(app), "/opt/kesh/demo0.fdb"},
        {ReportIniPath(app), "/opt/kesh/report.ini"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.path, c.expected);
}

TEST(FiscalYear, ClosedWhenItHasAResultOrClosingEntry) {
    struct Case { int idrefun, idcierre; bool closed; };
    const Case cases[] = {{0, 0, false}, {12, 0, true}, {0, 15, true}, {12, 15, true}};
    for (const Case& c : cases) {
        FiscalYear ej;
        ej.id = 3;
        ej.idrefun = c.idrefun;
        ej.idcierre = c.idcierre;
        EXPECT_EQ(ej.closed(), c.closed) << c.idrefun << "/" << c.idcierre;
    }
}

} // namespace
} // namespace kesh
