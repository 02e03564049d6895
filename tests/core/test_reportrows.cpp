// The report procedures' contracts on a fixture company: golden rows, and the totals that
// must agree across reports.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "reports/reportrows.h"
#include "support/reportfixture.h"
#include "support/testsupport.h"

using namespace kesh;
using namespace kesh::reports;

namespace {

Date D(int y, int m, int d) { return Date::fromYmd(y, m, d); }

template <class Rows>
std::string Csv(const Rows& rows) {
    std::ostringstream out;
    WriteCsv(out, rows);
    return out.str();
}

class ReportRows : public ::testing::Test {
protected:
    static void SetUpTestSuite() { fx_ = new test::ReportFixture(test::MakeReportFixture("reportrows")); }
    static void TearDownTestSuite() { delete fx_; }
    template <class F>
    static auto With(F f) { return db::WithTransaction(fx_->path, f); }
    static test::ReportFixture* fx_;
};
test::ReportFixture* ReportRows::fx_ = nullptr;

} // namespace

TEST_F(ReportRows, JournalListsTheYearInOrderWithOrWithoutTheOpeningEntry) {
    With([&](db::Transaction& tr) {
        JournalOptions o{fx_->year2025, D(2025, 1, 1), D(2025, 12, 31), true, 0};
        EXPECT_EQ(Csv(FetchJournal(tr, o)),
                  "FECHA;FECHAV;NRO;DESCRIP;COD;COD2;CUENT;DETALLE;DEBE;HABER\n"
                  "01/01/2025;;1;Asiento de Apertura;00010001;1.1;Caja;;700.00;0.00\n"
                  "01/01/2025;;1;Asiento de Apertura;00020002;2.2;Capital;;0.00;700.00\n"
                  "10/01/2025;;2;Depósito;00010002;1.2;Banco;deposito;500.00;0.00\n"
                  "10/01/2025;;2;Depósito;00010001;1.1;Caja;deposito;0.00;500.00\n"
                  "05/02/2025;;3;Factura venta;00010003;1.3;Clientes;;1210.00;0.00\n"
                  "05/02/2025;;3;Factura venta;00030001;3.1;Ventas;;0.00;1210.00\n"
                  "28/02/2025;;4;Factura compra;00030002;3.2;Gastos;;100.00;0.00\n"
                  "28/02/2025;;4;Factura compra;00020001;2.1;Proveedores;;0.00;100.00\n");
        o.apertura = false;
        o.from = D(2025, 1, 5);
        o.to = D(2025, 2, 5);
        auto rows = FetchJournal(tr, o);
        ASSERT_EQ(rows.size(), 4u);
        EXPECT_EQ(rows.front().nro, 2);
        EXPECT_EQ(rows.back().nro, 3);
        // The one-entry journal ignores period and options.
        JournalOptions one{fx_->year2025, D(2030, 1, 1), D(2030, 1, 1), false, fx_->entry2025Deposit};
        auto entry = FetchJournal(tr, one);
        ASSERT_EQ(entry.size(), 2u);
        EXPECT_EQ(entry[0].descrip, "Depósito");
    });
}

