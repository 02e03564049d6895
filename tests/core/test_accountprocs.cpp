// Contracts of the chart procedures (pbrcuentas, pMayor, pSaldosMayor, pSaldos3, pSaldos,
// pGenBalance, pGetNivel) on a small company whose lines are known: every balance the
// procedures return is checked against a sum computed here from the same lines.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "accounts/balance.h"
#include "accounts/browse.h"
#include "accounts/codes.h"
#include "accounts/standardchart.h"
#include "db/database.h"
#include "reports/reportrows.h"
#include "support/testsupport.h"

using namespace kesh;

namespace {

struct Line {
    int entry;     // asientos.num within the year
    int year;      // ejerc.id
    Date date;
    const char* code;
    char dh;
    int64_t cents;
    bool opening;  // line of the year's opening entry
};

Date D(int y, int m, int d) { return Date::fromYmd(y, m, d); }

// Years 1 and 2 are ticked, year 3 is not. Caja has lines in the three years, Banco only in
// year 2, "Sin movimientos" none; 1.1.10 sorts after 1.1.2.
const std::vector<Line> kLines = {
    {1, 1, D(2025, 3, 1), "1.1.1", 'D', 100000, false},
    {1, 1, D(2025, 3, 1), "3.1", 'C', 100000, false},
    {2, 1, D(2025, 2, 10), "1.1.1", 'C', 2550, false},
    {2, 1, D(2025, 2, 10), "4.1", 'D', 2550, false},
    {1, 2, D(2026, 1, 1), "1.1.1", 'D', 97450, true},
    {1, 2, D(2026, 1, 1), "3.1", 'C', 97450, true},
    {2, 2, D(2026, 5, 4), "1.1.2", 'D', 30000, false},
    {2, 2, D(2026, 5, 4), "1.1.1", 'C', 30000, false},
    {3, 2, D(2026, 4, 2), "1.1.10", 'D', 1, false},
    {3, 2, D(2026, 4, 2), "4.1", 'C', 1, false},
    {1, 3, D(2027, 7, 7), "1.1.1", 'D', 500, false},
    {1, 3, D(2027, 7, 7), "4.1", 'C', 500, false},
};

const char* const kChart[][3] = {
    {"1", "ACTIVO", "0"},          {"1.1", "CAJA Y BANCOS", "0"},
    {"1.1.1", "Caja", "1"},        {"1.1.2", "Banco", "1"},
    {"1.1.3", "Sin movimientos", "1"}, {"1.1.10", "Valores", "1"},
    {"3", "PATRIMONIO", "0"},      {"3.1", "Capital", "1"},
    {"4", "RESULTADOS", "0"},      {"4.1", "Ventas", "1"},
};

bool InSubtree(const char* lineCode, const std::string& code) {
    return ToInternalCode(lineCode).rfind(ToInternalCode(code), 0) == 0;
}

// Independent sums over kLines.
struct Sums {
    Amount opening, debit, credit;
    Amount total() const { return opening + debit - credit; }
};
Sums SumOf(const std::string& code, const std::set<int>& years, bool subtree) {
    Sums s;
    for (const Line& l : kLines) {
        if (!years.count(l.year)) continue;
        if (subtree ? !InSubtree(l.code, code) : ToInternalCode(l.code) != ToInternalCode(code))
            continue;
        const Amount a = Amount::fromCents(l.cents);
        if (l.opening)
            s.opening += l.dh == 'D' ? a : -a;
        else if (l.dh == 'D')
            s.debit += a;
        else
            s.credit += a;
    }
    return s;
}

class AccountProcs : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        path_ = test::CopyTemplate("kesh0.fdb", "accountprocs");
        db::WithTransaction(path_, [](db::Transaction& tr) {
            tr.execute("insert into ejerc (id, descrip, fech1, fech2, activ) values "
                       "(1, 'Ejercicio 2025', '2025-01-01', '2025-12-31', '+')");
            tr.execute("insert into ejerc (id, descrip, fech1, fech2, activ, idcierre) values "
                       "(2, 'Ejercicio 2026', '2026-01-01', '2026-12-31', '+', 0)");
            tr.execute("insert into ejerc (id, descrip, fech1, fech2, activ) values "
                       "(3, 'Ejercicio 2027', '2027-01-01', '2027-12-31', '-')");
            for (const auto& a : kChart)
                tr.execute("insert into cuentas (cod, cuenta, imp) values (?, ?, ?)",
                           {ToInternalCode(a[0]), a[1], std::stoi(a[2])});
            std::map<std::pair<int, int>, int64_t> entries;
            int nro = 0;
            for (const Line& l : kLines) {
                auto key = std::make_pair(l.year, l.entry);
                if (!entries.count(key))
                    entries[key] = tr.insertReturningId(
                        "insert into asientos (idej, num, fecha, descrip, idaux) "
                        "values (?, ?, ?, ?, ?) returning id",
                        {l.year, l.entry, l.date, "Asiento " + std::to_string(l.entry),
                         l.opening ? -1 : 0});
                tr.execute("insert into pases (idasi, idej, nro, cod, dh, importe, fecha, "
                           "nconcep) values (?, ?, ?, ?, ?, ?, ?, ?)",
                           {entries[key], l.year, ++nro, ToInternalCode(l.code),
                            std::string(1, l.dh), Amount::fromCents(l.cents), l.date,
                            l.opening ? -1 : 0});
            }
        });
    }
    // A private copy for a test that changes the company.
    static std::string Copy(const std::string& name) {
        const std::string copy = test::CopyTemplate("kesh0.fdb", name);
        std::filesystem::copy_file(path_, copy, std::filesystem::copy_options::overwrite_existing);
        return copy;
    }
    static std::string path_;
};
std::string AccountProcs::path_;

