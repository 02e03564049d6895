// Saving rules of journal entries: the checks and their messages, paths A, B and C with the
// fingerprint, deletion with voucher data, marks.
#include <gtest/gtest.h>

#include "entries/standard.h"
#include "test_entries_support.h"

using namespace kesh;
using namespace kesh::entries;
using kesh::test::EntriesCompany;
using kesh::test::kBanco;
using kesh::test::kCaja;
using kesh::test::kGastos;
using kesh::test::kVentas;

namespace {

Date D(int y, int m, int d) { return Date::fromYmd(y, m, d); }
Amount A(const char* text) { return *Amount::parse(text); }

struct Fp {
    int npas;
    int64_t checksum;
    std::string importe;
};

// The fingerprint stored on the header and the one its lines give.
std::pair<Fp, Fp> Fingerprints(const std::string& dsn, int64_t id) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) {
        db::Statement h = tr.prepare("select npas, checksum, importe from asientos where id = ?");
        h.open({id});
        h.next();
        Fp stored{int(h.getInt("NPAS")), h.getInt("CHECKSUM"), h.getAmount("IMPORTE").toString()};
        Fp lines{int(tr.queryInt("select count(*) from pases where idasi = ?", {id})),
                 tr.queryInt("select coalesce(sum(id), 0) from pases where idasi = ?", {id}),
                 tr.queryAmount("select coalesce(sum(importe), 0) from pases where idasi = ? and dh = 'D'",
                                {id}).toString()};
        return std::pair{stored, lines};
    });
}

void ExpectFingerprintMatches(const std::string& dsn, int64_t id) {
    auto [stored, lines] = Fingerprints(dsn, id);
    EXPECT_EQ(stored.npas, lines.npas);
    EXPECT_EQ(stored.checksum, lines.checksum);
    EXPECT_EQ(stored.importe, lines.importe);
}

} // namespace

TEST(GridAmount, ReadsTheWayTheGridEditorDoes) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"1.234,5", "1234.50"}, {"1234", "1234.00"}, {"12.345", "12.34"}, {" 15,75 ", "15.75"},
        {"", "0.00"},           {"abc", "0.00"},     {"12.", "12.00"},   {",5", "0.50"},
        {"1,000,000.01", "1000000.01"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadGridAmount(c.text).toString(), c.expected) << c.text;
}

TEST(GridAmount, LineSideFollowsTheGreaterCell) {
    EXPECT_EQ(SideOf(A("100"), A("40")).dh, 'D');
    EXPECT_EQ(SideOf(A("100"), A("40")).importe, A("100"));
    EXPECT_EQ(SideOf(A("0"), A("0")).dh, 'C');
    EXPECT_EQ(SideOf(A("10"), A("10")).dh, 'C');
}

TEST(Entries, FirstEntryOfAnEmptyYearIsNumberOneAndCarriesItsFingerprint) {
    EntriesCompany co("primero");
    GridEntry e;
    e.fecha = D(2026, 3, 5);
    e.descrip = "Cobro de la factura 'A' 0001";
    e.lines = {{kCaja, "efectivo", A("50"), {}}, {"", "", {}, {}}, {kVentas, "", {}, A("50")}};
    SaveResult r = SaveGridEntry(co.dsn, co.ej, e);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.num, 1);
    ExpectFingerprintMatches(co.dsn, r.id);
    auto [stored, lines] = Fingerprints(co.dsn, r.id);
    EXPECT_EQ(stored.npas, 2);
    EXPECT_EQ(stored.importe, "50.00");
    // Row 2 named no account: not saved, but the rows keep their numbers.
    EXPECT_EQ(co.Int("select max(nro) from pases where idasi = ?", {r.id}), 3);
    EXPECT_EQ(co.Int("select min(nro) from pases where idasi = ?", {r.id}), 1);
    auto text = db::WithTransaction(co.dsn, [&](db::Transaction& tr) {
        return tr.queryText("select descrip from asientos where id = ?", {r.id});
    });
    EXPECT_EQ(text, "Cobro de la factura `A` 0001");
    EXPECT_EQ(co.Add(co.ej, D(2026, 3, 6), "segundo").num, 2);
}

