// reports_bench: times the accounting reports on a large company (made with
// `keshcli generate`) the way the setup screen runs them, for the journal ("Sumas iguales"
// on), the ledger of all accounts ("Arrastrar Saldos" and "Totales mensuales" on) and the
// trial balance:
//
//   - first page: the report's cursor opened and page 1 laid out and rendered at 96 dpi,
//     reading only the rows page 1 needs (what the preview shows first);
//   - preview: every further page laid out as the preview does while the user looks, with
//     the rows kept (pages are painted again from them);
//   - whole PDF: a fresh cursor written to a PDF in one pass that forgets rows behind it (the
//     "PDF" button, the printer and keshcli);
//   - all rows: every row read before anything else (the CSV of keshcli);
//
// with the process's peak memory (VmHWM, reset before each step) and CPU time, plus the rows
// of the trial balance (pSumySal2, all accounts and levels, the whole year) alone, best of
// three.
//
//   reports_bench <company> [--ejercicio id] [--salida folder] [--informes Diario,Mayor,...]
#include <QGuiApplication>

#include <malloc.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
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

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// A field of /proc/self/status in MB ("VmHWM", "VmRSS").
long StatusMb(const char* field) {
    std::ifstream f("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(f, line))
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + key.size()) / 1024;
    return -1;
}

// Starts a new peak: memory freed by the step before goes back to the system, and VmHWM
// drops to the memory in use now.
void ResetPeak() {
    malloc_trim(0);
    std::ofstream f("/proc/self/clear_refs");
    f << "5";
}

std::string LoadAverage() {
    std::ifstream f("/proc/loadavg");
    std::string a, b, c;
    f >> a >> b >> c;
    return a + " " + b + " " + c;
}

struct Step {
    double wall = 0, cpu = 0;
    long peakMb = 0;
    Timer::time_point t0;
    double c0 = 0;
    void start() {
        ResetPeak();
        t0 = Timer::now();
        c0 = CpuSeconds();
    }
    void stop() {
        wall = Since(t0);
        cpu = CpuSeconds() - c0;
        peakMb = StatusMb("VmHWM");
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "uso: reports_bench <empresa> [--ejercicio id] [--salida carpeta] "
                             "[--informes Diario,Mayor,SumasySaldos]\n");
        return 2;
    }
    const std::string dsn = argv[1];
    int yearId = 0;
    std::string out = "/tmp";
    std::string keys = "Diario,Mayor,SumasySaldos";
    for (int i = 2; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--ejercicio")) yearId = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--salida")) out = argv[i + 1];
        if (!std::strcmp(argv[i], "--informes")) keys = argv[i + 1];
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
    ctx.settings.DSumasIguales = true;
    ctx.settings.Marrastrasaldos = true;
    ctx.settings.MTotMes = true;
    std::printf("carga del equipo al empezar: %s\n", LoadAverage().c_str());

    auto t = Timer::now();
    const int folded = reports::CompactMonthlyBalances(dsn);
    std::printf("pCompactSaldosMes: %d grupos en %.2f s\n", folded, Since(t));

    // The trial balance rows, all accounts and levels, the whole year: best of three.
    reports::ReportParams params;
    double best = 1e9;
    size_t trialRows = 0;
    for (int run = 0; run < 3; ++run) {
        t = Timer::now();
        db::WithTransaction(dsn, [&](db::Transaction& tr) {
            trialRows = reports::FetchTrial(tr, reports::TrialOptionsOf(ctx, params)).size();
        });
        best = std::min(best, Since(t));
    }
    std::printf("pSumySal2 (todas las cuentas, niveles 1-5, año completo): %zu filas en %.3f s\n",
                trialRows, best);

    std::stringstream list(keys);
    std::string key;
    while (std::getline(list, key, ',')) {
        const print::ReportTexts texts{key, "", ""};
        ResetPeak();
        std::printf("%s (memoria al empezar %ld MB)\n", key.c_str(), StatusMb("VmRSS"));

        // First page, then the rest as the preview lays it out, rows kept.
        Step first, preview;
        first.start();
        auto doc = print::MakeReportDocument(
            key, reports::OpenReportStream(dsn, key, ctx, params), ctx, reports::ReportSettings{},
            texts);
        doc->paginate(1);
        const QImage page1 = doc->renderPage(0, 96);
        first.stop();
        const size_t rowsFirst = doc->rowsRead();
        preview.start();
        doc->paginate();
        preview.stop();
        const int pages = doc->pageCount();
        const size_t rows = doc->rowsRead();
        const std::string error = doc->error();
        doc.reset();

        // The whole PDF in one pass that forgets the rows behind it.
        Step pdf;
        const std::string path = out + "/bench_" + key + ".pdf";
        pdf.start();
        auto once = print::MakeReportDocument(
            key, reports::OpenReportStream(dsn, key, ctx, params), ctx, reports::ReportSettings{},
            texts);
        int pdfPages = 0;
        once->writePdf(QString::fromStdString(path), print::ReportDocument::Rows::Forget,
                       [&](int n) { pdfPages = n; return true; });
        pdf.stop();
        once.reset();

        // Every row read first (the CSV, and every report before the rows were streamed).
        Step all;
        all.start();
        const size_t n = reports::RowCount(db::WithTransaction(dsn, [&](db::Transaction& tr) {
            return reports::GatherReport(tr, key, ctx, params);
        }));
        all.stop();

        std::printf("  primera página: %.3f s (cpu %.3f s), %zu filas leídas, pico %ld MB\n",
                    first.wall, first.cpu, rowsFirst, first.peakMb);
        std::printf("  vista previa completa: +%.2f s (cpu %.2f s), %d páginas, %zu filas, "
                    "pico %ld MB%s%s\n",
                    preview.wall, preview.cpu, pages, rows, preview.peakMb,
                    error.empty() ? "" : ", ERROR: ", error.c_str());
        std::printf("  PDF completo: %.2f s (cpu %.2f s), %d páginas, pico %ld MB\n", pdf.wall,
                    pdf.cpu, pdfPages, pdf.peakMb);
        std::printf("  todas las filas antes de la primera página: %.2f s (cpu %.2f s), %zu "
                    "filas, pico %ld MB\n",
                    all.wall, all.cpu, n, all.peakMb);
    }
    std::printf("carga del equipo al terminar: %s\n", LoadAverage().c_str());
    return 0;
}
