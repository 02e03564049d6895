// The database layer against a real embedded Firebird file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "db/database.h"
#include "support/testsupport.h"

using namespace kesh;
using namespace kesh::db;

namespace {

class DatabaseTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        path_ = (test::ScratchDir("dblayer") / "layer.vrn").string();
        Connection c = Connection::create(path_);
        c.executeImmediate(
            "create table mov (id integer not null primary key, fecha date, importe numeric(18,2),"
            " texto varchar(60) default '', lado char(1) default 'D', n integer default 0,"
            " largo char(5), nota blob sub_type text)");
        c.executeImmediate("create generator gmovid");
        c.executeImmediate(
            "create trigger mov_bi for mov before insert as begin"
            " if (new.id is null or new.id = 0) then new.id = gen_id(gmovid, 1); end");
    }
    static std::string path_;
};
std::string DatabaseTest::path_;

TEST_F(DatabaseTest, AmountsDatesAndTextRoundTripExactly) {
    struct Case {
        const char* amount;
        Date date;
        std::string text;
    };
    const Case cases[] = {
        {"9999999999999999.99", Date::fromYmd(2024, 2, 29), "Pérez & Hijos S.A."},
        {"-0.01", Date::fromYmd(1981, 1, 1), "O'Higgins; drop table mov; --"},
        {"0", Date::fromYmd(2049, 12, 31), "ñandú — «comillas» “dobles”"},
        {"1234.5", Date::fromYmd(1900, 1, 1), "'); delete from mov; --"},
    };
    Connection c = Connection::open(path_);
    Transaction tr = c.begin();
    for (const Case& k : cases) {
        Amount a = *Amount::parse(k.amount);
        int64_t id = tr.insertReturningId(
            "insert into mov (fecha, importe, texto) values (?, ?, ?) returning id",
            {k.date, a, k.text});
        Statement s = tr.prepare("select fecha, importe, texto from mov where id = ?");
        s.open({id});
        ASSERT_TRUE(s.next());
        EXPECT_EQ(s.getAmount("IMPORTE"), a) << k.amount;
        EXPECT_EQ(s.getDate("fecha"), k.date) << k.date.toDisplay();
        EXPECT_EQ(s.getText("Texto"), k.text);
        EXPECT_FALSE(s.next());
    }
    // The sums are done by the server in exact arithmetic.
    EXPECT_EQ(tr.queryAmount("select sum(importe) from mov where texto <> ''").toString(),
              "10000000000001234.48");
    EXPECT_EQ(tr.queryInt("select count(*) from rdb$relations where rdb$relation_name = 'MOV'"), 1);
    tr.rollback();
}

TEST_F(DatabaseTest, KeysGrowAndEachInsertGetsItsOwnRow) {
    Connection c = Connection::open(path_);
    Transaction tr = c.begin();
    Statement ins = tr.prepare("insert into mov (texto) values (?) returning id");
    int64_t last = 0;
    for (int i = 0; i < 50; ++i) {
        ins.execute({"fila " + std::to_string(i)});
        int64_t id = ins.getInt("ID");
        EXPECT_GT(id, last);
        last = id;
        EXPECT_EQ(tr.queryText("select texto from mov where id = ?", {id}),
                  "fila " + std::to_string(i));
    }
    tr.commit();
}

TEST_F(DatabaseTest, MissingRowsNullsAndDefaultsReadAsZeroOrEmpty) {
    Connection c = Connection::open(path_);
    Transaction tr = c.begin();
    EXPECT_EQ(tr.queryInt("select n from mov where id = -1"), 0);
    EXPECT_EQ(tr.queryText("select texto from mov where id = -1"), "");
    EXPECT_TRUE(tr.queryDate("select fecha from mov where id = -1").isZero());
    EXPECT_EQ(tr.queryAmount("select max(importe) from mov where id = -1"), Amount());

    int64_t id = tr.insertReturningId("insert into mov (fecha) values (?) returning id",
                                      {Value()});
    Statement s = tr.prepare("select * from mov where id = ?");
    s.open({id});
    ASSERT_TRUE(s.next());
    EXPECT_TRUE(s.isNull("FECHA"));
    EXPECT_TRUE(s.getDate("FECHA").isZero());
    EXPECT_EQ(s.getInt("n"), 0);             // omitted integer
    EXPECT_EQ(s.getText("texto"), "");       // omitted text
    EXPECT_EQ(s.getText("lado"), "D");       // CHAR(1) in UTF8 comes back one character wide
    EXPECT_EQ(s.columnIndex("nope"), -1);
    EXPECT_THROW(s.getInt("nope"), DbError);
    tr.rollback();
}

