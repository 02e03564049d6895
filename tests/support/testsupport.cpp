#include "support/testsupport.h"

#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

namespace kesh::test {
namespace {

struct Root {
    std::filesystem::path path;
    Root() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kesh-test-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        path = tmpl;
        // The loopback server runs as another process and may be another user: let it in.
        std::filesystem::permissions(path, std::filesystem::perms::all);
    }
    ~Root() {
        if (std::getenv("KESH_KEEP_TEST_FILES")) return;
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

Root& root() {
    static Root r;
    return r;
}

} // namespace

std::filesystem::path ScratchDir(const std::string& name) {
    std::filesystem::path p = root().path / name;
    std::filesystem::remove_all(p);
    std::filesystem::create_directories(p);
    std::filesystem::permissions(p, std::filesystem::perms::all);
    return p;
}

std::filesystem::path AppDir() { return KESH_TEST_APP_DIR; }

std::string CopyTemplate(const std::string& templateName, const std::string& name) {
    std::filesystem::path dir = ScratchDir(name);
    std::filesystem::path target = dir / (name + ".vrn");
    std::filesystem::copy_file(AppDir() / templateName, target);
    std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_write |
                                             std::filesystem::perms::group_read |
                                             std::filesystem::perms::group_write |
                                             std::filesystem::perms::others_read |
                                             std::filesystem::perms::others_write);
    return target.string();
}

std::string ServerHost() {
    const char* h = std::getenv("KESH_TEST_SERVER");
    return h ? h : "";
}

std::string ServerName(const std::string& localPath) { return ServerHost() + ":" + localPath; }

} // namespace kesh::test