TEST(Entries, LinesAreStoredBySideWithTheEditorsRule) {
    EntriesCompany co("lados");
    GridEntry e;
    e.fecha = D(2026, 1, 10);
    // D 100 / C 40 on one row is stored as D 100; an empty row with an account is C 0.
    e.lines = {{kCaja, "", A("100"), A("40")}, {kBanco, "", {}, {}}, {kVentas, "", {}, A("100")}};
    SaveResult r = SaveGridEntry(co.dsn, co.ej, e);
    ASSERT_TRUE(r.ok) << r.message;
    auto rows = LoadLines(co.dsn, r.id);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].debe, A("100"));
    EXPECT_EQ(rows[1].haber, A("0"));
    EXPECT_EQ(co.Int("select count(*) from pases where idasi = ? and dh = 'C' and importe = 0", {r.id}), 1);
    EXPECT_EQ(rows[0].cod2, "1.1.1.1");
    EXPECT_EQ(rows[1].cuent, "Banco Nación");
}

TEST(Entries, RefusalsLeaveTheDatabaseAsItWas) {
    EntriesCompany co("rechazos");
    FiscalYear closed = co.ej;
    closed.idcierre = 99;
    struct Case {
        const char* name;
        FiscalYear year;
        Date fecha;
        std::vector<GridLine> lines;
        std::string message;
    } cases[] = {
        {"fecha fuera", co.ej, D(2025, 12, 31), {{kCaja, "", A("1"), {}}, {kVentas, "", {}, A("1")}},
         "La fecha del asiento debe corresponder al ejercicio (01/01/2026 - 31/12/2026)"},
        {"cerrado", closed, D(2026, 5, 1), {{kCaja, "", A("1"), {}}, {kVentas, "", {}, A("1")}},
         "Ejercicio cerrado. No se pueden agregar ni modificar asientos."},
        {"no cierra", co.ej, D(2026, 5, 1), {{kCaja, "", A("100.00"), {}}, {kVentas, "", {}, A("99.99")}},
         "Los importes no cierran, el asiento no se guardará."},
    };
    for (const Case& c : cases) {
        GridEntry e;
        e.fecha = c.fecha;
        e.lines = c.lines;
        SaveResult r = SaveGridEntry(co.dsn, c.year, e);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.message, c.message) << c.name;
    }
    EXPECT_EQ(co.Int("select count(*) from asientos"), 0);
    EXPECT_EQ(co.Int("select count(*) from pases"), 0);

    GridEntry ok;
    ok.fecha = D(2026, 5, 1);
    ok.lines = {{kCaja, "", A("100.00"), {}}, {kVentas, "", {}, A("60.00")}, {kBanco, "", {}, A("40.00")}};
    EXPECT_TRUE(SaveGridEntry(co.dsn, co.ej, ok).ok);
}

TEST(Entries, AYearClosedByAnotherOperatorRefusesTheSaveInsideTheTransaction) {
    EntriesCompany co("cerrado_por_otro");
    db::WithTransaction(co.dsn, [&](db::Transaction& tr) {
        tr.execute("update ejerc set idrefun = 5 where id = ?", {co.ej.id});
    });
    SaveResult r = co.Add(co.ej, D(2026, 2, 2), "x");  // the screen still believes it open
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Ejercicio cerrado. No se pueden agregar ni modificar asientos. El asiento no se guardará.");
    EXPECT_EQ(co.Int("select count(*) from asientos"), 0);
}

TEST(Entries, OnlyOneOpeningEntryPerYear) {
    EntriesCompany co("apertura");
    GridEntry e;
    e.fecha = D(2026, 1, 1);
    e.descrip = "Apertura";
    e.opening = true;
    e.lines = {{kCaja, "", A("10"), {}}, {kVentas, "", {}, A("10")}};
    SaveResult first = SaveGridEntry(co.dsn, co.ej, e);
    ASSERT_TRUE(first.ok);
    EXPECT_EQ(first.notice, "");
    EXPECT_TRUE(HasOpeningEntry(co.dsn, co.ej.id));
    EXPECT_EQ(co.Int("select nconcep from pases where idasi = ? rows 1", {first.id}), -1);

    SaveResult second = SaveGridEntry(co.dsn, co.ej, e);
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.notice, "El asiento no se guardará como de Apertura dado que este ya existe.");
    EXPECT_EQ(co.Int("select idaux from asientos where id = ?", {second.id}), 0);

    // Changing the opening entry itself keeps it the opening entry.
    e.id = first.id;
    e.descrip = "Apertura corregida";
    SaveResult again = SaveGridEntry(co.dsn, co.ej, e);
    ASSERT_TRUE(again.ok);
    EXPECT_EQ(again.notice, "");
    EXPECT_EQ(co.Int("select idaux from asientos where id = ?", {first.id}), -1);
    EXPECT_FALSE(HasOpeningEntry(co.dsn, co.other.id));
}

