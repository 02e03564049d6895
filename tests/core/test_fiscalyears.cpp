// Fiscal years on a real company file: list text, default dates, warnings, add / change /
// delete and the opening entry taken from a closing entry.
#include <gtest/gtest.h>

#include "db/database.h"
#include "db/fiscalyears.h"
#include "support/testsupport.h"

using namespace kesh;
using namespace kesh::db;

namespace {
Date D(int d, int m, int y) { return Date::fromYmd(y, m, d); }

FiscalYear Year(int id, Date f1, Date f2) {
    FiscalYear y;
    y.id = id;
    y.fech1 = f1;
    y.fech2 = f2;
    return y;
}
} // namespace

TEST(FiscalYears, DefaultDatesForANewYear) {
    struct Case {
        FiscalYear current;
        Date today;
        Date f1, f2;
    };
    const Date today = D(11, 3, 2026);
    const Case cases[] = {
        {Year(1, D(1, 3, 2004), D(28, 2, 2005)), today, D(1, 3, 2005), D(28, 2, 2006)},
        {Year(1, D(1, 3, 2006), D(28, 2, 2007)), today, D(1, 3, 2007), D(29, 2, 2008)},
        // The next start would be 29/02/2008, which has no anniversary: both dates are today.
        {Year(1, D(1, 3, 2007), D(28, 2, 2008)), today, today, today},
        {Year(1, D(1, 1, 2025), D(31, 12, 2025)), today, D(1, 1, 2026), D(31, 12, 2026)},
        {FiscalYear{}, D(31, 7, 2026), D(1, 1, 2026), D(31, 12, 2026)},
        {FiscalYear{}, D(1, 8, 2026), D(1, 1, 2027), D(31, 12, 2027)},
    };
    for (const Case& c : cases) {
        const auto [f1, f2] = DefaultNewYearDates(c.current, c.today);
        EXPECT_EQ(f1, c.f1) << c.current.fech2.toDisplay() << " " << c.today.toDisplay();
        EXPECT_EQ(f2, c.f2) << c.current.fech2.toDisplay() << " " << c.today.toDisplay();
    }
}

TEST(FiscalYears, ListTextAndItsId) {
    FiscalYear y = Year(3, D(1, 1, 2005), D(31, 12, 2005));
    y.descrip = "Ejercicio 2005";
    EXPECT_EQ(FiscalYearItemText(y), "3. ENE/05 - DIC/05    Ejercicio 2005");
    y.idrefun = 7;
    y.idcierre = 8;
    EXPECT_EQ(FiscalYearItemText(y), "3. ENE/05 - DIC/05 !# Ejercicio 2005");
    y.idrefun = 0;
    EXPECT_EQ(FiscalYearItemText(y), "3. ENE/05 - DIC/05  # Ejercicio 2005");
    EXPECT_EQ(FiscalYearItemId("12. SET/05 - AGO/06    x"), 12);
    EXPECT_EQ(FiscalYearItemId("sin número"), 0);
}

TEST(FiscalYears, PlausibilityWarnings) {
    const Date today = D(11, 12, 2026);
    EXPECT_TRUE(FiscalYearWarnings(Year(1, D(1, 1, 2026), D(31, 12, 2026)), today).empty());
    const auto old = FiscalYearWarnings(Year(1, D(1, 1, 2006), D(31, 12, 2026)), today);
    ASSERT_EQ(old.size(), 1u);
    EXPECT_EQ(old[0], "Por favor verifique la fecha de Inicio de Ejercicio.");
    const auto all = FiscalYearWarnings(Year(1, D(1, 1, 2029), D(31, 12, 2000)), today);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1], "Por favor verifique la fecha de Fin de Ejercicio");
    EXPECT_EQ(all[2], "Por favor Verifique Las fechas del Ejercicio. La fecha de Inicio debe ser "
                      "menor que la fecha de Fin de Ejercicio.");
}

TEST(FiscalYears, AddChangeTickAndDeleteOnACompany) {
    const std::string path = test::CopyTemplate("kesh0.fdb", "fy_crud");
    Connection c = Connection::open(path);
    int id1 = 0, id2 = 0;
    {
        Transaction tr = c.begin();
        id1 = AddFiscalYear(tr, "Ejercicio 'uno'", D(1, 1, 2025), D(31, 12, 2025));
        id2 = AddFiscalYear(tr, "Ejercicio 2026", D(1, 1, 2026), D(31, 12, 2026));
        tr.commit();
    }
    EXPECT_GT(id2, id1);
    SetFiscalYearActive(path, id2, true);
    {
        Transaction tr = c.begin();
        ChangeFiscalYear(tr, id1, "Primero", D(1, 2, 2025), D(31, 1, 2026));
        tr.commit();
    }
    auto years = LoadFiscalYears(path);
    ASSERT_EQ(years.size(), 2u);
    EXPECT_EQ(years[0].descrip, "Primero");
    EXPECT_EQ(years[0].fech1, D(1, 2, 2025));
    EXPECT_FALSE(years[0].ticked());
    EXPECT_TRUE(years[1].ticked());

    // A year with an entry cannot be deleted; one without can.
    {
        Transaction tr = c.begin();
        tr.execute("insert into asientos (idej, num, fecha, descrip) values (?, 1, ?, 'x')", {id2, D(2, 1, 2026)});
        EXPECT_FALSE(DeleteFiscalYear(tr, id2));
        EXPECT_TRUE(DeleteFiscalYear(tr, id1));
        tr.commit();
    }
    years = LoadFiscalYears(path);
    ASSERT_EQ(years.size(), 1u);
    EXPECT_EQ(years[0].id, id2);
}