TEST_F(ReportRows, SummarizedJournalCondensesByPeriodMonthAndVoucherSide) {
    With([&](db::Transaction& tr) {
        SummaryOptions o;
        o.yearId = fx_->year2025;
        o.from = D(2025, 1, 1);
        o.to = D(2025, 2, 28);
        o.firstNumber = 7;
        o.mode = 0;
        EXPECT_EQ(Csv(FetchSummary(tr, o)),
                  "FECHA;FECHAV;NRO;DESCRIP;COD;COD2;CUENT;DETALLE;DEBE;HABER\n"
                  "28/02/2025;;7;Asiento resumido del 01/01/2025 al 28/02/2025;00010001;1.1;Caja;;200.00;0.00\n"
                  "28/02/2025;;7;Asiento resumido del 01/01/2025 al 28/02/2025;00010002;1.2;Banco;;500.00;0.00\n"
                  "28/02/2025;;7;Asiento resumido del 01/01/2025 al 28/02/2025;00010003;1.3;Clientes;;1210.00;0.00\n"
                  "28/02/2025;;7;Asiento resumido del 01/01/2025 al 28/02/2025;00030002;3.2;Gastos;;100.00;0.00\n"
                  "28/02/2025;;7;Asiento resumido del 01/01/2025 al 28/02/2025;00020001;2.1;Proveedores;;0.00;100.00\n"
                  "28/02/2025;;7;Asiento resumido del 01/01/2025 al 28/02/2025;00020002;2.2;Capital;;0.00;700.00\n"
                  "28/02/2025;;7;Asiento resumido del 01/01/2025 al 28/02/2025;00030001;3.1;Ventas;;0.00;1210.00\n");

        o.mode = 1;
        o.apertura = false;
        EXPECT_EQ(Csv(FetchSummary(tr, o)),
                  "FECHA;FECHAV;NRO;DESCRIP;COD;COD2;CUENT;DETALLE;DEBE;HABER\n"
                  "31/01/2025;;7;Resumen del mes 01/2025;00010002;1.2;Banco;;500.00;0.00\n"
                  "31/01/2025;;7;Resumen del mes 01/2025;00010001;1.1;Caja;;0.00;500.00\n"
                  "28/02/2025;;8;Resumen del mes 02/2025;00010003;1.3;Clientes;;1210.00;0.00\n"
                  "28/02/2025;;8;Resumen del mes 02/2025;00030002;3.2;Gastos;;100.00;0.00\n"
                  "28/02/2025;;8;Resumen del mes 02/2025;00020001;2.1;Proveedores;;0.00;100.00\n"
                  "28/02/2025;;8;Resumen del mes 02/2025;00030001;3.1;Ventas;;0.00;1210.00\n");

        o.mode = 2;
        o.apertura = true;
        EXPECT_EQ(Csv(FetchSummary(tr, o)),
                  "FECHA;FECHAV;NRO;DESCRIP;COD;COD2;CUENT;DETALLE;DEBE;HABER\n"
                  "01/01/2025;;7;Asiento de Apertura;00010001;1.1;Caja;;700.00;0.00\n"
                  "01/01/2025;;7;Asiento de Apertura;00020002;2.2;Capital;;0.00;700.00\n"
                  "10/01/2025;;8;Depósito;00010002;1.2;Banco;deposito;500.00;0.00\n"
                  "10/01/2025;;8;Depósito;00010001;1.1;Caja;deposito;0.00;500.00\n"
                  "28/02/2025;;9;Resumen Compras 02/2025;00030002;3.2;Gastos;;100.00;0.00\n"
                  "28/02/2025;;9;Resumen Compras 02/2025;00020001;2.1;Proveedores;;0.00;100.00\n"
                  "28/02/2025;;10;Resumen Ventas 02/2025;00010003;1.3;Clientes;;1210.00;0.00\n"
                  "28/02/2025;;10;Resumen Ventas 02/2025;00030001;3.1;Ventas;;0.00;1210.00\n");
    });
}

TEST_F(ReportRows, SummaryOfAClosedYearLeavesOutItsClosingEntriesWhenAsked) {
    With([&](db::Transaction& tr) {
        SummaryOptions o;
        o.yearId = fx_->year2024;
        o.from = D(2024, 12, 1);
        o.to = D(2024, 12, 31);
        o.mode = 1;
        EXPECT_EQ(FetchSummary(tr, o).size(), 3u) << "result-closing and closing net per account";
        o.refun = false;
        o.cierre = false;
        EXPECT_TRUE(FetchSummary(tr, o).empty());
        o.cierre = true;
        auto rows = FetchSummary(tr, o);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].cod, "00020002");
        EXPECT_EQ(rows[0].debe, Amount::fromUnits(700));
    });
}

TEST_F(ReportRows, LedgerCarriesTheBalanceBeforeThePeriodAndAddsMonthlyTotals) {
    With([&](db::Transaction& tr) {
        LedgerOptions o{fx_->year2025, "00010001", "00010002", Date(), D(2025, 1, 10),
                        D(2025, 12, 31), true};
        EXPECT_EQ(Csv(FetchLedger(tr, o)),
                  "COD;COD2;CUENTA;FECH;FECHV;NRO;DESCRIPASI;DETALL;DEBE;HABER;SALDO;ACUDEBE;ACUHABER;ACUSALDO\n"
                  "00010001;1.1;Caja;10/01/2025;;2;Depósito;deposito;0.00;500.00;200.00;700.00;0.00;700.00\n"
                  "00010001;1.1;Caja;31/01/2025;;0;TOTALES 01/2025;;0.00;500.00;-500.00;700.00;0.00;700.00\n"
                  "00010002;1.2;Banco;10/01/2025;;2;Depósito;deposito;500.00;0.00;500.00;0.00;0.00;0.00\n"
                  "00010002;1.2;Banco;31/01/2025;;0;TOTALES 01/2025;;500.00;0.00;500.00;0.00;0.00;0.00\n");
        // A start date after the opening entry leaves it out of the brought-forward sums.
        o.start = D(2025, 1, 2);
        o.monthlyTotals = false;
        auto rows = FetchLedger(tr, o);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_TRUE(rows[0].acudebe.isZero());
        // The ticked years (selector 0) are 2025 only; -2 selects nothing.
        o.yearId = 0;
        EXPECT_EQ(FetchLedger(tr, o).size(), 2u);
        o.yearId = -2;
        EXPECT_TRUE(FetchLedger(tr, o).empty());
    });
}

