// "Actualizar bases de datos...": the folder walk, the scripts over real company files, a
// company made by the first released schema brought to the current one, failures reported.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "app/fbtools.h"
#include "app/maintenance.h"
#include "db/database.h"
#include "support/testsupport.h"

using namespace kesh;
namespace fs = std::filesystem;

namespace {

void touch(const fs::path& p) {
    fs::create_directories(p.parent_path());
    std::ofstream(p) << "x";
}

std::string rel(const fs::path& base, const std::string& p) { return fs::relative(p, base).string(); }

// A company file as the first released version made it: schema 001 only, no procedures,
// with a year, accounts and an entry in it.
void makeFirstReleaseCompany(const fs::path& file) {
    db::Connection::create(file.string()).close();
    const fs::path schema = fs::path(KESH_TEST_SOURCE_DIR) / "sql" / "schema" / "001_base.sql";
    const ToolRun r = RunTool({FindFirebirdTool("isql", ""), "-bail", "-ch", "UTF8", "-q", "-u",
                               "SYSDBA", "-p", "plumtrove", "-i", schema.string(), file.string()});
    ASSERT_TRUE(r.ok()) << r.output;
    db::WithTransaction(file.string(), [](db::Transaction& tr) {
        tr.execute("insert into kesh_schema (version) values (1)");
        tr.execute("insert into empresa (nombre) values ('Ñandú Viejo S.R.L.')");
        tr.execute("insert into ejerc (descrip, fech1, fech2) values ('Ejercicio 2009', '2009-01-01', '2009-12-31')");
        tr.execute("insert into cuentas (cod, cuenta, imp) values ('0001', 'ACTIVO', 0)");
        tr.execute("insert into cuentas (cod, cuenta, imp) values ('00010001', 'Caja', 1)");
        tr.execute("insert into cuentas (cod, cuenta, imp) values ('0003', 'PATRIMONIO NETO', 0)");
        tr.execute("insert into cuentas (cod, cuenta, imp) values ('00030001', 'Resultado', 1)");
        tr.execute("insert into cuentas (cod, cuenta, imp) values ('0004', 'RESULTADOS', 0)");
        tr.execute("insert into cuentas (cod, cuenta, imp) values ('00040001', 'Ventas', 1)");
        const int64_t id = tr.insertReturningId(
            "insert into asientos (idej, num, fecha, descrip, npas, importe) "
            "values (1, 1, '2009-05-04', 'Apertura de caja', 2, 1234.56) returning id");
        tr.execute("insert into pases (idasi, idej, nro, cod, dh, importe) values (?, 1, 1, '00010001', 'D', 1234.56)", {id});
        tr.execute("insert into pases (idasi, idej, nro, cod, dh, importe) values (?, 1, 2, '00040001', 'C', 1234.56)", {id});
    });
}

// Tables, columns and procedures of a company file, for comparing with the template.
std::set<std::string> metadata(const std::string& file) {
    std::set<std::string> out;
    db::Connection c = db::Connection::open(file);
    db::Transaction tr = c.begin();
    db::Statement s = tr.prepare(
        "select trim(rdb$relation_name) || '.' || trim(rdb$field_name) as n from rdb$relation_fields "
        "where coalesce(rdb$system_flag, 0) = 0 "
        "union all select 'proc ' || trim(rdb$procedure_name) from rdb$procedures "
        "where coalesce(rdb$system_flag, 0) = 0 "
        "union all select 'func ' || trim(rdb$function_name) from rdb$functions "
        "where coalesce(rdb$system_flag, 0) = 0");
    s.open();
    while (s.next()) out.insert(s.getText("N"));
    return out;
}

fs::path installationWithScripts(const std::string& name) {
    const fs::path app = test::ScratchDir(name);
    for (const auto& s : kUpdateScripts) fs::copy_file(test::AppDir() / s, app / s);
    fs::create_directories(app / "Datos");
    return app;
}

} // namespace