TEST_F(AccountProcs, LedgerRowsRunningBalanceAndTotals) {
    struct Case {
        const char* code;
        int selector;
        std::set<int> years;
    };
    const Case cases[] = {
        {"1.1.1", 1, {1}},
        {"1.1.1", 0, {1, 2}},        // the ticked years
        {"1.1.1", 3, {3}},
        {"1.1.1", -2, {}},           // no year
        {"1.1.3", 0, {1, 2}},        // no lines at all
        {"4.1", 0, {1, 2}},
    };
    db::WithTransaction(path_, [&](db::Transaction& tr) {
        for (const Case& c : cases) {
            std::vector<const Line*> expected;
            for (const Line& l : kLines)
                if (c.years.count(l.year) && ToInternalCode(l.code) == ToInternalCode(c.code))
                    expected.push_back(&l);
            std::stable_sort(expected.begin(), expected.end(), [](const Line* a, const Line* b) {
                return a->date < b->date;
            });
            const auto rows = LoadLedger(tr, c.code, c.selector);
            ASSERT_EQ(rows.size(), expected.size()) << c.code << " sel " << c.selector;
            Amount running, debits, credits;
            for (size_t i = 0; i < rows.size(); ++i) {
                const Line& l = *expected[i];
                const Amount a = Amount::fromCents(l.cents);
                running += l.dh == 'D' ? a : -a;
                (l.dh == 'D' ? debits : credits) += a;
                EXPECT_EQ(rows[i].fech, l.date);
                EXPECT_EQ(rows[i].idej, l.year);
                EXPECT_EQ(rows[i].nro, l.entry);
                EXPECT_EQ(rows[i].debe, l.dh == 'D' ? a : Amount());
                EXPECT_EQ(rows[i].haber, l.dh == 'C' ? a : Amount());
                EXPECT_EQ(rows[i].saldo, running);
                EXPECT_GT(rows[i].idasi, 0);
                EXPECT_EQ(rows[i].kind, l.opening ? LedgerEntryKind::Opening
                                                  : LedgerEntryKind::Ordinary);
            }
            const Sums s = SumOf(c.code, c.years, false);
            const LedgerTotals t = LoadLedgerTotals(tr, c.code, c.selector);
            EXPECT_EQ(t.debe, debits) << c.code << " sel " << c.selector;
            EXPECT_EQ(t.haber, credits) << c.code << " sel " << c.selector;
            EXPECT_EQ(t.saldo, s.total()) << c.code << " sel " << c.selector;
            EXPECT_EQ(t.saldo, running);
        }
    });
}