TEST_F(ReportRows, TrialBalanceAddsChildrenIntoGroupsAndAccumulatesMonths) {
    With([&](db::Transaction& tr) {
        TrialOptions o{fx_->year2025, "0001", "00019999", D(2025, 1, 1), D(2025, 2, 28), 1, 5};
        EXPECT_EQ(Csv(FetchTrial(tr, o)),
                  "COD;COD2;CUEN;MES;AN;DEB1;HAB1;SAL1;DEB2;HAB2;SAL2\n"
                  "0001;1;ACTIVO;1;2025;1200.00;500.00;700.00;1200.00;500.00;700.00\n"
                  "0001;1;ACTIVO;2;2025;1210.00;0.00;1210.00;2410.00;500.00;1910.00\n"
                  "00010001;1.1;Caja;1;2025;700.00;500.00;200.00;700.00;500.00;200.00\n"
                  "00010001;1.1;Caja;2;2025;0.00;0.00;0.00;700.00;500.00;200.00\n"
                  "00010002;1.2;Banco;1;2025;500.00;0.00;500.00;500.00;0.00;500.00\n"
                  "00010002;1.2;Banco;2;2025;0.00;0.00;0.00;500.00;0.00;500.00\n"
                  "00010003;1.3;Clientes;1;2025;0.00;0.00;0.00;0.00;0.00;0.00\n"
                  "00010003;1.3;Clientes;2;2025;1210.00;0.00;1210.00;1210.00;0.00;1210.00\n");
        o.fromLevel = o.toLevel = 2;
        EXPECT_EQ(FetchTrial(tr, o).size(), 6u);
    });
}

TEST_F(ReportRows, TrialBalanceOfAnyPeriodEqualsTheLedgerBalances) {
    // Periods cutting months in the middle read the cut days from the lines, whole months
    // from the per-month sums; both must agree with the ledger over the same days.
    const std::pair<Date, Date> periods[] = {
        {D(2025, 1, 1), D(2025, 12, 31)}, {D(2025, 1, 2), D(2025, 2, 27)},
        {D(2025, 1, 10), D(2025, 1, 10)}, {D(2025, 2, 6), D(2025, 3, 31)}};
    With([&](db::Transaction& tr) {
        for (const auto& [from, to] : periods) {
            TrialOptions t{fx_->year2025, "0", "9", from, to, 2, 2};
            std::map<std::string, Amount> trial;
            for (const TrialRow& r : FetchTrial(tr, t)) trial[r.cod] = r.sal2;
            LedgerOptions l{fx_->year2025, "0", "9", from, from, to, false};
            std::map<std::string, Amount> ledger;
            for (const LedgerRow& r : FetchLedger(tr, l)) ledger[r.cod] += r.debe - r.haber;
            for (const auto& [cod, saldo] : trial)
                EXPECT_EQ(saldo, ledger[cod]) << cod << " " << from.toDisplay() << "-" << to.toDisplay();
            Amount total;
            for (const auto& [cod, saldo] : trial) total += saldo;
            EXPECT_TRUE(total.isZero()) << "every entry balances";
        }
    });
}

