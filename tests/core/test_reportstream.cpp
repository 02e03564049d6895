// Report rows read as the layout asks for them: the same rows, in the same order, as reading
// them at once; a connection of their own that closes when the reading ends or is dropped;
// a Spanish message when the reading fails half way.
#include <gtest/gtest.h>

#include <sstream>

#include "reports/reportjob.h"
#include "support/reportfixture.h"
#include "support/testsupport.h"

using namespace kesh;
using namespace kesh::reports;

namespace {

Date D(int y, int m, int d) { return Date::fromYmd(y, m, d); }

// Every row of a stream, as CSV.
std::string Drain(ReportStream& stream) {
    return std::visit(
        [](auto& s) {
            using Row = std::decay_t<decltype((*s)[0])>;
            std::vector<Row> rows;
            for (size_t i = 0; s->has(i); ++i) rows.push_back((*s)[i]);
            std::ostringstream out;
            WriteCsv(out, rows);
            return out.str();
        },
        stream);
}

class ReportStreams : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        fx_ = new test::ReportFixture(test::MakeReportFixture("reportstream"));
        // Two entries of one day written out of number order, their lines out of line order:
        // the day's lines still come by entry number, then line number.
        db::WithTransaction(fx_->path, [](db::Transaction& tr) {
            auto entry = [&](int num, std::vector<std::pair<int, const char*>> lines) {
                const int64_t id = tr.insertReturningId(
                    "insert into asientos (idej, num, fecha, descrip) values (?, ?, ?, ?) "
                    "returning id",
                    {fx_->year2025, num, D(2025, 3, 3), "Del día " + std::to_string(num)});
                for (auto [nro, cod] : lines)
                    tr.execute("insert into pases (idasi, idej, nro, cod, dh, importe, fecha) "
                               "values (?, ?, ?, ?, ?, 10, ?)",
                               {id, fx_->year2025, nro, cod, nro == 1 ? "D" : "C", D(2025, 3, 3)});
            };
            entry(6, {{2, "00010002"}, {1, "00010001"}});
            entry(5, {{2, "00030001"}, {1, "00010001"}});
        });
    }
    static void TearDownTestSuite() { delete fx_; }

    static AppContext Context() {
        AppContext c;
        c.currentEj.id = fx_->year2025;
        c.reportRange = {};
        c.reportRange.fromCode = "0001";
        c.reportRange.toCode = "00039999";
        c.reportRange.fromDate = D(2025, 1, 1);
        c.reportRange.toDate = D(2025, 12, 31);
        return c;
    }
    static test::ReportFixture* fx_;
};
test::ReportFixture* ReportStreams::fx_ = nullptr;

} // namespace

TEST_F(ReportStreams, GiveTheSameRowsAsReadingThemAtOnce) {
    struct Case {
        const char* key;
        std::function<void(AppContext&, ReportParams&)> options;
    };
    const Case cases[] = {
        {"Diario", {}},
        {"Diario", [](AppContext& c, ReportParams&) {
             c.settings.DApertura = false;
             c.reportRange.fromDate = D(2025, 1, 5);
             c.reportRange.toDate = D(2025, 3, 3);
         }},
        {"Diario", [](AppContext&, ReportParams& p) { p.entryId = fx_->entry2025Deposit; }},
        {"ASRESUMEN", [](AppContext&, ReportParams& p) { p.summaryMode = 2; }},
        {"Mayor", [](AppContext& c, ReportParams&) { c.settings.MTotMes = true; }},
        {"Mayor", [](AppContext& c, ReportParams& p) {
             c.reportRange.fromDate = D(2025, 1, 10);
             p.ledgerStart = D(2025, 1, 2);
         }},
        {"Mayor", [](AppContext& c, ReportParams&) {
             c.currentEj.id = 0; // the ticked years
             c.reportRange.fromDate = D(2024, 1, 1);
             c.settings.MTotMes = true;
         }},
        {"SumasySaldos", {}},
        {"Balance", {}},
        {"PlandeCuentas", {}},
        {"AnalisisDeCuenta", [](AppContext&, ReportParams& p) { p.analysisCode = "00010001"; }},
    };
    for (const Case& c : cases) {
        AppContext ctx = Context();
        ReportParams p;
        if (c.options) c.options(ctx, p);
        std::ostringstream all;
        WriteCsv(all, db::WithTransaction(fx_->path, [&](db::Transaction& tr) {
                     return GatherReport(tr, c.key, ctx, p);
                 }));
        ReportStream stream = OpenReportStream(fx_->path, c.key, ctx, p);
        EXPECT_EQ(Drain(stream), all.str()) << c.key;
    }
}