TEST(FiscalYears, OpeningEntryReversesTheClosingEntry) {
    const std::string path = test::CopyTemplate("kesh0.fdb", "fy_opening");
    Connection c = Connection::open(path);
    Transaction tr = c.begin();
    const int y1 = AddFiscalYear(tr, "2025", D(1, 1, 2025), D(31, 12, 2025));
    const int closing = static_cast<int>(tr.insertReturningId(
        "insert into asientos (idej, num, fecha, descrip) values (?, 9, ?, 'Cierre') returning id",
        {y1, D(31, 12, 2025)}));
    struct L {
        const char* cod;
        const char* dh;
        const char* amount;
    };
    const L lines[] = {{"0001000100010001", "C", "1500.25"},
                       {"0002000100010001", "D", "1000.00"},
                       {"0003000100010001", "D", "500.25"}};
    for (const L& l : lines)
        tr.execute("insert into pases (idasi, idej, cod, dh, importe, fecha) values (?, ?, ?, ?, ?, ?)",
                   {closing, y1, l.cod, l.dh, *Amount::parse(l.amount), D(31, 12, 2025)});
    tr.execute("update ejerc set idcierre = ? where id = ?", {closing, y1});
    tr.commit();

    Transaction t2 = c.begin();
    EXPECT_FALSE(HasOpeningEntry(t2, y1));
    const int y2 = AddFiscalYear(t2, "2026", D(1, 1, 2026), D(31, 12, 2026), closing);
    t2.commit();
    EXPECT_TRUE(HasOpeningEntry(path, y2));

    Transaction t3 = c.begin();
    Statement h = t3.prepare("select id, num, fecha, descrip, idaux from asientos where idej = ?");
    h.open({y2});
    ASSERT_TRUE(h.next());
    EXPECT_EQ(h.getInt("NUM"), 1);
    EXPECT_EQ(h.getDate("FECHA"), D(1, 1, 2026));
    EXPECT_EQ(h.getText("DESCRIP"), "Asiento de Apertura");
    EXPECT_EQ(h.getInt("IDAUX"), -1);
    const int64_t entry = h.getInt("ID");
    EXPECT_FALSE(h.next());

    Statement p = t3.prepare("select cod, dh, importe, nconcep, detalle, fecha from pases where idasi = ? order by cod");
    p.open({entry});
    const char* expectedSides[] = {"D", "C", "C"};
    int n = 0;
    while (p.next()) {
        ASSERT_LT(n, 3);
        EXPECT_EQ(p.getText("COD"), lines[n].cod);
        EXPECT_EQ(p.getText("DH"), expectedSides[n]);
        EXPECT_EQ(p.getAmount("IMPORTE"), *Amount::parse(lines[n].amount));
        EXPECT_EQ(p.getInt("NCONCEP"), -1);
        EXPECT_EQ(p.getText("DETALLE"), "");
        EXPECT_EQ(p.getDate("FECHA"), D(1, 1, 2026));
        ++n;
    }
    EXPECT_EQ(n, 3);
}

TEST(FiscalYears, FailedOpeningEntryLeavesNoYearBehind) {
    const std::string path = test::CopyTemplate("kesh0.fdb", "fy_atomic");
    Connection c = Connection::open(path);
    // Lines on the debit side are refused here, so the reversed closing line fails: the
    // new year must go with it.
    c.executeImmediate("alter table pases add constraint pases_no_d check (dh <> 'D')");
    int closing = 0;
    {
        Transaction tr = c.begin();
        const int y1 = AddFiscalYear(tr, "2025", D(1, 1, 2025), D(31, 12, 2025));
        closing = static_cast<int>(tr.insertReturningId(
            "insert into asientos (idej, num, fecha) values (?, 9, ?) returning id", {y1, D(31, 12, 2025)}));
        tr.execute("insert into pases (idasi, idej, cod, dh, importe) values (?, ?, '0001', 'C', 10)", {closing, y1});
        tr.commit();
    }
    {
        Transaction tr = c.begin();
        EXPECT_THROW(AddFiscalYear(tr, "2026", D(1, 1, 2026), D(31, 12, 2026), closing), DbError);
    }
    EXPECT_EQ(LoadFiscalYears(path).size(), 1u);
}