TEST_F(ReportRows, BalanceLevelsAddUpAndFollowTheMask) {
    With([&](db::Transaction& tr) {
        BalanceOptions o;
        o.yearId = fx_->year2025;
        o.fromCode = "0";
        o.toCode = "9";
        o.from = D(2025, 1, 1);
        o.to = D(2025, 12, 31);
        EXPECT_EQ(Csv(FetchBalance(tr, o)),
                  "COD;COD2;NRO;CUENTA;CUENTA2;DEBE;HABER;SALDO;NIV;ABREV\n"
                  "0001;1;0;ACTIVO;ACTIVO;2410.00;500.00;1910.00;1;\n"
                  "00010001;1.1;0;Caja;  Caja;700.00;500.00;200.00;2;CAJA\n"
                  "00010002;1.2;0;Banco;  Banco;500.00;0.00;500.00;2;BCO\n"
                  "00010003;1.3;0;Clientes;  Clientes;1210.00;0.00;1210.00;2;C1\n"
                  "0002;2;0;PASIVO Y PN;PASIVO Y PN;0.00;800.00;-800.00;1;\n"
                  "00020001;2.1;0;Proveedores;  Proveedores;0.00;100.00;-100.00;2;P1\n"
                  "00020002;2.2;0;Capital;  Capital;0.00;700.00;-700.00;2;CAP\n"
                  "0003;3;0;RESULTADOS;RESULTADOS;100.00;1210.00;-1110.00;1;\n"
                  "00030001;3.1;0;Ventas;  Ventas;0.00;1210.00;-1210.00;2;VTA\n"
                  "00030002;3.2;0;Gastos;  Gastos;100.00;0.00;100.00;2;GTO\n");
        Amount level[6];
        for (const AccountRow& r : FetchBalance(tr, o)) level[r.niv] += r.haber - r.debe;
        EXPECT_EQ(level[1], level[2]);
        EXPECT_TRUE(level[1].isZero());

        o.levels = {false, false, true, false, false, false};
        o.onlyMoved = true;
        o.from = D(2025, 2, 1);
        auto rows = FetchBalance(tr, o);
        ASSERT_EQ(rows.size(), 4u) << "level 2 accounts with lines in February";
        EXPECT_EQ(rows[0].cod, "00010003");
        EXPECT_EQ(LevelMask(o.levels), "01000");
    });
}

TEST_F(ReportRows, ChartListingFollowsTheClassFlags) {
    With([&](db::Transaction& tr) {
        struct Case { bool gen, prov, cli; size_t count; };
        const Case cases[] = {{true, true, true, 10}, {false, true, false, 1},
                              {false, false, true, 1}, {true, false, false, 8},
                              {false, false, false, 0}};
        for (const Case& c : cases)
            EXPECT_EQ(FetchPlan(tr, {c.gen, c.prov, c.cli, "0", "9"}).size(), c.count)
                << c.gen << c.prov << c.cli;
        auto rows = FetchPlan(tr, {true, true, true, "0002", "00029999"});
        ASSERT_EQ(rows.size(), 3u);
        EXPECT_EQ(rows[1].abrev, "P1");
        EXPECT_EQ(rows[1].cuenta2, "  Proveedores");
    });
}

TEST_F(ReportRows, AccountAnalysisByMonthAndByDayWithScaledBars) {
    With([&](db::Transaction& tr) {
        auto months = FetchAnalysis(tr, {"00010001", fx_->year2025, false, Date()});
        ASSERT_EQ(months.size(), 12u);
        EXPECT_EQ(months[0].idstr, "01/2025");
        EXPECT_EQ(months[0].debe, Amount::fromUnits(700));
        EXPECT_EQ(months[0].haber, Amount::fromUnits(500));
        EXPECT_EQ(months[0].pordebe, 100);
        EXPECT_EQ(months[0].porhaber, 71);
        EXPECT_EQ(months[0].porsaldo, 29);
        EXPECT_EQ(months[11].idstr, "12/2025");

        auto days = FetchAnalysis(tr, {"00010001", fx_->year2025, true, D(2025, 2, 14)});
        ASSERT_EQ(days.size(), 28u);
        EXPECT_EQ(days[0].idstr, "SAB 01/02/2025");
        EXPECT_EQ(days[1].idstr, "DOM 02/02/2025");
        EXPECT_EQ(days[2].idstr, "LUN 03/02/2025");
        EXPECT_EQ(days[0].pordebe, 0) << "no movement: no bar, no division by zero";
    });
}

TEST_F(ReportRows, DateSpanOfTheDataAndChartBounds) {
    With([&](db::Transaction& tr) {
        FiscalYear y;
        y.id = fx_->year2025;
        y.fech1 = D(2025, 1, 1);
        y.fech2 = D(2025, 12, 31);
        DateSpan s = DataDateSpan(tr, y, false);
        EXPECT_EQ(s.from, D(2025, 1, 1));
        EXPECT_EQ(s.to, D(2025, 2, 28));
        FiscalYear empty;
        empty.id = 999;
        empty.fech1 = D(2030, 1, 1);
        empty.fech2 = D(2030, 12, 31);
        EXPECT_EQ(DataDateSpan(tr, empty, false).to, D(2030, 12, 31));
        EXPECT_EQ(ChartCodeRange(tr), std::make_pair(std::string("0001"), std::string("00030002")));
        EXPECT_EQ(FirstImputableAccount(tr), "00010001");
    });
}