TEST_F(ReportStreams, JournalAndLedgerKeepPrintOrderWithinADay) {
    AppContext ctx = Context();
    ctx.reportRange.fromDate = ctx.reportRange.toDate = D(2025, 3, 3);
    ReportStream journal = OpenReportStream(fx_->path, "Diario", ctx, {});
    EXPECT_EQ(Drain(journal),
              "FECHA;FECHAV;NRO;DESCRIP;COD;COD2;CUENT;DETALLE;DEBE;HABER\n"
              "03/03/2025;;5;Del día 5;00010001;1.1;Caja;;10.00;0.00\n"
              "03/03/2025;;5;Del día 5;00030001;3.1;Ventas;;0.00;10.00\n"
              "03/03/2025;;6;Del día 6;00010001;1.1;Caja;;10.00;0.00\n"
              "03/03/2025;;6;Del día 6;00010002;1.2;Banco;;0.00;10.00\n");
    ctx.reportRange.fromCode = ctx.reportRange.toCode = "00010001";
    ctx.reportRange.fromDate = D(2025, 2, 1);
    ctx.reportRange.toDate = D(2025, 3, 31);
    ctx.settings.MTotMes = true;
    ReportStream ledger = OpenReportStream(fx_->path, "Mayor", ctx, {});
    // Caja has nothing in February: no total for it; March's two lines by entry number.
    EXPECT_EQ(Drain(ledger),
              "COD;COD2;CUENTA;FECH;FECHV;NRO;DESCRIPASI;DETALL;DEBE;HABER;SALDO;ACUDEBE;"
              "ACUHABER;ACUSALDO\n"
              "00010001;1.1;Caja;03/03/2025;;5;Del día 5;;10.00;0.00;210.00;700.00;500.00;200.00\n"
              "00010001;1.1;Caja;03/03/2025;;6;Del día 6;;10.00;0.00;220.00;700.00;500.00;200.00\n"
              "00010001;1.1;Caja;31/03/2025;;0;TOTALES 03/2025;;20.00;0.00;20.00;700.00;500.00;"
              "200.00\n");
}

TEST_F(ReportStreams, HoldTheirConnectionOnlyWhileRowsAreLeft) {
    AppContext ctx = Context();
    {
        ReportStream stream = OpenReportStream(fx_->path, "Diario", ctx, {});
        auto& rows = std::get<Rows<JournalRow>>(stream);
        ASSERT_TRUE(rows->has(0));
        EXPECT_EQ(rows->read(), 1u) << "only what was asked for is read";
        EXPECT_EQ(test::OtherAttachments(fx_->path), 1);
        // The company stays usable meanwhile: the stream only reads.
        db::WithTransaction(fx_->path, [](db::Transaction& tr) {
            tr.execute("update empresa set ciudad = 'Avellaneda'");
        });
    } // dropped half way (the preview closed)
    EXPECT_EQ(test::OtherAttachments(fx_->path), 0);

    ReportStream whole = OpenReportStream(fx_->path, "Mayor", ctx, {});
    Drain(whole);
    EXPECT_EQ(test::OtherAttachments(fx_->path), 0) << "read to the end: closed though still held";

    // stop() closes it as well, keeping what was read.
    ReportStream stopped = OpenReportStream(fx_->path, "Diario", ctx, {});
    auto& rows = std::get<Rows<JournalRow>>(stopped);
    ASSERT_TRUE(rows->has(1));
    rows->stop();
    EXPECT_EQ(test::OtherAttachments(fx_->path), 0);
    EXPECT_TRUE(rows->has(1));
    EXPECT_FALSE(rows->has(2));
}

