// A backup of a company that other users are writing through the server.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "app/backup.h"
#include "app/fbtools.h"
#include "db/database.h"
#include "support/testsupport.h"

using namespace kesh;
namespace fs = std::filesystem;

TEST(ServerBackup, WritesThroughTheServerDuringTheBackupRestoreConsistent) {
    if (test::ServerHost().empty()) GTEST_SKIP() << "KESH_TEST_SERVER no está definido";
    const std::string local = test::CopyTemplate("kesh0.fdb", "srvbk");
    const std::string remote = test::ServerName(local);
    EXPECT_EQ(LocalCompanyFile(remote), local);

    std::atomic<int> committed{0};
    std::atomic<bool> stop{false};
    std::string writerError;
    std::thread writer([&] {
        try {
            db::Connection c = db::Connection::open(remote);
            for (int n = 1; !stop; ++n) {
                db::Transaction tr = c.begin();
                const int64_t id = tr.insertReturningId(
                    "insert into asientos (idej, num, descrip, npas) values (1, ?, 'Servidor', 2) returning id", {n});
                tr.execute("insert into pases (idasi, idej, cod, dh, importe) values (?, 1, '0001', 'D', 5)", {id});
                tr.execute("insert into pases (idasi, idej, cod, dh, importe) values (?, 1, '0002', 'C', 5)", {id});
                tr.commit();
                committed = n;
            }
        } catch (const std::exception& e) {
            writerError = e.what();
        }
    });
    while (committed < 20 && writerError.empty()) std::this_thread::yield();
    const int before = committed;
    std::string archive;
    std::string backupError;
    try {
        archive = CreateBackup(remote, test::ScratchDir("srvbk-out").string(), Date::fromYmd(2026, 12, 9),
                               FindFirebirdTool("nbackup", ""));
    } catch (const std::exception& e) {
        backupError = e.what();
    }
    while (committed < before + 20 && writerError.empty()) std::this_thread::yield();
    stop = true;
    writer.join();
    ASSERT_EQ(backupError, "");
    ASSERT_EQ(writerError, "");

    const fs::path back = test::ScratchDir("srvbk-back");
    RestoreBackup(archive, back.string(), false);
    const std::string restored = (back / "srvbk.vrn").string();
    const ToolRun v = RunTool({FindFirebirdTool("gfix", ""), "-v", "-full", "-user", "SYSDBA", "-password",
                               "plumtrove", restored});
    EXPECT_TRUE(v.ok()) << v.output;
    db::Connection c = db::Connection::open(restored);
    db::Transaction tr = c.begin();
    const int64_t n = tr.queryInt("select count(*) from asientos");
    EXPECT_GE(n, before);
    EXPECT_LE(n, committed.load());
    EXPECT_EQ(tr.queryInt("select count(*) from pases"), 2 * n);
}