TEST_F(DatabaseTest, CharPaddingBlobsAndTypeConversions) {
    Connection c = Connection::open(path_);
    Transaction tr = c.begin();
    std::string longNote(20000, 'x');
    int64_t id = tr.insertReturningId(
        "insert into mov (largo, nota, n) values (?, ?, ?) returning id", {"ab", longNote, "42"});
    Statement s = tr.prepare("select largo, nota, n, importe from mov where id = ?");
    s.open({id});
    ASSERT_TRUE(s.next());
    EXPECT_EQ(s.getText("largo"), "ab   ");  // CHAR(5) keeps its padding, in characters
    EXPECT_EQ(s.getText("nota"), longNote);
    EXPECT_EQ(s.getInt("n"), 42);           // text bound to an integer column
    EXPECT_EQ(tr.execute("update mov set importe = ? where id = ?", {Amount::fromCents(-5), id}), 1u);
    EXPECT_EQ(tr.queryText("select importe from mov where id = ?", {id}), "-0.05");
    // Four-decimal accumulators are rounded half away from zero to centavos.
    EXPECT_EQ(tr.queryAmount("select cast(-1.005 as numeric(18,4)) from rdb$database").cents(), -101);
    EXPECT_EQ(tr.queryAmount("select cast(2.0049 as numeric(18,4)) from rdb$database").cents(), 200);
    tr.rollback();
}

TEST_F(DatabaseTest, FailedOperationLeavesTheDatabaseAsItWas) {
    int64_t before;
    {
        Connection c = Connection::open(path_);
        Transaction tr = c.begin();
        before = tr.queryInt("select count(*) from mov");
    }
    try {
        Connection c = Connection::open(path_);
        Transaction tr = c.begin();
        tr.execute("insert into mov (texto) values (?)", {"primera"});
        int64_t id = tr.queryInt("select max(id) from mov");
        tr.execute("insert into mov (id, texto) values (?, ?)", {id, "duplicada"});
        tr.commit();
        FAIL() << "the duplicate key was accepted";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isUniqueViolation());
        EXPECT_NE(std::string(e.what()).find("PRIMARY or UNIQUE"), std::string::npos) << e.what();
        EXPECT_EQ(e.sqlstate(), "23000");
        DbError wrapped = e.withContext("al guardar el asiento 12");
        EXPECT_EQ(std::string(wrapped.what()).rfind("al guardar el asiento 12: ", 0), 0u);
        EXPECT_EQ(wrapped.serverText(), e.serverText());
    }
    Connection c = Connection::open(path_);
    Transaction tr = c.begin();
    EXPECT_EQ(tr.queryInt("select count(*) from mov"), before);
}

TEST_F(DatabaseTest, SyntaxErrorsAndWrongParameterCountsAreErrors) {
    Connection c = Connection::open(path_);
    Transaction tr = c.begin();
    EXPECT_THROW(tr.execute("selec 1 from rdb$database"), DbError);
    EXPECT_THROW(tr.execute("update mov set n = ? where id = ?", {1}), DbError);
    EXPECT_THROW(Connection::open((test::ScratchDir("nofile") / "none.vrn").string()), DbError);
}

TEST_F(DatabaseTest, AnotherProcessReadsTheFileWhileWeHoldIt) {
    Connection c = Connection::open(path_);
    Transaction tr = c.begin();
    tr.execute("insert into mov (texto) values (?)", {"visible para isql"});
    tr.commit();
    Transaction reading = c.begin();
    EXPECT_GE(reading.queryInt("select count(*) from mov"), 1);
    // isql-fb inherits our engine root, so it shares the file instead of being locked out.
    std::string cmd = "echo \"select count(*) from mov where texto = 'visible para isql';\" | "
                      "isql-fb -q -ch UTF8 -u SYSDBA -p plumtrove '" + path_ + "' 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[256];
    while (fgets(buf, sizeof buf, p)) out += buf;
    EXPECT_EQ(pclose(p), 0) << out;
    EXPECT_NE(out.find("1"), std::string::npos) << out;
    EXPECT_EQ(out.find("lock"), std::string::npos) << out;
}

TEST(ConnectionNames, LocalPathsAndServerNames) {
    struct Case {
        const char* dsn;
        bool remote;
    };
    const Case cases[] = {
        {"/home/ana/Datos/demo.vrn", false},
        {"./demo.vrn", false},
        {"demo.vrn", false},
        {"c:/kesh/Datos/demo.vrn", false},
        {"/datos/con:dos puntos.vrn", false},
        {"miservidor:/srv/kesh/empresa.vrn", true},
        {"miservidor:c:\\kesh\\empresas\\miempresa.vrn", true},
        {"localhost/3057:/tmp/x.vrn", true},
        {"inet://127.0.0.1:3055//tmp/x.vrn", true},
    };
    for (const Case& k : cases) EXPECT_EQ(Connection::isRemoteName(k.dsn), k.remote) << k.dsn;
}

} // namespace
