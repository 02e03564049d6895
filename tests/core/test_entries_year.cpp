// Operations on a whole fiscal year of entries: the list procedures, renumbering and bulk
// deletion.
#include <gtest/gtest.h>
#include <filesystem>

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

// ---- renumbering on opening reads only what changed, and still finds every change ---------

namespace {

// Entries of the year whose number or fingerprint is not what renumbering from `first` gives:
// worked out here from the lines with a window over the year, independently of pReenum.
int64_t Mismatches(const std::string& dsn, int year, int first) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) {
        return tr.queryInt(
            "select count(*) from ("
            "  select a.num, a.npas, a.checksum, a.importe,"
            "         row_number() over (order by a.fecha, a.descrip, a.id) + cast(? as integer) - 1 as want,"
            "         (select count(*) from pases p where p.idasi = a.id and p.idej = a.idej) as n,"
            "         (select coalesce(sum(p.id), 0) from pases p where p.idasi = a.id and p.idej = a.idej) as s,"
            "         (select coalesce(sum(iif(p.dh = 'D', p.importe, 0)), 0) from pases p"
            "           where p.idasi = a.id and p.idej = a.idej) as d"
            "    from asientos a where a.idej = ?) x "
            "where num is distinct from want or npas is distinct from n"
            "   or checksum is distinct from s or importe is distinct from d",
            {first, year});
    });
}

std::vector<int64_t> Versions(const std::string& dsn) {
    return Column(dsn, "select rdb$record_version as v from asientos order by id", {}, "V");
}

// pReenum inside a transaction of the given isolation, as the maintenance tools may run it.
int RenumberIn(const std::string& dsn, int year, int first, db::Isolation iso) {
    db::Connection c = db::Connection::open(dsn);
    db::Transaction tr = c.begin({iso});
    const int n = int(tr.queryInt("select result from pReenum(?, ?, 1)", {year, first}));
    tr.commit();
    return n;
}

} // namespace

TEST(Renumbering, FindsEveryKindOfChangeMadeByOtherMeans) {
    // Each change is made by plain SQL, as another program would, on a numbered year whose
    // fingerprints match; opening then has to leave the year exactly as a full pass would.
    struct Case {
        const char* what;
        std::vector<const char*> sql;  // ? is the year, ?? the other year
    } cases[] = {
        {"line amount", {"update pases set importe = importe + 1 where id = (select min(id) from pases where idej = ?)"}},
        {"line side", {"update pases set dh = 'D' where id = (select max(id) from pases where idej = ?)"}},
        {"line moved to another entry",
         {"update pases set idasi = (select max(id) from asientos where idej = ?) "
          "where id = (select min(id) from pases where idej = ?)"}},
        {"line added", {"insert into pases (idasi, idej, cod, dh, importe) "
                        "select max(id), ?, '0001000100010001', 'D', 5 from asientos where idej = ?"}},
        {"line removed", {"delete from pases where id = (select max(id) from pases where idej = ?)"}},
        {"line moved to the other year", {"update pases set idej = ?? where id = (select min(id) from pases where idej = ?)"}},
        {"fingerprint changed", {"update asientos set importe = 1 where num = 3 and idej = ?"}},
        {"date moved back", {"update asientos set fecha = '2026-01-01' where num = 7 and idej = ?"}},
        {"date moved forward", {"update asientos set fecha = '2026-12-31' where num = 2 and idej = ?"}},
        {"description reorders one day", {"update asientos set descrip = 'aaa' where num = 6 and idej = ?"}},
        {"numbers swapped",
         {"update asientos set num = 99 where num = 4 and idej = ?",
          "update asientos set num = 4 where num = 5 and idej = ?",
          "update asientos set num = 5 where num = 99 and idej = ?"}},
        {"duplicate number", {"update asientos set num = 3 where num = 4 and idej = ?"}},
        {"gap in the middle", {"delete from pases where idasi = (select id from asientos where num = 5 and idej = ?)",
                               "delete from asientos where num = 5 and idej = ?"}},
        {"last entry removed", {"delete from pases where idasi = (select id from asientos where num = 10 and idej = ?)",
                                "delete from asientos where num = 10 and idej = ?"}},
        {"entry appended in order", {"insert into asientos (idej, num, fecha, descrip) values (?, 11, '2026-12-31', 'z')"}},
        {"entry appended out of order", {"insert into asientos (idej, num, fecha, descrip) values (?, 11, '2026-01-01', 'a')"}},
        {"entry with a number past a gap", {"insert into asientos (idej, num, fecha, descrip) values (?, 13, '2026-12-31', 'z')"}},
        {"entry moved to the other year", {"update asientos set idej = ?? where num = 6 and idej = ?"}},
        {"entry moved in from the other year", {"update asientos set idej = ? where idej = ??"}},
    };
    // Ten entries, two of them on one day, saved out of date order; one in the other year.
    EntriesCompany base("reenum_cambios");
    const int days[] = {5, 3, 9, 1, 7, 7, 2, 8, 4, 6};
    for (int i = 0; i < 10; ++i)
        base.Add(base.ej, D(2026, days[i], 10), i == 5 ? "mismo día b" : i == 4 ? "mismo día c" : "asiento",
                 Amount::fromUnits(10 + i));
    base.Add(base.other, D(2025, 3, 3), "otro año");
    for (db::Isolation iso : {db::Isolation::Snapshot, db::Isolation::ReadCommitted}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (iso == db::Isolation::Snapshot ? " (snapshot)" : " (read committed)"));
            EntriesCompany co = base;
            co.dsn = test::CopyTemplate("kesh0.fdb", "reenum_caso");
            std::filesystem::copy_file(base.dsn, co.dsn, std::filesystem::copy_options::overwrite_existing);
            ASSERT_EQ(RenumberIn(co.dsn, co.ej.id, 1, iso), 10);
            ASSERT_EQ(Mismatches(co.dsn, co.ej.id, 1), 0);
            ASSERT_EQ(co.Int("select count(*) from asirev where idej = ?", {co.ej.id}), 0);

            db::WithTransaction(co.dsn, [&](db::Transaction& tr) {
                for (const char* sql : c.sql) {
                    std::string text = sql;
                    db::Params p;
                    for (size_t at = 0; (at = text.find('?', at)) != std::string::npos;) {
                        const bool other = text.compare(at, 2, "??") == 0;
                        p.push_back(other ? co.other.id : co.ej.id);
                        if (other) text.erase(at, 1);
                        ++at;
                    }
                    tr.execute(text, p);
                }
            });
            const int64_t entries = co.Int("select count(*) from asientos where idej = ?", {co.ej.id});
            EXPECT_EQ(RenumberIn(co.dsn, co.ej.id, 1, iso), entries);
            EXPECT_EQ(Mismatches(co.dsn, co.ej.id, 1), 0);
            EXPECT_EQ(co.Int("select count(*) from asirev where idej = ?", {co.ej.id}), 0);
            // Once right, the next opening is a read.
            const auto before = Versions(co.dsn);
            EXPECT_EQ(RenumberIn(co.dsn, co.ej.id, 1, iso), entries);
            EXPECT_EQ(Versions(co.dsn), before);
            // The other year is checked on its own and ends right too.
            RenumberIn(co.dsn, co.other.id, 1, iso);
            EXPECT_EQ(Mismatches(co.dsn, co.other.id, 1), 0);
        }
    }
}

