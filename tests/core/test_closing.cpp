// Closing a fiscal year: the contracts of pAsRefun and pAscierre on a small company, and the
// operation of the closing dialog (generation, refusals, deletion) through RunClosing.
#include <gtest/gtest.h>

#include <map>

#include "db/database.h"
#include "db/fiscalyears.h"
#include "entries/closing.h"
#include "support/testsupport.h"
#include "support/yearendfixture.h"

using namespace kesh;
using namespace kesh::entries;

namespace {

using test::Line;

std::vector<Line> linesOf(const std::string& dsn, int64_t idasi) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) {
        std::vector<Line> out;
        db::Statement s = tr.prepare("select cod, dh, importe from pases where idasi = ? order by nro");
        s.open({idasi});
        while (s.next()) out.push_back({s.getText("COD"), s.getText("DH"), s.getAmount("IMPORTE").toString()});
        return out;
    });
}

struct Proc {
    int64_t idas;
    std::string result;
};
Proc callRefun(const std::string& dsn, int year, const std::string& date, const std::string& gp,
               const std::string& res) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) {
        db::Statement s = tr.prepare("select idas, result from pAsRefun(?, ?, ?, ?)");
        s.open({year, date, gp, res});
        EXPECT_TRUE(s.next());
        Proc p{s.getInt("IDAS"), s.getText("RESULT")};
        EXPECT_FALSE(s.next());
        return p;
    });
}
Proc callCierre(const std::string& dsn, int year, const std::string& date) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) {
        db::Statement s = tr.prepare("select idas, result from pAscierre(?, ?)");
        s.open({year, date});
        EXPECT_TRUE(s.next());
        return Proc{s.getInt("IDAS"), s.getText("RESULT")};
    });
}

int64_t countEntries(const std::string& dsn) {
    return db::WithTransaction(dsn, [](db::Transaction& tr) { return tr.queryInt("select count(*) from asientos"); });
}

} // namespace

TEST(PAsRefun, RefusesWithAReasonAndWritesNothing) {
    const std::string dsn = test::ClosingFixtureCompany("refun-refusals");
    const std::string empty = test::YearCompany("refun-empty");
    db::WithTransaction(empty, [](db::Transaction& tr) {
        tr.execute("insert into cuentas (cod, cuenta, imp) values ('0004', 'RESULTADOS', 0)");
        tr.execute("insert into cuentas (cod, cuenta, imp) values ('00030002', 'Resultado', 1)");
    });
    struct Case {
        std::string dsn;
        int year;
        const char* date;
        const char* gp;
        const char* res;
        const char* why;
    };
    const Case cases[] = {
        {dsn, 99, "12/31/2026", "0004", "00030002", "El ejercicio no existe."},
        {dsn, 1, "31/12/2026", "0004", "00030002", "La fecha debe corresponder al ejercicio."},
        {dsn, 1, "01/01/2027", "0004", "00030002", "La fecha debe corresponder al ejercicio."},
        {dsn, 1, "tarde", "0004", "00030002", "La fecha debe corresponder al ejercicio."},
        {dsn, 1, "12/31/2026", "", "00030002", "Debe elegir una cuenta de grupo Resultados existente."},
        {dsn, 1, "12/31/2026", "00040001", "00030002", "Debe elegir una cuenta de grupo Resultados existente."},
        {dsn, 1, "12/31/2026", "0004", "", "Debe elegir una cuenta Resultado del Ejercicio imputable existente."},
        {dsn, 1, "12/31/2026", "0004", "0003", "Debe elegir una cuenta Resultado del Ejercicio imputable existente."},
        {dsn, 1, "12/31/2026", "0004", "00040002", "La cuenta Resultado del Ejercicio no puede pertenecer al grupo Resultados."},
        {empty, 1, "12/31/2026", "0004", "00030002", "Las cuentas de resultado no tienen saldo en el ejercicio."},
    };
    for (const Case& c : cases) {
        const int64_t before = countEntries(c.dsn);
        const Proc p = callRefun(c.dsn, c.year, c.date, c.gp, c.res);
        EXPECT_EQ(p.idas, 0) << c.why;
        EXPECT_EQ(p.result, c.why) << c.date << " " << c.gp << " " << c.res;
        EXPECT_EQ(countEntries(c.dsn), before) << c.why;
    }
}

