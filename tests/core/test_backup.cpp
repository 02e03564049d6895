// Backups and restores of company files, with the archive read back through libzip and the
// restored file checked by the engine's own validation.
#include <gtest/gtest.h>

#include <zip.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/backup.h"
#include "app/fbtools.h"
#include "db/database.h"
#include "support/testsupport.h"

using namespace kesh;
namespace fs = std::filesystem;

namespace {

std::string nbackupTool() { return FindFirebirdTool("nbackup", ""); }

// Writes `entries` (name, content) into a zip at `path`; none gives the 22-byte empty archive
// (libzip will not write one).
void writeZip(const fs::path& path, const std::vector<std::pair<std::string, std::string>>& entries) {
    if (entries.empty()) {
        const char eocd[22] = {'P', 'K', 5, 6};
        std::ofstream(path, std::ios::binary).write(eocd, sizeof eocd);
        return;
    }
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    ASSERT_NE(z, nullptr);
    for (const auto& [name, content] : entries) {
        auto* buf = new std::string(content);  // freed at exit of the test program; tiny
        zip_source_t* s = zip_source_buffer(z, buf->data(), buf->size(), 0);
        ASSERT_GE(zip_file_add(z, name.c_str(), s, ZIP_FL_OVERWRITE), 0);
    }
    ASSERT_EQ(zip_close(z), 0);
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// One entry = header + two lines in one transaction, like the entry editor saves it.
void insertEntry(db::Transaction& tr, int n) {
    const int64_t id = tr.insertReturningId(
        "insert into asientos (idej, num, fecha, descrip, npas, importe) "
        "values (1, ?, '2026-03-01', ?, 2, 100) returning id",
        {n, "Asiento " + std::to_string(n)});
    tr.execute("insert into pases (idasi, idej, nro, cod, dh, importe) values (?, 1, 1, '0001', 'D', 100)", {id});
    tr.execute("insert into pases (idasi, idej, nro, cod, dh, importe) values (?, 1, 2, '0002', 'C', 100)", {id});
}

} // namespace

TEST(BackupName, BaseThenDayMonthYear) {
    struct Case {
        const char* company;
        Date day;
        const char* archive;
    };
    const Case cases[] = {
        {"/home/u/kesh/Datos/demo.vrn", Date::fromYmd(2026, 12, 9), "demo09-12-2026.zip"},
        {"/d/x.y.vrn", Date::fromYmd(2027, 1, 31), "x.y31-01-2027.zip"},
        {"localhost/3050:/srv/kesh/acme.vrn", Date::fromYmd(2026, 7, 4), "acme04-07-2026.zip"},
    };
    for (const Case& c : cases) EXPECT_EQ(BackupArchiveName(c.company, c.day), c.archive) << c.company;
}

// The backup is taken while another connection keeps saving entries. The restored file must
// pass the engine's full validation and hold whole entries only: every entry committed before
// the backup started, none half-written.
TEST(Backup, TakenDuringWritesRestoresToAConsistentCompany) {
    ASSERT_FALSE(nbackupTool().empty()) << "nbackup not installed";
    const std::string company = test::CopyTemplate("demo0.fdb", "busy");
    // Without the demo's own year of entries the writer's numbers count from 1.
    db::WithTransaction(company, [](db::Transaction& tr) {
        tr.execute("delete from pases");
        tr.execute("delete from asientos");
    });
    const fs::path out = test::ScratchDir("busy-backups");

    std::atomic<int> committed{0};
    std::atomic<bool> stop{false};
    std::string writerError;
    std::thread writer([&] {
        try {
            db::Connection c = db::Connection::open(company);
            for (int n = 1; !stop; ++n) {
                db::Transaction tr = c.begin();
                insertEntry(tr, n);
                tr.commit();
                committed = n;
            }
        } catch (const std::exception& e) {
            writerError = e.what();
        }
    });
    while (committed < 30 && writerError.empty()) std::this_thread::yield();
    const int before = committed;
    // The program's own connection is open too, as when the user backs up the open company.
    db::Connection main = db::Connection::open(company);
    std::string archive;
    try {
        archive = CreateBackup(company, out.string(), Date::fromYmd(2026, 12, 9), nbackupTool());
    } catch (...) {
        stop = true;
        writer.join();
        throw;
    }
    while (committed < before + 30 && writerError.empty()) std::this_thread::yield();
    stop = true;
    writer.join();
    ASSERT_EQ(writerError, "");
    const int after = committed;
    EXPECT_EQ(fs::path(archive).filename(), "busy09-12-2026.zip");
    // The live file left the frozen state: no side file remains and writes reached it.
    EXPECT_FALSE(fs::exists(company + ".delta"));
    {
        db::Transaction tr = main.begin();
        EXPECT_EQ(tr.queryInt("select count(*) from asientos"), after);
    }

    // One entry, the bare file name, deflated.
    {
        int err = 0;
        zip_t* z = zip_open(archive.c_str(), ZIP_RDONLY, &err);
        ASSERT_NE(z, nullptr);
        ASSERT_EQ(zip_get_num_entries(z, 0), 1);
        zip_stat_t st;
        ASSERT_EQ(zip_stat_index(z, 0, 0, &st), 0);
        EXPECT_STREQ(st.name, "busy.vrn");
        EXPECT_EQ(st.comp_method, ZIP_CM_DEFLATE);
        EXPECT_LT(st.comp_size, st.size);
        zip_discard(z);
    }

    const fs::path restoreDir = test::ScratchDir("busy-restored");
    const RestoreResult r = RestoreBackup(archive, restoreDir.string(), false);
    ASSERT_EQ(r.status, RestoreStatus::Restored);
    ASSERT_EQ(r.restored.size(), 1u);
    const std::string restored = (restoreDir / "busy.vrn").string();
    EXPECT_EQ(r.restored[0], restored);

    const ToolRun v = RunTool({FindFirebirdTool("gfix", ""), "-v", "-full", "-user", "SYSDBA",
                               "-password", "plumtrove", restored});
    EXPECT_TRUE(v.ok()) << v.output;
    EXPECT_EQ(v.output.find("error"), std::string::npos) << v.output;

    db::Connection c = db::Connection::open(restored);
    db::Transaction tr = c.begin();
    const int64_t entries = tr.queryInt("select count(*) from asientos");
    EXPECT_GE(entries, before);
    EXPECT_LE(entries, after);
    EXPECT_EQ(tr.queryInt("select count(*) from asientos a where a.npas <> "
                          "(select count(*) from pases p where p.idasi = a.id)"), 0);
    EXPECT_EQ(tr.queryInt("select count(*) from pases"), 2 * entries);
    // Numbers 1..entries, no gap: the copy is the state at one instant.
    EXPECT_EQ(tr.queryInt("select max(num) from asientos"), entries);
    EXPECT_EQ(tr.queryText("select nombre from empresa"), "Distribuidora La Pampeña S.A.");
}

TEST(Backup, SecondBackupOfTheDayReplacesTheEntry) {
    const std::string company = test::CopyTemplate("kesh0.fdb", "twice");
    const fs::path out = test::ScratchDir("twice-out");
    const Date day = Date::fromYmd(2026, 5, 2);
    CreateBackup(company, out.string(), day, nbackupTool());
    db::WithTransaction(company, [](db::Transaction& tr) { tr.execute("update empresa set nombre = 'Segunda'"); });
    const std::string archive = CreateBackup(company, out.string(), day, nbackupTool());
    EXPECT_EQ(ReadArchive(archive).entryCount, 1);
    const fs::path back = test::ScratchDir("twice-back");
    RestoreBackup(archive, back.string(), false);
    EXPECT_EQ(db::WithTransaction((back / "twice.vrn").string(), [](db::Transaction& tr) {
                  return tr.queryText("select nombre from empresa");
              }),
              "Segunda");
}

// A backup that died between freezing the file and releasing it leaves the company in the
// engine's backup mode: the company still works (writes go to a side file), and the next
// backup ends that mode, merges what was written meanwhile and goes on.
TEST(Backup, BackupModeLeftByADeadBackupIsEndedByTheNextOne) {
    const std::string company = test::CopyTemplate("kesh0.fdb", "leftover");
    {
        db::Connection conn = db::Connection::open(company);
        conn.executeImmediate("alter database begin backup");
    } // the process "dies": nobody ends the mode
    db::WithTransaction(company, [](db::Transaction& tr) { insertEntry(tr, 1); });
    auto state = [&] {
        db::Connection conn = db::Connection::open(company);
        db::Transaction tr = conn.begin();
        return tr.queryInt("select mon$backup_state from mon$database");
    };
    ASSERT_EQ(state(), 1);

    const fs::path out = test::ScratchDir("leftover-out");
    const std::string archive = CreateBackup(company, out.string(), Date::fromYmd(2026, 6, 1), nbackupTool());
    EXPECT_EQ(state(), 0);
    const fs::path back = test::ScratchDir("leftover-back");
    RestoreBackup(archive, back.string(), false);
    EXPECT_EQ(db::WithTransaction((back / "leftover.vrn").string(), [](db::Transaction& tr) {
                  return tr.queryText("select descrip from asientos");
              }),
              "Asiento 1");
}

TEST(Backup, RemoteCompanyIsRefusedWithAMessage) {
    try {
        CreateBackup("servidor.remoto:/srv/x.vrn", test::ScratchDir("remote").string(),
                     Date::fromYmd(2026, 1, 1), nbackupTool());
        FAIL() << "no error";
    } catch (const BackupError& e) {
        EXPECT_NE(std::string(e.what()).find("está en otro equipo"), std::string::npos) << e.what();
    }
}

// Archives a restore must refuse: each leaves the folder as it was.
TEST(Restore, BadArchivesGiveAClearMessageAndWriteNothing) {
    const fs::path dir = test::ScratchDir("bad-archives");
    const fs::path target = test::ScratchDir("bad-target");
    std::ofstream(dir / "texto.zip") << "esto no es un zip";
    writeZip(dir / "vacio.zip", {});
    writeZip(dir / "sinvrn.zip", {{"leame.txt", "hola"}});
    writeZip(dir / "falso.zip", {{"falso.vrn", "no soy una base de datos"}});
    struct Case {
        const char* archive;
        const char* message;
    };
    const Case cases[] = {
        {"texto.zip", "no es un archivo zip"},
        {"vacio.zip", "Error - El respaldo está vacío."},
        {"sinvrn.zip", "no contiene ninguna empresa"},
        {"falso.zip", "no es una base de datos de empresa válida"},
        {"noexiste.zip", "No se encuentra el archivo"},
    };
    for (const Case& c : cases) {
        try {
            RestoreBackup((dir / c.archive).string(), target.string(), false);
            ADD_FAILURE() << c.archive << ": no error";
        } catch (const BackupError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.archive << ": " << e.what();
        }
        EXPECT_TRUE(fs::is_empty(target)) << c.archive;
    }
}

TEST(Restore, ExistingCompanyIsReplacedOnlyWhenAsked) {
    const std::string company = test::CopyTemplate("demo0.fdb", "keep");
    const fs::path out = test::ScratchDir("keep-out");
    const std::string archive = CreateBackup(company, out.string(), Date::fromYmd(2026, 3, 3), nbackupTool());

    const fs::path target = test::ScratchDir("keep-target");
    std::ofstream(target / "keep.vrn") << "datos del usuario";
    RestoreResult r = RestoreBackup(archive, target.string(), false);
    EXPECT_EQ(r.status, RestoreStatus::Exists);
    ASSERT_EQ(r.existing.size(), 1u);
    EXPECT_EQ(r.existing[0], (target / "keep.vrn").string());
    EXPECT_EQ(readFile(target / "keep.vrn"), "datos del usuario");

    r = RestoreBackup(archive, target.string(), true);
    EXPECT_EQ(r.status, RestoreStatus::Restored);
    EXPECT_EQ(db::WithTransaction((target / "keep.vrn").string(), [](db::Transaction& tr) {
                  return tr.queryInt("select count(*) from ejerc");
              }),
              1);
    // Only the company file is left: no temporary files beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(target), fs::directory_iterator()), 1);
}

// An entry stored with folders (or climbing out with "..") lands in the chosen folder.
TEST(Restore, FolderNamesInsideTheArchiveAreDropped) {
    const std::string company = test::CopyTemplate("kesh0.fdb", "slip");
    const std::string bytes = readFile(company);
    const fs::path dir = test::ScratchDir("slip-zip");
    writeZip(dir / "slip.zip", {{"../../fuera.vrn", bytes}, {"carpeta/sub/dentro.VRN", bytes}});
    const fs::path target = test::ScratchDir("slip-target");
    const RestoreResult r = RestoreBackup((dir / "slip.zip").string(), target.string(), false);
    ASSERT_EQ(r.restored.size(), 2u);
    EXPECT_TRUE(fs::exists(target / "fuera.vrn"));
    EXPECT_TRUE(fs::exists(target / "dentro.VRN"));
    EXPECT_FALSE(fs::exists(target.parent_path().parent_path() / "fuera.vrn"));
}