TEST(Renumbering, AnotherNumberFirstOrACompanyFromBeforeChecksTheWholeYear) {
    EntriesCompany co("reenum_desde");
    for (int i = 0; i < 5; ++i) co.Add(co.ej, D(2026, 5 - i, 1), "a");
    Renumber(co.dsn, co.ej.id, 1, true);
    EXPECT_EQ(Renumber(co.dsn, co.ej.id, 100, true).count, 5);
    EXPECT_EQ(Mismatches(co.dsn, co.ej.id, 100), 0);
    // A company updated from an earlier version carries a row asking for the whole year.
    db::WithTransaction(co.dsn, [&](db::Transaction& tr) {
        tr.execute("delete from asirev");
        tr.execute("update asientos set num = num + 1 where idej = ?", {co.ej.id});  // listed...
        tr.execute("delete from asirev");                                           // ...then lost
        tr.execute("insert into asirev (idej, idasi, num, tipo) values (?, 0, null, 0)", {co.ej.id});
    });
    EXPECT_EQ(Renumber(co.dsn, co.ej.id, 100, true).count, 5);
    EXPECT_EQ(Mismatches(co.dsn, co.ej.id, 100), 0);
    EXPECT_EQ(co.Int("select count(*) from asirev"), 0);
}

TEST(Renumbering, ChangesCommittedWhileItRunsWaitForTheNextCheck) {
    EntriesCompany co("reenum_concurrente");
    for (int i = 0; i < 4; ++i) co.Add(co.ej, D(2026, 2, i + 1), "a");
    Renumber(co.dsn, co.ej.id, 1, true);
    for (bool committedBefore : {true, false}) {
        SCOPED_TRACE(committedBefore ? "committed after its snapshot" : "still uncommitted while it runs");
        // The renumbering's snapshot starts first...
        db::Connection c = db::Connection::open(co.dsn);
        db::Transaction renum = c.begin();
        renum.queryInt("select count(*) from asientos");
        // ...another operator changes a line...
        db::Connection c2 = db::Connection::open(co.dsn);
        db::Transaction other = c2.begin();
        other.execute("update pases set importe = importe + 1 "
                      "where id = (select min(id) from pases where idej = ?)", {co.ej.id});
        if (committedBefore) other.commit();
        // ...which this pass cannot see: it must not take that change's row with it.
        EXPECT_EQ(renum.queryInt("select result from pReenum(?, 1, 1)", {co.ej.id}), 4);
        renum.commit();
        if (!committedBefore) other.commit();
        EXPECT_EQ(Mismatches(co.dsn, co.ej.id, 1), 1);
        Renumber(co.dsn, co.ej.id, 1, true);
        EXPECT_EQ(Mismatches(co.dsn, co.ej.id, 1), 0);
    }
}

TEST(Renumbering, WithoutRecalculatingTheFingerprintsItKeepsTheirRowsForLater) {
    EntriesCompany co("reenum_sin_recalc");
    for (int i = 0; i < 4; ++i) co.Add(co.ej, D(2026, 4 - i, 1), "a");
    db::WithTransaction(co.dsn, [&](db::Transaction& tr) {
        tr.execute("update pases set importe = 1 where id = (select min(id) from pases)");
    });
    EXPECT_EQ(Renumber(co.dsn, co.ej.id, 1, false).count, 4);
    EXPECT_EQ(Mismatches(co.dsn, co.ej.id, 1), 1);  // numbered, the changed line not yet
    EXPECT_EQ(Renumber(co.dsn, co.ej.id, 1, true).count, 4);
    EXPECT_EQ(Mismatches(co.dsn, co.ej.id, 1), 0);
}
