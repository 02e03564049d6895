// Operations on a whole fiscal year of entries: the list procedures, renumbering and bulk
// deletion.
#include <gtest/gtest.h>

#include "entries/browse.h"
#include "test_entries_support.h"

using namespace kesh;
using namespace kesh::entries;
using kesh::test::EntriesCompany;
using kesh::test::kCaja;
using kesh::test::kVentas;

namespace {

Date D(int y, int m, int d) { return Date::fromYmd(y, m, d); }

std::vector<int64_t> Column(const std::string& dsn, const std::string& sql, const db::Params& p,
                            const char* column) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) {
        std::vector<int64_t> v;
        db::Statement s = tr.prepare(sql);
        s.open(p);
        while (s.next()) v.push_back(s.getInt(column));
        return v;
    });
}

} // namespace

TEST(EntryList, FiltersByKindMonthAndAmount) {
    EntriesCompany co("lista");
    int64_t gen = co.Add(co.ej, D(2026, 1, 10), "enero").id;
    int64_t buy = co.Add(co.ej, D(2026, 12, 1), "compra", Amount::fromUnits(1500)).id;
    int64_t sell = co.Add(co.ej, D(2026, 12, 2), "venta").id;
    co.Add(co.other, D(2025, 12, 2), "otro año");
    db::WithTransaction(co.dsn, [&](db::Transaction& tr) {
        int64_t aux = tr.insertReturningId("insert into auxasi (tipo, nro) values ('A', '000300001234') returning id");
        tr.execute("update asientos set clase = 3, idaux = ? where id = ?", {aux, buy});
        tr.execute("update asientos set clase = 6 where id = ?", {sell});
    });
    const std::string sql = "select id from pselasientos(?, ?, 0, ?, ?)";
    struct Case {
        int kind, month;
        const char* amount;
        std::vector<int64_t> ids;
    } cases[] = {
        {0, 0, "0.00", {gen, buy, sell}}, {3, 0, "0.00", {gen}},  {1, 0, "0.00", {buy}},
        {2, 0, "0.00", {sell}},           {0, 12, "0.00", {buy, sell}}, {0, 1, "0.00", {gen}},
        {0, 0, "1500.00", {buy}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Column(co.dsn, sql, {co.ej.id, c.kind, c.month, c.amount}, "ID"), c.ids)
            << c.kind << " " << c.month << " " << c.amount;
    auto nfact = db::WithTransaction(co.dsn, [&](db::Transaction& tr) {
        return tr.queryText("select nfact from pselasientos(?, 1, 0, 0, '0.00')", {co.ej.id});
    });
    EXPECT_EQ(nfact, "A 0003-00001234");
}

TEST(EntryList, EntriesWhoseLinesDoNotMatchAreListedApart) {
    EntriesCompany co("desbalanceados");
    int64_t good = co.Add(co.ej, D(2026, 2, 1), "bien").id;
    int64_t changed = co.Add(co.ej, D(2026, 2, 2), "línea cambiada a mano").id;
    int64_t unbalanced = co.Add(co.ej, D(2026, 2, 3), "desbalanceado").id;
    db::WithTransaction(co.dsn, [&](db::Transaction& tr) {
        // Same totals, different line: only the key sum of the fingerprint shows it.
        tr.execute("delete from pases where idasi = ? and dh = 'C'", {changed});
        tr.execute("insert into pases (idasi, idej, cod, dh, importe) values (?, ?, ?, 'C', 100)",
                   {changed, co.ej.id, kVentas});
        tr.execute("update pases set importe = 90 where idasi = ? and dh = 'C'", {unbalanced});
    });
    EXPECT_EQ(Column(co.dsn, "select id from pselasimal(?, 1)", {co.ej.id}, "ID"),
              (std::vector<int64_t>{changed, unbalanced}));
    // Recalculating the fingerprints takes the changed entry out; the unbalanced one stays.
    Renumber(co.dsn, co.ej.id, 1, true);
    EXPECT_EQ(Column(co.dsn, "select id from pselasimal(?, 1)", {co.ej.id}, "ID"),
              (std::vector<int64_t>{unbalanced}));
    (void)good;
}

TEST(Renumbering, GivesConsecutiveNumbersByDateThenDescription) {
    EntriesCompany co("reenumerar");
    // Saved out of order: numbers 1..10 in saving order, dates reversed.
    std::vector<int64_t> ids;
    for (int i = 0; i < 10; ++i) ids.push_back(co.Add(co.ej, D(2026, 10 - i, 1), "asiento").id);
    int64_t sameDayB = co.Add(co.ej, D(2026, 11, 5), "b").id;
    int64_t sameDayA = co.Add(co.ej, D(2026, 11, 5), "a").id;
    int64_t otherYear = co.Add(co.other, D(2025, 1, 1), "x").id;

    RenumberResult r = Renumber(co.dsn, co.ej.id, 100, false);
    EXPECT_FALSE(r.skipped);
    EXPECT_EQ(r.count, 12);
    EXPECT_EQ(RenumberMessage(100, r.count),
              "Los asientos han sido reenumerados desde el número 100 hasta el número 111\n"
              "En total se procesaron 12 asientos.");
    EXPECT_EQ(co.Int("select num from asientos where id = ?", {ids[9]}), 100);
    EXPECT_EQ(co.Int("select num from asientos where id = ?", {ids[0]}), 109);
    EXPECT_EQ(co.Int("select num from asientos where id = ?", {sameDayA}), 110);
    EXPECT_EQ(co.Int("select num from asientos where id = ?", {sameDayB}), 111);
    EXPECT_EQ(co.Int("select num from asientos where id = ?", {otherYear}), 1);
    // The next new entry follows the renumbered ones.
    EXPECT_EQ(co.Add(co.ej, D(2026, 12, 31), "siguiente").num, 112);
}

TEST(Renumbering, AnAlreadyNumberedYearIsReadNotRewritten) {
    EntriesCompany co("sin_reescribir");
    for (int i = 1; i <= 6; ++i) co.Add(co.ej, D(2026, 1, i), "a");
    Renumber(co.dsn, co.ej.id, 1, true);
    auto versions = [&] {
        return Column(co.dsn, "select rdb$record_version as v from asientos order by id", {}, "V");
    };
    auto before = versions();
    Renumber(co.dsn, co.ej.id, 1, true);
    Renumber(co.dsn, co.ej.id, 1, false);
    EXPECT_EQ(versions(), before);
    // Moving one entry's date rewrites only the entries whose number changes.
    db::WithTransaction(co.dsn, [&](db::Transaction& tr) {
        tr.execute("update asientos set fecha = ? where num = 5", {D(2026, 1, 9)});
    });
    auto moved = versions();
    Renumber(co.dsn, co.ej.id, 1, true);
    auto after = versions();
    int rewritten = 0;
    for (std::size_t i = 0; i < after.size(); ++i) rewritten += after[i] != moved[i];
    EXPECT_EQ(rewritten, 2);  // numbers 5 and 6 swap
}

TEST(Renumbering, RecalculatingFillsTheFingerprintsFromTheLines) {
    EntriesCompany co("recalcular");
    int64_t id = co.Add(co.ej, D(2026, 3, 1), "a").id;
    db::WithTransaction(co.dsn, [&](db::Transaction& tr) {
        tr.execute("update asientos set npas = 0, checksum = 0, importe = 0 where id = ?", {id});
    });
    Renumber(co.dsn, co.ej.id, 1, false);
    EXPECT_EQ(co.Int("select npas from asientos where id = ?", {id}), 0);
    Renumber(co.dsn, co.ej.id, 1, true);
    EXPECT_EQ(co.Int("select npas from asientos where id = ?", {id}), 2);
    EXPECT_EQ(co.Int("select checksum from asientos where id = ?", {id}),
              co.Int("select sum(id) from pases where idasi = ?", {id}));
    EXPECT_EQ(co.Int("select cast(importe as integer) from asientos where id = ?", {id}), 100);
}

TEST(Renumbering, OnOpeningItYieldsToAnotherOperatorsLock) {
    EntriesCompany co("cerrojo");
    co.Add(co.ej, D(2026, 5, 1), "b");
    co.Add(co.ej, D(2026, 4, 1), "a");
    // Another operator is in the middle of a save into this year.
    db::Connection other = db::Connection::open(co.dsn);
    db::Transaction held = other.begin();
    held.queryInt("select id from ejerc where id = ? with lock", {co.ej.id});

    RenumberResult r = Renumber(co.dsn, co.ej.id, 1, true, /*yieldToOthers=*/true);
    EXPECT_TRUE(r.skipped);
    EXPECT_EQ(co.Int("select num from asientos where descrip = 'a'"), 2);  // untouched
    held.rollback();
    r = Renumber(co.dsn, co.ej.id, 1, true, true);
    EXPECT_FALSE(r.skipped);
    EXPECT_EQ(co.Int("select num from asientos where descrip = 'a'"), 1);
}

TEST(BulkDeletion, RemovesTheRangeWithLinesAndVoucherData) {
    EntriesCompany co("borrado_masivo");
    int64_t d1 = co.Add(co.ej, D(2026, 6, 1), "uno").id;
    int64_t d2a = co.Add(co.ej, D(2026, 6, 2), "dos").id;
    int64_t d2b = co.Add(co.ej, D(2026, 6, 2), "dos bis").id;
    int64_t d3 = co.Add(co.ej, D(2026, 6, 3), "tres").id;
    int64_t old = co.Add(co.other, D(2025, 6, 2), "año anterior").id;
    db::WithTransaction(co.dsn, [&](db::Transaction& tr) {
        int64_t aux = tr.insertReturningId("insert into auxasi (nro) values ('1') returning id");
        tr.execute("update asientos set clase = 1, idaux = ? where id = ?", {aux, d2a});
        tr.execute("update ejerc set idrefun = ?, idcierre = ? where id = ?", {d2b, d3, co.ej.id});
    });
    EXPECT_EQ(BulkDeleteQuestion(co.ej.id, DateRange{D(2026, 6, 2), D(2026, 6, 2)}),
              "Se eliminarán todos los asientos del ejercicio " + std::to_string(co.ej.id) +
                  " fechados desde el 02/06/2026 hasta el 02/06/2026, con sus pases y comprobantes."
                  "\n\nPor favor Confirme");

    EXPECT_EQ(BulkDelete(co.dsn, co.ej.id, DateRange{D(2026, 6, 2), D(2026, 6, 2)}), 2);
    EXPECT_EQ(Column(co.dsn, "select id from asientos order by id", {}, "ID"),
              (std::vector<int64_t>{d1, d3, old}));
    EXPECT_EQ(co.Int("select count(*) from pases where idasi in (?, ?)", {d2a, d2b}), 0);
    EXPECT_EQ(co.Int("select count(*) from auxasi"), 0);
    // The result-closing entry went, the closing entry stayed.
    EXPECT_EQ(co.Int("select idrefun from ejerc where id = ?", {co.ej.id}), 0);
    EXPECT_EQ(co.Int("select idcierre from ejerc where id = ?", {co.ej.id}), d3);

    EXPECT_EQ(BulkDelete(co.dsn, co.ej.id, std::nullopt), 2);
    EXPECT_EQ(co.Int("select idcierre from ejerc where id = ?", {co.ej.id}), 0);
    EXPECT_EQ(co.Int("select count(*) from asientos where idej = ?", {co.ej.id}), 0);
    EXPECT_EQ(co.Int("select count(*) from pases where idej = ?", {co.ej.id}), 0);
    EXPECT_EQ(co.Int("select count(*) from pases where idasi = ?", {old}), 2);
}

TEST(EntryBrowser, FiltersAndSearchTexts) {
    EXPECT_EQ(AmountFilter(true, "1500"), "1500.00");
    EXPECT_EQ(AmountFilter(false, "1500"), "0.00");
    EXPECT_EQ(AmountFilter(true, "15a"), "0.00");
    EXPECT_EQ(ValidMonthIndex(12), 12);
    EXPECT_EQ(ValidMonthIndex(13), 1);
    EXPECT_EQ(ValidMonthIndex(-1), 1);
    EXPECT_EQ(MonthNames()[12], "Diciem");
    struct Case {
        const char* text;
        const char* pattern;
        bool match;
    } cases[] = {
        {"Venta de mercaderías", "venta*", true}, {"Venta", "v?nta", true},   {"Venta", "*nt?", true},
        {"Venta", "nta", false},                  {"01/02/2026", "*/02/*", true}, {"", "*", true},
        {"abc", "a*c*d", false},                  {"Peña", "Pe?a", true},         {"Peña", "Pe??a", false},
    };
    for (const Case& c : cases) EXPECT_EQ(MatchesPattern(c.text, c.pattern), c.match) << c.text << " " << c.pattern;
    std::vector<EntryListRow> rows(3);
    rows[0].num = 1;
    rows[1].num = 12;
    rows[2].num = 120;
    EXPECT_EQ(FindEntry(rows, SearchField::Numero, "12*", 0), 1);
    EXPECT_EQ(FindEntry(rows, SearchField::Numero, "12*", 2), 2);
    EXPECT_EQ(FindEntry(rows, SearchField::Numero, "7", 0), -1);
}

TEST(EntryBrowser, AnEmptyFormSavesNothing) {
    EntriesCompany co("vacio");
    GridEntry e;
    e.fecha = D(2026, 1, 1);
    e.lines = {{"", "", {}, {}}};
    SaveResult r = SaveGridEntry(co.dsn, co.ej, e);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "El asiento no tiene pases, no se guardará.");
    EXPECT_EQ(co.Int("select count(*) from asientos"), 0);
}