TEST_F(AccountProcs, YearBalancesSumTheSubtree) {
    const char* codes[] = {"1", "1.1", "1.1.1", "1.1.2", "1.1.3", "3", "4.1"};
    db::WithTransaction(path_, [&](db::Transaction& tr) {
        for (const char* code : codes) {
            for (int selector : {0, 1, 2, 3, -2}) {
                const auto rows = LoadYearBalances(tr, code, selector);
                std::set<int> years;
                if (selector == 0) years = {1, 2};
                else if (selector > 0) years = {selector};
                ASSERT_EQ(rows.size(), years.size()) << code << " sel " << selector;
                Amount whole;
                for (const YearBalanceRow& r : rows) {
                    ASSERT_TRUE(years.count(r.ej));
                    const Sums s = SumOf(code, {r.ej}, true);
                    EXPECT_EQ(r.sal0, s.opening) << code << " ej " << r.ej;
                    EXPECT_EQ(r.deb1, s.debit) << code << " ej " << r.ej;
                    EXPECT_EQ(r.hab1, s.credit) << code << " ej " << r.ej;
                    EXPECT_EQ(r.sal1, s.debit - s.credit);
                    EXPECT_EQ(r.sal2, s.total());
                    whole += s.total();
                }
                // pSaldos takes the display code and gives the whole balance per year.
                EXPECT_EQ(tr.queryAmount("select sum(sal0) from psaldos(?, ?)",
                                         {ToDisplayCode(ToInternalCode(code)), selector}),
                          whole)
                    << code << " sel " << selector;
            }
        }
        const auto rows = LoadYearBalances(tr, "1", 1);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].fulldescrip, "1. ENE/25 - DIC/25    Ejercicio 2025");
        EXPECT_EQ(rows[0].fech1, D(2025, 1, 1));
    });
}

TEST_F(AccountProcs, AccountListBalancesAgainstTheLinesAndTheStoredBalance) {
    const std::string copy = Copy("accountlist");
    db::WithTransaction(copy, [&](db::Transaction& tr) {
        auto check = [&](bool stored) {
            const auto rows = LoadAccountList(tr, {2, false, AccountClassFilter::All, 0, ""});
            ASSERT_EQ(rows.size(), std::size(kChart));
            std::string previous;
            for (const AccountListRow& r : rows) {
                EXPECT_GT(ToInternalCode(r.cod), previous) << "code order";
                previous = ToInternalCode(r.cod);
                const Sums s = SumOf(r.cod, {2}, true);
                EXPECT_EQ(r.inicio, s.opening) << r.cod;
                EXPECT_EQ(r.debe, s.debit) << r.cod;
                EXPECT_EQ(r.haber, s.credit) << r.cod;
                EXPECT_EQ(r.saldo, s.debit - s.credit) << r.cod;
                EXPECT_EQ(r.final, stored ? s.total() : Amount()) << r.cod;
            }
        };
        check(false);
        // Three codes have lines in year 1, five in year 2, two in year 3.
        EXPECT_EQ(RecalculateBalances(tr), 10);
        check(true);
        EXPECT_EQ(RecalculateBalances(tr), 0);

        // A changed line and a code whose lines are gone: one row changed, one removed.
        tr.execute("update pases set importe = importe + 1 where cod = ? and idej = 3",
                   {ToInternalCode("1.1.1")});
        tr.execute("delete from pases where cod = ? and idej = 2", {ToInternalCode("1.1.10")});
        EXPECT_EQ(RecalculateBalances(tr), 2);
        EXPECT_EQ(tr.queryInt("select count(*) from balance where cod = ? and idej = 2",
                              {ToInternalCode("1.1.10")}),
                  0);
        EXPECT_EQ(tr.queryAmount("select final from balance where cod = ? and idej = 3",
                                 {ToInternalCode("1.1.1")}),
                  Amount::fromCents(600)); // 5.00 + 1.00
    });
    EXPECT_EQ(BalanceUpdatedMessage(3), "se actualizaron 3 registros del balance.");
    EXPECT_EQ(BalanceUpdatedMessage(0), "");
}

