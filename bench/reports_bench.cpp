// reports_bench: times the accounting reports on a large company (made with
// `keshcli generate`): the trial balance rows (pSumySal2), and for the journal, the ledger of
// all accounts and the trial balance the rows, the first preview page and the whole PDF,
// with the peak memory after each step.
//
//   reports_bench <company> [--ejercicio id] [--salida folder]
#include <QGuiApplication>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "db/database.h"
#include "print/reportprint.h"
#include "reports/reportjob.h"
#include "reports/reportrows.h"

using namespace kesh;
using Timer = std::chrono::steady_clock;

namespace {

double Since(Timer::time_point t) {
    return std::chrono::duration<double>(Timer::now() - t).count();
}

long PeakMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

long CurrentMb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * 4096 / (1024 * 1024);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "uso: reports_bench <empresa> [--ejercicio id] [--salida carpeta]\n");
        return 2;
    }
    const std::string dsn = argv[1];
    int yearId = 0;
    std::string out = "/tmp";
    for (int i = 2; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--ejercicio")) yearId = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--salida")) out = argv[i + 1];
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    AppContext ctx;
    db::WithTransaction(dsn, [&](db::Transaction& tr) {
        if (yearId == 0) yearId = int(tr.queryInt("select max(id) from ejerc"));
        ctx.currentEj.id = yearId;
        ctx.currentEj.fech1 = tr.queryDate("select fech1 from ejerc where id = ?", {yearId});
        ctx.currentEj.fech2 = tr.queryDate("select fech2 from ejerc where id = ?", {yearId});
        ctx.reportRange.fromDate = ctx.currentEj.fech1;
        ctx.reportRange.toDate = ctx.currentEj.fech2;
        auto [lo, hi] = reports::ChartCodeRange(tr);
        ctx.reportRange.fromCode = lo;
        ctx.reportRange.toCode = hi;
        std::printf("empresa %s, ejercicio %d: %lld pases, %lld cuentas\n", dsn.c_str(), yearId,
                    (long long)tr.queryInt("select count(*) from pases where idej = ?", {yearId}),
                    (long long)tr.queryInt("select count(*) from cuentas"));
    });
    ctx.companyData.nombre = "Empresa de prueba";

    auto t = Timer::now();
    const int folded = reports::CompactMonthlyBalances(dsn);
    std::printf("pCompactSaldosMes: %d grupos en %.2f s\n", folded, Since(t));

    // The trial balance rows, all accounts and levels, the whole year: best of three.
    reports::ReportParams params;
    double best = 1e9;
    size_t rows = 0;
    for (int run = 0; run < 3; ++run) {
        t = Timer::now();
        db::WithTransaction(dsn, [&](db::Transaction& tr) {
            rows = reports::FetchTrial(tr, reports::TrialOptionsOf(ctx, params)).size();
        });
        best = std::min(best, Since(t));
    }
    std::printf("pSumySal2 (todas las cuentas, niveles 1-5, año completo): %zu filas en %.3f s\n",
                rows, best);

    for (const char* key : {"Diario", "Mayor", "SumasySaldos"}) {
        const long before = CurrentMb();
        t = Timer::now();
        reports::ReportRows data = db::WithTransaction(dsn, [&](db::Transaction& tr) {
            return reports::GatherReport(tr, key, ctx, params);
        });
        const double gather = Since(t);
        const size_t n = reports::RowCount(data);
        auto doc = print::MakeReportDocument(key, std::move(data), ctx, reports::ReportSettings{},
                                             {key, "", ""});
        doc->paginate(1);
        QImage first = doc->renderPage(0, 96);
        const double firstPage = Since(t);
        const long afterRows = CurrentMb();
        auto p = Timer::now();
        const std::string pdf = out + "/bench_" + key + ".pdf";
        doc->writePdf(QString::fromStdString(pdf));
        const double whole = Since(p);
        const long afterPdf = CurrentMb();
        p = Timer::now();
        doc->paginate();
        const double layout = Since(p);
        std::printf("%-13s %8zu filas: datos %.2f s, primera página %.2f s, PDF completo %.2f s "
                    "(%d páginas; paginado para la vista previa %.2f s); memoria: %ld MB antes, "
                    "%ld MB con las filas, %ld MB después del PDF, pico %ld MB\n",
                    key, n, gather, firstPage, whole, doc->pageCount(), layout, before, afterRows,
                    afterPdf, PeakMb());
    }
    return 0;
}
