// keshcli respaldo / restaurar, run as a script would: exit codes, the archive's path on
// standard output, and a restore that never replaces a company unless told to.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/fbtools.h"
#include "db/database.h"
#include "support/testsupport.h"

namespace fs = std::filesystem;
using kesh::RunTool;

namespace {
std::string Cli() { return (kesh::test::AppDir() / "keshcli").string(); }

std::string CompanyName(const std::string& path) {
    return kesh::db::WithTransaction(path, [](kesh::db::Transaction& tr) {
        return tr.queryText("select nombre from empresa");
    });
}
} // namespace

TEST(KeshcliBackup, BackUpThenRestoreOnlyReplacingWhenTold) {
    const std::string company = kesh::test::CopyTemplate("demo0.fdb", "clirespaldo");
    const fs::path out = kesh::test::ScratchDir("clirespaldo-zip");
    const kesh::ToolRun backup = RunTool({Cli(), "respaldo", company, out.string()});
    ASSERT_TRUE(backup.ok()) << backup.output;
    const std::string archive = backup.output.substr(0, backup.output.find('\n'));
    ASSERT_TRUE(fs::exists(archive)) << backup.output;
    EXPECT_EQ(fs::path(archive).parent_path(), out);

    const fs::path back = kesh::test::ScratchDir("clirespaldo-back");
    const kesh::ToolRun restore = RunTool({Cli(), "restaurar", archive, back.string()});
    ASSERT_TRUE(restore.ok()) << restore.output;
    const std::string restored = (back / "clirespaldo.vrn").string();
    EXPECT_EQ(CompanyName(restored), CompanyName(company));

    // The restored copy is changed; a second restore refuses to replace it...
    kesh::db::WithTransaction(restored, [](kesh::db::Transaction& tr) {
        tr.execute("update empresa set nombre = 'Cambiada'");
    });
    const kesh::ToolRun again = RunTool({Cli(), "restaurar", archive, back.string()});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.output.find("ya existe"), std::string::npos) << again.output;
    EXPECT_EQ(CompanyName(restored), "Cambiada");
    // ...unless told to.
    const kesh::ToolRun replace =
        RunTool({Cli(), "restaurar", archive, back.string(), "--reemplazar"});
    ASSERT_TRUE(replace.ok()) << replace.output;
    EXPECT_EQ(CompanyName(restored), CompanyName(company));

    // Bad input: a clear message and a failing exit code.
    const kesh::ToolRun missing = RunTool({Cli(), "respaldo", company, (out / "no-existe").string()});
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_NE(missing.output.find("No existe la carpeta"), std::string::npos) << missing.output;
    const kesh::ToolRun usage = RunTool({Cli(), "restaurar", archive});
    EXPECT_EQ(usage.exitCode, 2);
}