TEST(PAsRefun, CarriesTheResultAccountsToTheResultAccount) {
    const std::string dsn = test::ClosingFixtureCompany("refun-ok");
    const Proc p = callRefun(dsn, 1, "12/31/2026", "0004", "00030002");
    ASSERT_EQ(p.result, "");
    ASSERT_GT(p.idas, 0);
    EXPECT_EQ(linesOf(dsn, p.idas), (std::vector<Line>{{"00040001", "D", "5000.00"},
                                                       {"00040002", "C", "1200.50"},
                                                       {"000400030001", "C", "99.99"},
                                                       {"00030002", "C", "3699.51"}}));
    db::WithTransaction(dsn, [&](db::Transaction& tr) {
        db::Statement s = tr.prepare("select num, fecha, descrip, npas, checksum, importe, idej from asientos where id = ?");
        s.open({p.idas});
        ASSERT_TRUE(s.next());
        EXPECT_EQ(s.getInt("NUM"), 6);
        EXPECT_EQ(s.getDate("FECHA"), Date::fromYmd(2026, 12, 31));
        EXPECT_EQ(s.getText("DESCRIP"), "Refundición de Cuentas de Resultado");
        EXPECT_EQ(s.getInt("IDEJ"), 1);
        EXPECT_EQ(s.getInt("NPAS"), 4);
        EXPECT_EQ(s.getAmount("IMPORTE").toString(), "5000.00");
        EXPECT_EQ(s.getInt("CHECKSUM"), tr.queryInt("select sum(id) from pases where idasi = ?", {p.idas}));
    });
    // Every result account is now at zero; the year's result sits on the result account.
    const auto b = test::YearBalances(dsn, 1);
    for (const auto& [cod, s] : b) EXPECT_NE(cod.substr(0, 4), "0004") << cod << " " << s;
    EXPECT_EQ(b.at("00030002"), "-3699.51");
}

TEST(PAscierre, ClosesEveryAccountAndRefusesAnUnbalancedYear) {
    const std::string dsn = test::ClosingFixtureCompany("cierre");
    ASSERT_EQ(callRefun(dsn, 1, "12/31/2026", "0004", "00030002").result, "");
    const Proc p = callCierre(dsn, 1, "12/31/2026");
    ASSERT_EQ(p.result, "");
    EXPECT_EQ(linesOf(dsn, p.idas), (std::vector<Line>{{"00010001", "C", "13799.50"},
                                                       {"00010002", "C", "2900.01"},
                                                       {"00020001", "D", "3000.00"},
                                                       {"00030001", "D", "10000.00"},
                                                       {"00030002", "D", "3699.51"}}));
    EXPECT_TRUE(test::YearBalances(dsn, 1).empty());

    // A year whose lines do not balance gets no closing entry.
    const std::string bad = test::ClosingFixtureCompany("cierre-bad");
    db::WithTransaction(bad, [](db::Transaction& tr) {
        test::AddEntry(tr, 1, 6, "2026-12-01", {{"00010001", "D", "0.01"}});
    });
    const int64_t before = countEntries(bad);
    const Proc q = callCierre(bad, 1, "12/31/2026");
    EXPECT_EQ(q.idas, 0);
    EXPECT_EQ(q.result, "Los asientos del ejercicio no cierran (diferencia 0.01). Revise los asientos.");
    EXPECT_EQ(countEntries(bad), before);
    EXPECT_EQ(callCierre(bad, 1, "1/1/2025").result, "La fecha debe corresponder al ejercicio.");
}