TEST_F(ReportStreams, ALostConnectionHalfWayIsASpanishErrorEveryTime) {
    ReportStream stream = OpenReportStream(fx_->path, "Diario", Context(), {});
    auto& rows = std::get<Rows<JournalRow>>(stream);
    ASSERT_TRUE(rows->has(0));
    test::CutOtherConnections(fx_->path);
    const std::string expected =
        "No se pudo terminar de leer el informe: se perdió la conexión con la base de datos.";
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            rows->has(5);
            ADD_FAILURE() << "the read went on after the connection was cut";
        } catch (const ReadError& e) {
            EXPECT_EQ(std::string(e.what()), expected);
        }
    }
    EXPECT_EQ(rows->error(), expected);
    EXPECT_EQ(rows->read(), 1u);
    EXPECT_EQ((*rows)[0].descrip, "Asiento de Apertura") << "what was read stays";
    EXPECT_EQ(test::OtherAttachments(fx_->path), 0);
}

TEST(RowStream, KeepsEveryRowExactlyAcrossChunksAndForgetsOnlyWholeChunksBehind) {
    // More rows than a few chunks; texts repeated, empty, long and accented.
    std::vector<JournalRow> rows;
    for (int i = 0; i < 10000; ++i) {
        JournalRow r;
        r.fecha = Date::fromYmd(2025, 1 + i % 12, 1 + i % 28);
        r.nro = i / 4;
        r.descrip = "Asiento Nº " + std::to_string(i / 4) + std::string(i % 7 * 9, 'x');
        r.cod = "0001000" + std::to_string(i % 3);
        r.cod2 = "1.1." + std::to_string(i % 3);
        r.cuent = i % 3 ? "Caja" : "Bancos - Cuenta corriente en pesos y en dólares";
        r.detalle = i % 5 ? "" : "Fact. A 0003-" + std::to_string(i);
        (i % 2 ? r.haber : r.debe) = Amount::fromCents(int64_t(i) * 1234567 - 99);
        rows.push_back(r);
    }
    auto csv = [](const std::vector<JournalRow>& v) {
        std::ostringstream out;
        WriteCsv(out, v);
        return out.str();
    };
    // Read from a source one row at a time, as from a cursor.
    size_t next = 0;
    RowStream<JournalRow> stream([&](JournalRow& r) {
        if (next == rows.size()) return false;
        r = rows[next++];
        return true;
    });
    ASSERT_TRUE(stream.has(9000));
    EXPECT_EQ(next, 9001u) << "read only as far as asked";
    std::vector<JournalRow> back;
    for (size_t i = 0; stream.has(i); ++i) back.push_back(stream[i]);
    EXPECT_EQ(csv(back), csv(rows));
    EXPECT_TRUE(stream.ended());

    // A reference stays good while a layout looks at a row and its neighbour.
    const JournalRow& a = stream[4095];
    const JournalRow& b = stream[4096];
    EXPECT_EQ(a.descrip, rows[4095].descrip);
    EXPECT_EQ(b.descrip, rows[4096].descrip);

    // A single pass forgets the chunks behind it; what is ahead stays as it was.
    stream.dropBefore(9000);
    EXPECT_EQ(stream.read(), rows.size());
    for (size_t i = 9000; i < rows.size(); ++i) ASSERT_EQ(stream[i].descrip, rows[i].descrip);
    EXPECT_EQ(stream[9999].haber, rows[9999].haber);

    // Rows given at once come back the same.
    RowStream<JournalRow> all(rows);
    std::vector<JournalRow> same;
    for (size_t i = 0; all.has(i); ++i) same.push_back(all[i]);
    EXPECT_EQ(csv(same), csv(rows));
}