TEST(CompanyWalk, SubfoldersFirstSkipsHiddenAndOtherFiles) {
    const fs::path d = test::ScratchDir("walk");
    for (const char* f : {"a.vrn", "B.VRN", "notas.txt", "sub/b.vrn", "sub/deep/x.vrn", ".oculta/c.vrn",
                          "otra/d.vrn", ".e.vrn"})
        touch(d / f);
    fs::create_directory_symlink(d / "sub", d / "enlace");
    std::vector<std::string> sub, top;
    for (const auto& p : CompanyFiles(d.string(), FolderOrder::SubfoldersFirst)) sub.push_back(rel(d, p));
    for (const auto& p : CompanyFiles(d.string(), FolderOrder::DataFolderFirst)) top.push_back(rel(d, p));
    EXPECT_EQ(sub, (std::vector<std::string>{"otra/d.vrn", "sub/b.vrn", "B.VRN", "a.vrn"}));
    EXPECT_EQ(top, (std::vector<std::string>{"B.VRN", "a.vrn", "otra/d.vrn", "sub/b.vrn"}));
}

// The whole command over a data folder: an old company, a current one in a subfolder, a damaged
// file, and a hidden folder that must not be touched.
TEST(UpdateAllCompanies, BringsOldCompaniesUpAndReportsTheOneThatFails) {
    const std::string isql = FindFirebirdTool("isql", "");
    ASSERT_FALSE(isql.empty());
    const fs::path app = installationWithScripts("upd");
    const fs::path data = app / "Datos";
    makeFirstReleaseCompany(data / "a.vrn");
    fs::create_directories(data / "sub");
    fs::copy_file(test::AppDir() / "kesh0.fdb", data / "sub" / "b.vrn");
    std::ofstream(data / "roto.vrn") << "esto no es una base de datos";
    fs::create_directories(data / ".oculta");
    makeFirstReleaseCompany(data / ".oculta" / "c.vrn");

    std::vector<std::string> announced;
    const UpdateReport rep = UpdateAllCompanies(app.string(), isql, [&](const ScriptRun& r) {
        announced.push_back(r.script + " " + rel(data, r.company));
    });

    // Every script in order, each over sub/b.vrn, then the data folder's own files; the damaged
    // file fails on the first script and is not given the later ones.
    std::vector<std::string> expected;
    for (const auto& s : kUpdateScripts) {
        expected.push_back(s + " sub/b.vrn");
        expected.push_back(s + " a.vrn");
        if (s == kUpdateScripts.front()) expected.push_back(s + " roto.vrn");
    }
    EXPECT_EQ(announced, expected);
    EXPECT_FALSE(rep.allOk());
    const std::string failures = rep.failureText();
    EXPECT_NE(failures.find("El script Dat_0108.sql falló en la empresa " + (data / "roto.vrn").string()),
              std::string::npos) << failures;
    EXPECT_NE(failures.find("No se aplicó el script Pro_0609.sql a la empresa " + (data / "roto.vrn").string()),
              std::string::npos) << failures;
    for (const auto& r : rep.runs) {
        if (r.company == (data / "roto.vrn").string()) continue;
        EXPECT_TRUE(r.ok) << r.script << " " << r.company << r.output;
    }

    // The old company now has the template's tables, columns and procedures, and its data.
    const std::string old = (data / "a.vrn").string();
    EXPECT_EQ(metadata(old), metadata((test::AppDir() / "kesh0.fdb").string()));
    db::WithTransaction(old, [](db::Transaction& tr) {
        EXPECT_EQ(tr.queryText("select nombre from empresa"), "Ñandú Viejo S.R.L.");
        EXPECT_EQ(tr.queryInt("select count(*) from cuentas"), 6);
        EXPECT_EQ(tr.queryAmount("select sum(importe) from pases where dh = 'D'").toString(), "1234.56");
        EXPECT_EQ(tr.queryText("select descrip from asientos where num = 1"), "Apertura de caja");
        EXPECT_EQ(tr.queryInt("select count(*) from pGetNivel"), 1);
        // The procedures came through the tool's connection without a character set: their
        // Spanish texts must still be right.
        const int64_t id = tr.queryInt("select idas from pAsRefun(1, '12/31/2009', '0004', '00030001')");
        ASSERT_GT(id, 0);
        EXPECT_EQ(tr.queryText("select descrip from asientos where id = ?", {id}),
                  "Refundición de Cuentas de Resultado");
    });
    // The hidden folder's company is as it was: still without procedures.
    EXPECT_EQ(db::WithTransaction((data / ".oculta" / "c.vrn").string(), [](db::Transaction& tr) {
                  return tr.queryInt("select count(*) from rdb$procedures where coalesce(rdb$system_flag, 0) = 0");
              }),
              0);
}

