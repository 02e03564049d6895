#include "app/context.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "app/sqlhelpers.h"

namespace fs = std::filesystem;

namespace kesh {
namespace {

std::string join(const std::string& dir, const char* name) {
    if (!dir.empty() && dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

std::string withoutTrailingSlash(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

// XDG variables count only when they hold an absolute path.
std::string envDir(const char* name) {
    const char* v = std::getenv(name);
    if (!v || v[0] != '/') return {};
    return withoutTrailingSlash(v);
}

std::string homeDir() {
    if (const char* h = std::getenv("HOME"); h && *h) return withoutTrailingSlash(h);
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/tmp";
}

void makeDir(const std::string& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) throw std::runtime_error("No se puede crear la carpeta " + dir + ": " + ec.message());
}

void copyIfMissing(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (fs::exists(to, ec) || !fs::is_regular_file(from, ec)) return;
    CopyFileStream(from.string(), to.string());
}

} // namespace

std::string DataDir(const std::string& appDir) { return join(appDir, "Datos"); }
std::string DemoCompanyPath(const std::string& appDir) { return join(DataDir(appDir), "demo.vrn"); }
std::string KeshIniPath(const std::string& appDir) { return join(appDir, "kesh.ini"); }
std::string LocalListPath(const std::string& appDir) { return join(appDir, "Locallist.ini"); }
std::string RemoteListPath(const std::string& appDir) { return join(appDir, "Remotelist.ini"); }
std::string BackupDir(const std::string& appDir) { return join(appDir, "RESPALDOS"); }
std::string EmptyTemplatePath(const std::string& appDir) { return join(appDir, kEmptyTemplateName); }
std::string DemoTemplatePath(const std::string& appDir) { return join(appDir, kDemoTemplateName); }
std::string ReportIniPath(const std::string& appDir) { return join(appDir, "report.ini"); }

std::string ProgramDir() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return fs::current_path(ec).string();
    return exe.parent_path().string();
}

std::string ResolveAppDir(const std::string& programDir) {
    if (const char* home = std::getenv("KESH_HOME"); home && *home) {
        const std::string dir = withoutTrailingSlash(home);
        makeDir(dir);
        return dir;
    }
    const std::string program = withoutTrailingSlash(programDir);
    if (!program.empty() && ::access(program.c_str(), W_OK) == 0) return program;

    std::string base = envDir("XDG_DATA_HOME");
    if (base.empty()) base = homeDir() + "/.local/share";
    const std::string dir = base + "/kesh2";
    makeDir(dir);
    SeedAppDir(dir, program);
    return dir;
}

void SeedAppDir(const std::string& appDir, const std::string& sourceDir) {
    std::error_code ec;
    fs::path source = withoutTrailingSlash(sourceDir);
    if (!fs::exists(source / kEmptyTemplateName, ec) && !fs::exists(source / kDemoTemplateName, ec)) {
        const fs::path shared = source.parent_path() / "share" / "kesh2";
        if (fs::is_directory(shared, ec)) source = shared;
    }
    const fs::path target = appDir;
    copyIfMissing(source / kEmptyTemplateName, target / kEmptyTemplateName);
    copyIfMissing(source / kDemoTemplateName, target / kDemoTemplateName);
    for (fs::directory_iterator it(source, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() == ".sql") copyIfMissing(it->path(), target / it->path().filename());
    }
}

std::string UsersIniPath() {
    std::string base = envDir("XDG_CONFIG_HOME");
    if (base.empty()) base = homeDir() + "/.config";
    return base + "/kesh2/users.ini";
}

} // namespace kesh