TEST(Entries, ChangingAnEntryRewritesItsLinesAndFingerprint) {
    EntriesCompany co("cambio");
    SaveResult r = co.Add(co.ej, D(2026, 4, 1), "original");
    GridEntry e;
    e.id = r.id;
    e.fecha = D(2026, 4, 2);
    e.descrip = "cambiado";
    e.lines = {{kGastos, "luz", A("30"), {}}, {kGastos, "gas", A("20"), {}}, {kBanco, "", {}, A("50")}};
    SaveResult c = SaveGridEntry(co.dsn, co.ej, e);
    ASSERT_TRUE(c.ok) << c.message;
    EXPECT_EQ(c.num, r.num);
    EXPECT_EQ(co.Int("select count(*) from pases where idasi = ?", {r.id}), 3);
    ExpectFingerprintMatches(co.dsn, r.id);

    // Path C keeps the entry's idaux on its lines and checks the balance.
    GridEntry ledger = e;
    ledger.lines = {{kCaja, "", A("70"), {}}, {kBanco, "", {}, A("70")}};
    ASSERT_TRUE(SaveLedgerEntry(co.dsn, co.ej, ledger).ok);
    ExpectFingerprintMatches(co.dsn, r.id);
    EXPECT_EQ(Fingerprints(co.dsn, r.id).first.importe, "70.00");
    ledger.lines[1].credit = A("69");
    EXPECT_EQ(SaveLedgerEntry(co.dsn, co.ej, ledger).message, "los importes no cierran, el asiento no se guardará.");
    EXPECT_EQ(Fingerprints(co.dsn, r.id).first.importe, "70.00");

    // Another operator deleted it meanwhile: refused, nothing written.
    ASSERT_TRUE(DeleteEntry(co.dsn, r.id));
    SaveResult gone = SaveGridEntry(co.dsn, co.ej, e);
    EXPECT_FALSE(gone.ok);
    EXPECT_EQ(co.Int("select count(*) from pases"), 0);
}

TEST(Entries, TheFingerprintIsTheLineCountKeySumAndDebitTotal) {
    EntriesCompany co("huella");
    // Take keys 10 and 11 for the lines, as in the rule's own example.
    db::WithTransaction(co.dsn, [](db::Transaction& tr) { tr.execute("set generator gpasesid to 9"); });
    GridEntry e;
    e.fecha = D(2026, 6, 1);
    e.lines = {{kCaja, "", A("50"), {}}, {kVentas, "", {}, A("50")}};
    SaveResult r = SaveGridEntry(co.dsn, co.ej, e);
    ASSERT_TRUE(r.ok);
    auto [stored, lines] = Fingerprints(co.dsn, r.id);
    EXPECT_EQ(stored.npas, 2);
    EXPECT_EQ(stored.checksum, 21);
    EXPECT_EQ(stored.importe, "50.00");
}

TEST(TemplateEntries, ChecksInTheEditorsOrder) {
    EntriesCompany co("plantilla_checks");
    auto slot = [](char dh, const char* code, const char* amount) {
        TemplateSlot s;
        s.ticked = true;
        s.dh = dh;
        s.code = code;
        s.importe = A(amount);
        return s;
    };
    struct Case {
        Date fecha;
        std::vector<TemplateSlot> slots;
        std::string message;
    } cases[] = {
        {D(2027, 1, 1), {slot('D', kCaja, "1"), slot('C', kVentas, "1")}, DateOutsideYearMessage(co.ej)},
        {D(2026, 1, 1), {slot('D', kCaja, "0")}, "Imposible generar asiento. No se han ingresado importes"},
        {D(2026, 1, 1), {slot('D', kCaja, "10"), slot('C', kVentas, "9")},
         "Imposible generar asiento. La imputación contable no cierra"},
        {D(2026, 1, 1), {slot('D', kCaja, "10"), slot('C', "", "10")},
         "Imposible generar asiento. La imputación contable no cierra"},
    };
    for (const Case& c : cases) {
        TemplateEntry e;
        e.fecha = c.fecha;
        e.lineSlots = c.slots;
        SaveResult r = SaveTemplateEntry(co.dsn, co.ej, e);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, c.message);
    }
    EXPECT_EQ(co.Int("select count(*) from asientos"), 0);
    EXPECT_EQ(BalanceText({A("10"), A("9")}), "Saldo Deudor: 1.00");
    EXPECT_EQ(BalanceText({A("9"), A("10")}), "Saldo Acreedor: 1.00");
    EXPECT_EQ(BalanceText({A("100"), A("100")}), "");
}