// The list takes its year totals from the per-month sums and the opening lines; whatever
// happens to the lines, folded or not, it must say what the lines themselves say.
TEST_F(AccountProcs, AccountListFollowsTheLinesThroughEveryChange) {
    const std::string copy = Copy("accountlist_changes");
    // The same totals straight from the lines, subtree by subtree.
    auto fromLines = [&](db::Transaction& tr, const std::string& cod, int year) {
        Sums s;
        db::Statement q = tr.prepare(
            "select coalesce(sum(iif(nconcep = -1, iif(dh = 'D', importe, -importe), 0)), 0) ini, "
            "coalesce(sum(iif(nconcep is distinct from -1 and dh = 'D', importe, 0)), 0) deb, "
            "coalesce(sum(iif(nconcep is distinct from -1 and dh <> 'D', importe, 0)), 0) hab "
            "from pases where idej = ? and cod starting with ?");
        q.open({year, ToInternalCode(cod)});
        q.next();
        s.opening = q.getAmount("INI");
        s.debit = q.getAmount("DEB");
        s.credit = q.getAmount("HAB");
        return s;
    };
    auto check = [&](const char* step) {
        SCOPED_TRACE(step);
        db::WithTransaction(copy, [&](db::Transaction& tr) {
            for (int year : {1, 2, 3}) {
                for (const AccountListRow& r : LoadAccountList(tr, {year, false, AccountClassFilter::All, 0, ""})) {
                    const Sums s = fromLines(tr, r.cod, year);
                    EXPECT_EQ(r.inicio, s.opening) << r.cod << " year " << year;
                    EXPECT_EQ(r.debe, s.debit) << r.cod << " year " << year;
                    EXPECT_EQ(r.haber, s.credit) << r.cod << " year " << year;
                    EXPECT_EQ(r.saldo, s.debit - s.credit) << r.cod << " year " << year;
                }
            }
        });
    };
    const std::string caja = ToInternalCode("1.1.1"), banco = ToInternalCode("1.1.2"),
                      ventas = ToInternalCode("4.1");
    struct Step {
        const char* what;
        const char* sql;
        db::Params params;
    } steps[] = {
        {"lines inserted", "insert into pases (idasi, idej, cod, dh, importe, fecha, nconcep) "
                           "select first 1 id, 2, ?, 'D', 12.34, '2026-06-01', 0 from asientos where idej = 2",
         {banco}},
        {"an opening line inserted", "insert into pases (idasi, idej, cod, dh, importe, fecha, nconcep) "
                                     "select first 1 id, 2, ?, 'C', 7, '2026-01-01', -1 from asientos where idej = 2",
         {ventas}},
        {"amounts changed", "update pases set importe = importe * 2 where cod = ?", {caja}},
        {"sides changed", "update pases set dh = iif(dh = 'D', 'C', 'D') where cod = ? and idej = 2", {banco}},
        {"a line became an opening line", "update pases set nconcep = -1 where cod = ? and idej = 3", {caja}},
        {"an opening line became an ordinary one", "update pases set nconcep = 0 where cod = ? and nconcep = -1 and idej = 2", {caja}},
        {"account changed", "update pases set cod = ? where cod = ? and idej = 1", {banco, ventas}},
        {"line moved to another year", "update pases set idej = 3 where cod = ? and idej = 2", {banco}},
        {"date moved out of the year", "update pases set fecha = '2030-01-01' where cod = ? and idej = 1", {caja}},
        {"date removed", "update pases set fecha = null where cod = ? and idej = 3", {caja}},
        {"lines deleted", "delete from pases where cod = ? and idej = 2", {ventas}},
    };
    check("as loaded");
    int n = 0;
    for (const Step& st : steps) {
        db::WithTransaction(copy, [&](db::Transaction& tr) { tr.execute(st.sql, st.params); });
        check(st.what);
        // Every other step folds the deltas first, as the browser does before its list.
        if (++n % 2 == 0) {
            reports::CompactMonthlyBalances(copy);
            check((std::string(st.what) + ", folded").c_str());
        }
    }
    // A change rolled back leaves nothing behind.
    {
        db::Connection c = db::Connection::open(copy);
        db::Transaction tr = c.begin();
        tr.execute("update pases set importe = importe + 1000");
        tr.rollback();
    }
    check("rolled back");
}