// The dialog's "Aceptar": both entries in one go from codes typed as display codes, the year
// recorded as closed, a second generation refused, then both deleted.
TEST(RunClosing, GeneratesRecordsAndDeletesBothEntries) {
    const std::string dsn = test::ClosingFixtureCompany("run");
    ClosingRequest rq;
    rq.generateRefun = true;
    rq.refunDate = Date::fromYmd(2026, 12, 31);
    rq.codGP = " 4 ";
    rq.codResul = "3.2";
    rq.generateCierre = true;
    rq.cierreDate = Date::fromYmd(2026, 12, 31);
    ClosingOutcome o = RunClosing(dsn, 1, rq);
    EXPECT_EQ(o.text(), "(1)El asiento de refundición ha sido creado\n(2)El asiento de cierre ha sido creado\n");
    FiscalYear y = db::ReadFiscalYear(dsn, 1).value();
    EXPECT_EQ(y.idrefun, o.idrefun);
    EXPECT_EQ(y.idcierre, o.idcierre);
    EXPECT_TRUE(y.closed());
    EXPECT_EQ(linesOf(dsn, y.idrefun).back(), (Line{"00030002", "C", "3699.51"}));
    EXPECT_TRUE(test::YearBalances(dsn, 1).empty());

    // Asked again (another user's stale dialog): refused in the summary, nothing written.
    const int64_t before = countEntries(dsn);
    o = RunClosing(dsn, 1, rq);
    EXPECT_EQ(o.text(),
              "(1)Error al intentar crear el asiento de refundición: El asiento de refundición ya fue creado.\n"
              "(2)Error al intentar crear el asiento de cierre: El asiento de cierre ya fue creado.\n");
    EXPECT_EQ(countEntries(dsn), before);
    EXPECT_EQ(db::ReadFiscalYear(dsn, 1).value().idrefun, y.idrefun);

    ClosingRequest del;
    del.deleteRefun = true;
    del.deleteCierre = true;
    o = RunClosing(dsn, 1, del);
    EXPECT_EQ(o.text(), "(1)El asiento de Refundición ha sido borrado\n(2)El asiento de Cierre ha sido borrado\n");
    EXPECT_EQ(o.idrefun, 0);
    EXPECT_EQ(o.idcierre, 0);
    EXPECT_FALSE(db::ReadFiscalYear(dsn, 1).value().closed());
    EXPECT_EQ(countEntries(dsn), 5);
    EXPECT_TRUE(linesOf(dsn, y.idrefun).empty());
    EXPECT_TRUE(linesOf(dsn, y.idcierre).empty());
    EXPECT_EQ(test::YearBalances(dsn, 1).at("00040001"), "-5000.00");
}

// With no accounts chosen the refundición is refused; the closing entry asked in the same
// "Aceptar" is still made.
TEST(RunClosing, ARefusalDoesNotStopTheOtherStep) {
    const std::string dsn = test::ClosingFixtureCompany("run-partial");
    ClosingRequest rq;
    rq.generateRefun = true;
    rq.refunDate = Date::fromYmd(2026, 12, 31);
    rq.generateCierre = true;
    rq.cierreDate = Date::fromYmd(2026, 12, 31);
    const ClosingOutcome o = RunClosing(dsn, 1, rq);
    EXPECT_EQ(o.text(),
              "(1)Error al intentar crear el asiento de refundición: Debe elegir una cuenta de grupo "
              "Resultados existente.\n(2)El asiento de cierre ha sido creado\n");
    EXPECT_EQ(o.idrefun, 0);
    EXPECT_GT(o.idcierre, 0);
    EXPECT_FALSE(RunClosing(dsn, 1, ClosingRequest{}).anything());
}

TEST(AccountLabel, DisplayCodePaddedThenName) {
    const std::string dsn = test::ClosingFixtureCompany("labels");
    EXPECT_EQ(AccountLabel(dsn, "00040001"), "4.1        Ventas");
    EXPECT_EQ(AccountLabel(dsn, "4.3.1"), "4.3.1      Intereses");
    EXPECT_EQ(AccountLabel(dsn, "9.9"), "9.9        ");
    EXPECT_EQ(AccountLabel(dsn, ""), "");
    EXPECT_TRUE(IsImputableAccount(dsn, "4.3.1"));
    EXPECT_FALSE(IsImputableAccount(dsn, "00040003"));
    EXPECT_FALSE(IsImputableAccount(dsn, "9.9"));
}