TEST(ReportFormats, AmountsAsPrinted) {
    struct Case { int64_t cents; const char* thousands; const char* dh; const char* saldo; };
    const Case cases[] = {
        {150000, "1.500,00", "1.500,00", "1.500,00 D"},
        {-150000, "-1.500,00", "(1.500,00)", "1.500,00 C"},
        {0, "0,00", "  ", "  "},
        {123456789, "1.234.567,89", "1.234.567,89", "1.234.567,89 D"},
        {-5, "-0,05", "(0,05)", "0,05 C"},
    };
    for (const Case& c : cases) {
        Amount a = Amount::fromCents(c.cents);
        EXPECT_EQ(FormatThousands(a), c.thousands);
        EXPECT_EQ(FormatDebeHaber(a), c.dh);
        EXPECT_EQ(FormatSaldo(a), c.saldo);
    }
    EXPECT_EQ(FormatSaldo(Amount(), "0,00  "), "0,00  ");
    EXPECT_EQ(FormatSaldo(Amount::fromUnits(-1500), "  ", 'H'), "1.500,00 H");
}

TEST(MonthlyBalances, NeverDriftFromTheLinesWhateverIsWrittenAndFolded) {
    test::ReportFixture fx = test::MakeReportFixture("saldosmes");
    auto drift = [&] {
        return db::WithTransaction(fx.path, [](db::Transaction& tr) {
            return CheckMonthlyBalances(tr).size();
        });
    };
    EXPECT_EQ(drift(), 0u);
    // Every kind of change to lines: amount, side, account, date (other month), year,
    // an unrelated column, removal, a line without date.
    db::WithTransaction(fx.path, [&](db::Transaction& tr) {
        tr.execute("update pases set importe = importe + 1 where cod = '00010001'");
        tr.execute("update pases set dh = iif(dh = 'D', 'C', 'D') where cod = '00030001'");
        tr.execute("update pases set cod = '00010002' where cod = '00010003'");
        tr.execute("update pases set fecha = dateadd(40 day to fecha) where idej = ?", {fx.year2025});
        tr.execute("update pases set idej = ? where cod = '00030002' and idej = ?",
                   {fx.year2024, fx.year2025});
        tr.execute("update pases set detalle = 'cambiado'");
        tr.execute("delete from pases where cod = '00020001'");
        tr.execute("insert into pases (idasi, idej, cod, dh, importe) values (0, ?, '00010001', 'D', 5)",
                   {fx.year2025});
    });
    EXPECT_EQ(drift(), 0u);
    EXPECT_GT(CompactMonthlyBalances(fx.path), 0);
    EXPECT_EQ(drift(), 0u);
    db::WithTransaction(fx.path, [](db::Transaction& tr) {
        EXPECT_EQ(tr.queryInt("select count(*) from (select idej, cod, mes from saldosmes "
                              "group by 1, 2, 3 having count(*) > 1)"),
                  0);
    });
    // A change rolled back leaves no delta behind.
    {
        db::Connection c = db::Connection::open(fx.path);
        db::Transaction tr = c.begin();
        tr.execute("delete from pases");
    }
    EXPECT_EQ(drift(), 0u);
}

TEST(MonthlyBalances, FoldingWhileAnotherUserWritesLosesNothing) {
    test::ReportFixture fx = test::MakeReportFixture("saldosmes_conc");
    db::Connection writer = db::Connection::open(fx.path);
    db::Transaction w = writer.begin();
    w.execute("insert into pases (idasi, idej, cod, dh, importe, fecha) values (0, ?, '00010001', 'D', 7, ?)",
              {fx.year2025, Date::fromYmd(2025, 1, 3)});
    db::WithTransaction(fx.path, [](db::Transaction& tr) {
        tr.execute("update pases set importe = importe + 1 where cod = '00010001'");
    });
    CompactMonthlyBalances(fx.path); // folds while the writer's delta is uncommitted
    w.commit();
    CompactMonthlyBalances(fx.path);
    db::WithTransaction(fx.path, [](db::Transaction& tr) {
        EXPECT_TRUE(CheckMonthlyBalances(tr).empty());
    });
}