TEST(TemplateEntries, AStandardEntryProducesAndChangesEntriesThroughTheSlots) {
    EntriesCompany co("plantilla");
    int64_t tip = SaveStandardEntry(co.dsn, 0, "Pago de servicios",
                                    {{kGastos, 'D', "Servicio"}, {"", 'D', "sin cuenta"},
                                     {kCaja, 'C', "Pago"}, {kBanco, 'C', "Comisión"}});
    auto standard = LoadStandardLines(co.dsn, tip);
    ASSERT_EQ(standard.size(), 3u);  // the row without an account was not stored
    auto slots = SlotsFromStandard(standard);
    ASSERT_EQ(slots.size(), 15u);
    EXPECT_TRUE(slots[2].ticked);
    EXPECT_EQ(slots[2].code, kBanco);
    EXPECT_EQ(slots[2].dh, 'C');
    EXPECT_FALSE(slots[3].ticked);
    EXPECT_EQ(slots[3].concepto, kEmptyConcept);

    slots[0].importe = A("120");
    slots[1].importe = A("100");
    slots[2].importe = A("20");
    slots[1].detalle = "un detalle más largo que treinta caracteres";
    TemplateEntry e;
    e.fecha = D(2026, 7, 1);
    e.descrip = "Servicios julio";
    e.idtip = tip;
    e.lineSlots = slots;
    SaveResult r = SaveTemplateEntry(co.dsn, co.ej, e);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.num, 1);
    ExpectFingerprintMatches(co.dsn, r.id);
    EXPECT_EQ(co.Int("select idtip from asientos where id = ?", {r.id}), tip);

    // Change: untick slot 3 (and move its amount to slot 2); the line of slot 3 is deleted,
    // lines 1 and 2 keep their keys.
    auto loaded = SlotsForEntry(co.dsn, r.id, standard);
    ASSERT_TRUE(loaded[2].ticked);
    int64_t keep0 = loaded[0].lineId, keep1 = loaded[1].lineId;
    EXPECT_EQ(loaded[1].detalle, "un detalle más largo que trein");
    loaded[1].importe = A("120");
    loaded[2].ticked = false;
    TemplateEntry c = e;
    c.id = r.id;
    c.lineSlots = loaded;
    ASSERT_TRUE(SaveTemplateEntry(co.dsn, co.ej, c).ok);
    EXPECT_EQ(co.Int("select count(*) from pases where idasi = ?", {r.id}), 2);
    EXPECT_EQ(co.Int("select count(*) from pases where id in (?, ?)", {keep0, keep1}), 2);
    ExpectFingerprintMatches(co.dsn, r.id);

    // Deleting the standard entry leaves the entry's idtip alone.
    DeleteStandardEntry(co.dsn, tip);
    EXPECT_EQ(co.Int("select count(*) from tippase where idtipasi = ?", {tip}), 0);
    EXPECT_EQ(co.Int("select idtip from asientos where id = ?", {r.id}), tip);
}

TEST(TemplateEntries, NegativeSlotAmountsAreStoredOnTheOtherSide) {
    EntriesCompany co("negativo");
    TemplateEntry e;
    e.fecha = D(2026, 2, 1);
    e.lineSlots = {TemplateSlot{true, 'D', kCaja, A("150"), "", "", 0},
               TemplateSlot{true, 'D', kGastos, A("-50"), "", "", 0},
               TemplateSlot{true, 'C', kVentas, A("100"), "", "", 0}};
    SaveResult r = SaveTemplateEntry(co.dsn, co.ej, e);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(co.Int("select count(*) from pases where importe < 0"), 0);
    ExpectFingerprintMatches(co.dsn, r.id);
}