TEST(UpdateAllCompanies, MissingToolUpdatesNothingAndSaysWhy) {
    const fs::path app = installationWithScripts("notool");
    fs::copy_file(test::AppDir() / "kesh0.fdb", app / "Datos" / "a.vrn");
    const UpdateReport rep = UpdateAllCompanies(app.string(), "");
    EXPECT_TRUE(rep.runs.empty());
    EXPECT_NE(rep.failureText().find("No se encuentra la herramienta isql"), std::string::npos);
    // A tool path that does not start is a failure of every company, not a silent skip.
    const UpdateReport bad = UpdateAllCompanies(app.string(), (app / "no-existe" / "isql").string());
    ASSERT_FALSE(bad.runs.empty());
    EXPECT_FALSE(bad.runs.front().started);
    EXPECT_NE(bad.failureText().find("no se pudo iniciar"), std::string::npos);
}

// keshsetup: its three scripts, the data folder first, one log line per run of every script.
TEST(SetupScripts, LogListsEachRunDataFolderFirst) {
    const fs::path app = test::ScratchDir("setup");
    for (const auto& s : kSetupScripts) fs::copy_file(test::AppDir() / s, app / s);
    fs::create_directories(app / "Datos" / "sub");
    fs::copy_file(test::AppDir() / "kesh0.fdb", app / "Datos" / "sub" / "b.vrn");
    makeFirstReleaseCompany(app / "Datos" / "a.vrn");
    const UpdateReport rep = RunSetupScripts(app.string(), FindFirebirdTool("isql", ""));
    EXPECT_TRUE(rep.allOk()) << rep.failureText();

    std::ifstream log(SetupLogPath(app.string()));
    std::vector<std::string> lines;
    for (std::string l; std::getline(log, l);) lines.push_back(l);
    ASSERT_EQ(lines.size(), 6u);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string company = (app / "Datos" / (i % 2 == 0 ? "a.vrn" : "sub/b.vrn")).string();
        const std::string script = (app / kSetupScripts[i / 2]).string();
        EXPECT_EQ(lines[i].rfind("Ok:  CreateProcessSimple(\"", 0), 0u) << lines[i];
        EXPECT_NE(lines[i].find("-i \"" + script + "\" \"" + company + "\");"), std::string::npos) << lines[i];
    }
    EXPECT_EQ(metadata((app / "Datos" / "a.vrn").string()), metadata((test::AppDir() / "kesh0.fdb").string()));

    // A script missing from the installation is a failure in the log, not an "Ok".
    fs::remove(app / kSetupScripts[1]);
    RunSetupScripts(app.string(), FindFirebirdTool("isql", ""));
    std::ifstream log2(SetupLogPath(app.string()));
    std::vector<std::string> again;
    for (std::string l; std::getline(log2, l);) again.push_back(l);
    ASSERT_EQ(again.size(), 6u);
    EXPECT_EQ(again[2].rfind("Err: ", 0), 0u) << again[2];
    EXPECT_EQ(again[3].rfind("Err: ", 0), 0u) << again[3];
    EXPECT_NE(again[4].find("falló un script anterior"), std::string::npos) << again[4];
}