TEST_F(AccountProcs, AccountListColumnsAndFilters) {
    db::WithTransaction(Copy("accountfilters"), [&](db::Transaction& tr) {
        tr.execute("update cuentas set token = 'CJ', clase = 1 where cod = ?",
                   {ToInternalCode("1.1.1")});
        auto codes = [&](AccountListQuery q) {
            std::vector<std::string> out;
            for (const AccountListRow& r : LoadAccountList(tr, q)) out.push_back(r.cod);
            return out;
        };
        using V = std::vector<std::string>;
        EXPECT_EQ(codes({0, true, AccountClassFilter::All, 0, ""}),
                  (V{"1.1.1", "1.1.2", "1.1.3", "1.1.10", "3.1", "4.1"}));
        EXPECT_EQ(codes({0, false, AccountClassFilter::Providers, 0, ""}), (V{"1.1.1"}));
        EXPECT_EQ(codes({0, false, AccountClassFilter::All, 4, ""}), (V{"4", "4.1"}));
        EXPECT_EQ(codes({0, false, AccountClassFilter::All, 0, "ca"}),
                  (V{"1.1", "1.1.1", "3.1"}));                    // CAJA.., Caja, Capital
        EXPECT_EQ(codes({0, false, AccountClassFilter::All, 0, "*TA"}),
                  (V{"3.1", "4", "4.1"}));   // capiTAl, resulTAdos, venTAs
        EXPECT_EQ(codes({0, false, AccountClassFilter::All, 0, "cj"}), (V{"1.1.1"}));

        const auto rows = LoadAccountList(tr, {2, false, AccountClassFilter::All, 0, ""});
        const AccountListRow& caja = rows[2];
        EXPECT_EQ(caja.cod, "1.1.1");
        EXPECT_EQ(caja.niv, 3);
        EXPECT_TRUE(caja.imp);
        EXPECT_EQ(caja.token, "CJ");
        EXPECT_EQ(caja.fullpath, "ACTIVO -> CAJA Y BANCOS -> (Caja)");
        EXPECT_EQ(caja.sclase, "PROV");
        EXPECT_EQ(rows[0].subctas, 5);  // 1.1 and its four accounts
        EXPECT_EQ(rows[1].subctas, 4);
        EXPECT_EQ(caja.subctas, 0);
    });
}

TEST(AccountProcsChart, StandardChartSatisfiesLevelRuleFour) {
    const std::string path = test::CopyTemplate("kesh0.fdb", "nivel");
    db::WithTransaction(path, [](db::Transaction& tr) {
        EXPECT_TRUE(tr.queryText("select nivel from pGetNivel").empty() ||
                    tr.queryInt("select nivel from pGetNivel") == 0);
        InstallStandardChart(tr);
        EXPECT_EQ(tr.queryInt("select nivel from pGetNivel"), 4);
    });
}

TEST(AccountFormats, BalancesWithTheirSide) {
    EXPECT_EQ(FormatBalanceDC(Amount::fromCents(123456)), "1.234,56 D");
    EXPECT_EQ(FormatBalanceDC(Amount::fromCents(-5)), "0,05 C");
    EXPECT_EQ(FormatBalanceDC(Amount()), "");
    EXPECT_EQ(FormatDebitCredit(Amount::fromCents(-100000000)), "(1.000.000,00)");
    EXPECT_EQ(FormatDebitCredit(Amount::fromCents(99)), "0,99");
    EXPECT_TRUE(BalanceIsStale(true, Amount::fromCents(100), Amount::fromCents(101)));
    EXPECT_FALSE(BalanceIsStale(false, Amount::fromCents(100), Amount::fromCents(101)));
    EXPECT_FALSE(BalanceIsStale(true, Amount::fromCents(100), Amount::fromCents(100)));
    const AccountSearch s = ParseAccountSearch(" *caja ");
    EXPECT_TRUE(s.anywhere);
    EXPECT_EQ(s.text, "caja");
    EXPECT_FALSE(ParseAccountSearch("CAJA").anywhere);
    EXPECT_EQ(SectionForClassFilter(AccountClassFilter::Providers, 0), 2);
    EXPECT_EQ(SectionForClassFilter(AccountClassFilter::Customers, 0), 1);
    EXPECT_EQ(SectionForClassFilter(AccountClassFilter::General, 5), 5);
}

} // namespace