TEST(StandardEntries, ChangingReplacesAllLinesAndOnlyFifteenSlotsAreUsed) {
    EntriesCompany co("tipo");
    std::vector<StandardLine> twenty;
    for (int i = 0; i < 20; ++i) twenty.push_back({i % 2 ? kCaja : kBanco, 'D', "c" + std::to_string(i)});
    int64_t id = SaveStandardEntry(co.dsn, 0, "Grande", twenty);
    EXPECT_EQ(LoadStandardLines(co.dsn, id).size(), 20u);
    auto slots = SlotsFromStandard(LoadStandardLines(co.dsn, id));
    EXPECT_EQ(slots.size(), 15u);
    EXPECT_EQ(slots[14].concepto, "c14");
    SaveStandardEntry(co.dsn, id, "Chico", {{kCaja, 'C', "uno"}});
    auto lines = LoadStandardLines(co.dsn, id);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].dh, 'C');
    SaveStandardEntry(co.dsn, 0, "abc", {});
    auto list = ListStandardEntries(co.dsn);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].descrip, "abc");  // upper(descrip) order
    EXPECT_EQ(ListStandardEntries(co.dsn, StandardOrder::AsStored)[0].descrip, "abc");
    EXPECT_EQ(StandardEntryName(co.dsn, id), "Chico");
}

TEST(DeleteEntries, VoucherDataGoesWithTheEntryFromTheRightTable) {
    EntriesCompany co("borrar");
    SaveResult plain = co.Add(co.ej, D(2026, 3, 1), "factura");
    SaveResult school = co.Add(co.ej, D(2026, 3, 2), "cuota");
    SaveResult keep = co.Add(co.ej, D(2026, 3, 3), "otro");
    db::WithTransaction(co.dsn, [&](db::Transaction& tr) {
        // Both tables start their keys at 1: the same idaux names different records.
        int64_t aux = tr.insertReturningId("insert into auxasi (nro) values ('000100000001') returning id");
        int64_t fac = tr.insertReturningId("insert into auxfacalu (alumno) values ('Pérez') returning id");
        ASSERT_EQ(aux, fac);
        int64_t other = tr.insertReturningId("insert into auxasi (nro) values ('000100000002') returning id");
        tr.execute("update asientos set clase = 1, idaux = ? where id = ?", {aux, plain.id});
        tr.execute("update asientos set clase = 2, idaux = ?, colegio = 1 where id = ?", {fac, school.id});
        tr.execute("update asientos set clase = 1, idaux = ? where id = ?", {other, keep.id});
        tr.execute("update ejerc set idcierre = ? where id = ?", {school.id, co.ej.id});
    });
    EXPECT_EQ(CheckDelete(co.ej, DeleteFrom::Browser), "");
    EXPECT_EQ(DeleteQuestion(12, "Compra de insumos"), "Quiere borrar el asiento [12] Compra de insumos");

    ASSERT_TRUE(DeleteEntry(co.dsn, school.id));
    EXPECT_EQ(co.Int("select count(*) from auxfacalu"), 0);
    EXPECT_EQ(co.Int("select count(*) from auxasi"), 2);  // the other table's record 1 stays
    EXPECT_EQ(co.Int("select idcierre from ejerc where id = ?", {co.ej.id}), 0);

    ASSERT_TRUE(DeleteEntry(co.dsn, plain.id));
    EXPECT_EQ(co.Int("select count(*) from auxasi"), 1);
    EXPECT_EQ(co.Int("select count(*) from pases where idasi in (?, ?)", {plain.id, school.id}), 0);
    EXPECT_EQ(co.Int("select count(*) from asientos"), 1);
    EXPECT_FALSE(DeleteEntry(co.dsn, plain.id));
}

TEST(DeleteEntries, RefusalsDependOnWhereTheDeleteComesFrom) {
    FiscalYear ej;
    ej.idrefun = 7;
    EXPECT_EQ(CheckDelete(ej, DeleteFrom::Browser), "Ejercicio cerrado. No se pueden borrar asientos.");
    EXPECT_EQ(CheckDelete(ej, DeleteFrom::Ledger), "");
    ej.idcierre = 8;
    EXPECT_EQ(CheckDelete(ej, DeleteFrom::Ledger), "No se puede borrar. Contabilidad cerrada.");
    EXPECT_EQ(CheckChangeable(ej, 7), "Los asientos de refundición y de cierre no se pueden modificar");
    EXPECT_EQ(CheckChangeable(ej, 8), "Los asientos de refundición y de cierre no se pueden modificar");
    EXPECT_EQ(CheckChangeable(ej, 9), "");
}

TEST(Marks, SetAndShownByTheList) {
    EntriesCompany co("marcas");
    SaveResult r = co.Add(co.ej, D(2026, 1, 5), "a marcar");
    for (int m : {3, 1, 0}) {
        SetMark(co.dsn, r.id, m);
        EXPECT_EQ(co.Int("select marc from pselasientos(?, 0, 0, 0, '0.00')", {co.ej.id}), m);
    }
}
