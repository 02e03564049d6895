// The database layer through a Firebird server on loopback, with several clients at once.
#include <gtest/gtest.h>

#include <thread>

#include "db/database.h"
#include "support/testsupport.h"

using namespace kesh;
using namespace kesh::db;

namespace {

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::ServerHost().empty()) GTEST_SKIP() << "KESH_TEST_SERVER no está definido";
        local_ = (test::ScratchDir(::testing::UnitTest::GetInstance()->current_test_info()->name()) /
                  "servidor.vrn").string();
        remote_ = test::ServerName(local_);
        Connection c = Connection::create(remote_);
        c.executeImmediate("create table mov (id integer not null primary key, cliente integer,"
                           " n integer, texto varchar(60), importe numeric(18,2))");
        c.executeImmediate("create generator gmovid");
        c.executeImmediate("create trigger mov_bi for mov before insert as begin"
                           " if (new.id is null or new.id = 0) then new.id = gen_id(gmovid, 1); end");
    }
    std::string local_, remote_;
};

TEST_F(ServerTest, ConnectsThroughTheServerAndKeepsValuesExact) {
    Connection c = Connection::open(remote_);
    Transaction tr = c.begin();
    EXPECT_EQ(tr.queryText("select rdb$get_context('SYSTEM', 'NETWORK_PROTOCOL') from rdb$database"),
              "TCPv4");
    int64_t id = tr.insertReturningId(
        "insert into mov (texto, importe) values (?, ?) returning id",
        {"Muñoz y Cía.; --'", *Amount::parse("9999999999999999.99")});
    EXPECT_EQ(tr.queryText("select texto from mov where id = ?", {id}), "Muñoz y Cía.; --'");
    EXPECT_EQ(tr.queryAmount("select importe from mov where id = ?", {id}).toString(),
              "9999999999999999.99");
    tr.commit();
}

TEST_F(ServerTest, WrongPasswordIsRefusedWithTheServersText) {
    try {
        Connection::open(remote_, "SYSDBA", "incorrecta");
        FAIL() << "a wrong password was accepted";
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("password"), std::string::npos) << e.what();
    }
}

TEST_F(ServerTest, TwoClientsInsertingAtOnceEachGetTheirOwnKeys) {
    constexpr int kClients = 2, kRows = 300;
    std::vector<std::vector<int64_t>> keys(kClients);
    std::vector<std::string> errors(kClients);
    std::vector<std::thread> threads;
    for (int c = 0; c < kClients; ++c) {
        threads.emplace_back([&, c] {
            try {
                Connection conn = Connection::open(remote_);
                for (int i = 0; i < kRows; ++i) {
                    // One short transaction per row, as an operator saving one record does.
                    Transaction tr = conn.begin();
                    keys[c].push_back(tr.insertReturningId(
                        "insert into mov (cliente, n) values (?, ?) returning id", {c, i}));
                    tr.commit();
                }
            } catch (const std::exception& e) {
                errors[c] = e.what();
            }
        });
    }
    for (auto& t : threads) t.join();
    for (int c = 0; c < kClients; ++c) ASSERT_EQ(errors[c], "") << "cliente " << c;

    Connection conn = Connection::open(remote_);
    Transaction tr = conn.begin();
    EXPECT_EQ(tr.queryInt("select count(*) from mov"), kClients * kRows);
    Statement s = tr.prepare("select cliente, n from mov where id = ?");
    for (int c = 0; c < kClients; ++c) {
        ASSERT_EQ(keys[c].size(), size_t(kRows));
        for (int i = 0; i < kRows; ++i) {
            s.open({keys[c][size_t(i)]});
            ASSERT_TRUE(s.next());
            EXPECT_EQ(s.getInt("cliente"), c);
            EXPECT_EQ(s.getInt("n"), i);
            if (i > 0) EXPECT_GT(keys[c][size_t(i)], keys[c][size_t(i) - 1]);
        }
    }
}

TEST_F(ServerTest, EmbeddedAndServerClientsShareOneFile) {
    {
        Connection remote = Connection::open(remote_);
        Transaction tr = remote.begin();
        tr.execute("insert into mov (texto) values ('por el servidor')");
        tr.commit();
        // Still attached through the server while a local process opens the same file.
        Connection local = Connection::open(local_);
        Transaction lt = local.begin();
        EXPECT_EQ(lt.queryInt("select count(*) from mov where texto = 'por el servidor'"), 1);
        lt.execute("insert into mov (texto) values ('local')");
        lt.commit();
        Transaction again = remote.begin();
        EXPECT_EQ(again.queryInt("select count(*) from mov"), 2);
    }
}

} // namespace