// The summarized journal leaves the two entries out or takes them in by its flags: with both
// the year nets to nothing, without them it shows the year's movements.
TEST(YearEnd, SummarizedJournalHonoursTheClosingFlags) {
    const std::string dsn = test::ClosingFixtureCompany("journal");
    ClosingRequest rq;
    rq.generateRefun = true;
    rq.refunDate = Date::fromYmd(2026, 12, 31);
    rq.codGP = "0004";
    rq.codResul = "00030002";
    rq.generateCierre = true;
    rq.cierreDate = Date::fromYmd(2026, 12, 31);
    ASSERT_EQ(RunClosing(dsn, 1, rq).lines.size(), 2u);
    auto summary = [&](int refun, int cierre) {
        return db::WithTransaction(dsn, [&](db::Transaction& tr) {
            std::map<std::string, std::string> out;
            db::Statement s = tr.prepare("select cod, debe, haber from pResumenNeto(1, ?, ?, 0, 1, ?, ?)");
            s.open({Date::fromYmd(2026, 1, 1), Date::fromYmd(2026, 12, 31), refun, cierre});
            while (s.next()) out[s.getText("COD")] = (s.getAmount("DEBE") - s.getAmount("HABER")).toString();
            return out;
        });
    };
    EXPECT_TRUE(summary(1, 1).empty());
    EXPECT_EQ(summary(0, 0), (std::map<std::string, std::string>{{"00010001", "13799.50"},
                                                                 {"00010002", "2900.01"},
                                                                 {"00020001", "-3000.00"},
                                                                 {"00030001", "-10000.00"},
                                                                 {"00040001", "-5000.00"},
                                                                 {"00040002", "1200.50"},
                                                                 {"000400030001", "99.99"}}));
}

// The year-end round trip: close 2026 with both entries, add 2027 with its opening entry taken
// from the closing entry. The opening entry's balances are the 2026 balances after the
// refundición (the result sits on the result account, result accounts are at zero), and 2026
// itself ends with every account at zero.
TEST(YearEnd, OpeningEntryOfTheNextYearCarriesTheClosingBalances) {
    const std::string dsn = test::ClosingFixtureCompany("roundtrip");
    ClosingRequest rq;
    rq.generateRefun = true;
    rq.refunDate = Date::fromYmd(2026, 12, 31);
    rq.codGP = "4";
    rq.codResul = "3.2";
    ASSERT_EQ(RunClosing(dsn, 1, rq).text(), "(1)El asiento de refundición ha sido creado\n");
    const auto beforeClosing = test::YearBalances(dsn, 1);
    EXPECT_EQ(beforeClosing, (std::map<std::string, std::string>{{"00010001", "13799.50"},
                                                                 {"00010002", "2900.01"},
                                                                 {"00020001", "-3000.00"},
                                                                 {"00030001", "-10000.00"},
                                                                 {"00030002", "-3699.51"}}));
    ClosingRequest close;
    close.generateCierre = true;
    close.cierreDate = Date::fromYmd(2026, 12, 31);
    const ClosingOutcome closed = RunClosing(dsn, 1, close);
    ASSERT_GT(closed.idcierre, 0);
    EXPECT_TRUE(test::YearBalances(dsn, 1).empty());

    // "Agregar" with "Generar Asiento de Apertura", as the main window does it.
    const int next = db::WithTransaction(dsn, [&](db::Transaction& tr) {
        return db::AddFiscalYear(tr, "Ejercicio 2027", Date::fromYmd(2027, 1, 1), Date::fromYmd(2027, 12, 31),
                                 closed.idcierre);
    });
    EXPECT_EQ(test::YearBalances(dsn, next), beforeClosing);
    db::WithTransaction(dsn, [&](db::Transaction& tr) {
        EXPECT_EQ(tr.queryInt("select count(*) from asientos where idej = ? and idaux = -1 and num = 1", {next}), 1);
        EXPECT_EQ(tr.queryDate("select min(fecha) from pases where idej = ?", {next}), Date::fromYmd(2027, 1, 1));
    });
    EXPECT_FALSE(db::ReadFiscalYear(dsn, next).value().closed());
}
