// keshcli report: any accounting report of a company to PDF (same layout as the screen) or
// to CSV (the report's rows), without a display.
#include <fstream>
#include <iostream>
#include <optional>

#include "accounts/codes.h"
#include "app/context.h"
#include "app/settings.h"
#include "command.h"
#include "db/database.h"
#include "reports/reportjob.h"
#include "reports/reportsettings.h"

#ifdef KESH_HAVE_PRINT
#include <QGuiApplication>

#include "print/reportprint.h"
#endif

namespace kesh::cli {
namespace {

Date ParseDate(const std::string& text, const char* option) {
    auto d = Date::parseDisplay(text);
    if (!d) throw UsageError(std::string("fecha inválida en --") + option + ": " + text);
    return *d;
}

int ParseInt(const std::string& text, const char* option) {
    try {
        size_t used = 0;
        int v = std::stoi(text, &used);
        if (used == text.size()) return v;
    } catch (const std::exception&) {
    }
    throw UsageError(std::string("número inválido en --") + option + ": " + text);
}

std::string Code(const std::string& text) { return ToInternalCode(text); }

// The company record and fiscal year as the main window would hold them.
void LoadCompany(db::Transaction& tr, AppContext& ctx, const std::string& yearArg) {
    db::Statement s = tr.prepare(
        "select nombre, domicilio, ciudad, codpostal, cuit, ingbrut, logo from empresa");
    s.open();
    if (s.next()) {
        ctx.companyData.nombre = s.getText("NOMBRE");
        ctx.companyData.domicilio = s.getText("DOMICILIO");
        ctx.companyData.ciudad = s.getText("CIUDAD");
        ctx.companyData.codpostal = s.getText("CODPOSTAL");
        ctx.companyData.cuit = s.getText("CUIT");
        ctx.companyData.ingbrut = s.getText("INGBRUT");
        ctx.companyData.logo = s.getText("LOGO");
    }
    // The year given by id or description, else the latest one.
    db::Statement y = tr.prepare(
        "select id, descrip, fech1, fech2, activ, idrefun, idcierre from ejerc "
        "order by fech1 desc, id desc");
    y.open();
    bool found = false;
    while (y.next()) {
        const std::string id = std::to_string(y.getInt("ID"));
        const std::string descrip = y.getText("DESCRIP");
        if (!yearArg.empty() && yearArg != id && yearArg != descrip) continue;
        ctx.currentEj.id = static_cast<int>(y.getInt("ID"));
        ctx.currentEj.descrip = descrip;
        ctx.currentEj.fech1 = y.getDate("FECH1");
        ctx.currentEj.fech2 = y.getDate("FECH2");
        const std::string activ = y.getText("ACTIV");
        ctx.currentEj.activ = activ.empty() ? '-' : activ[0];
        ctx.currentEj.idrefun = static_cast<int>(y.getInt("IDREFUN"));
        ctx.currentEj.idcierre = static_cast<int>(y.getInt("IDCIERRE"));
        found = true;
        break;
    }
    if (!found)
        throw std::runtime_error(yearArg.empty() ? "La empresa no tiene ejercicios."
                                                 : "No existe el ejercicio " + yearArg + ".");
}

int RunReport(const std::vector<std::string>& argv) {
    const Args a = ParseArgs(argv, {"sumas-iguales", "sin-apertura", "sin-refundicion",
                                    "sin-cierre", "arrastrar", "hojas-separadas", "totales-mes",
                                    "solo-movimientos", "diario"});
    if (a.positional.size() != 2) throw UsageError("faltan la empresa y el informe");
    const std::string dsn = a.positional[0];
    const std::string key = a.positional[1];
    if (!reports::IsAccountingReportKey(key)) {
        std::string keys;
        for (const char* k : reports::kReportKeys) keys += std::string(" ") + k;
        throw UsageError("informe desconocido: " + key + " (informes:" + keys + ")");
    }
    if (!a.has("pdf") && !a.has("csv")) throw UsageError("indique --pdf y/o --csv");
#ifndef KESH_HAVE_PRINT
    if (a.has("pdf")) throw UsageError("esta compilación no incluye la salida PDF (sin Qt)");
#endif

    AppContext ctx;
    ctx.settings = a.has("kesh-ini") ? LoadSettings(a.get("kesh-ini")) : Settings{};
    Settings& s = ctx.settings;
    if (a.has("sumas-iguales")) s.DSumasIguales = true;
    if (a.has("sin-apertura")) s.DApertura = false;
    if (a.has("sin-refundicion")) s.DRefun = false;
    if (a.has("sin-cierre")) s.DCierre = false;
    if (a.has("arrastrar")) s.Marrastrasaldos = true;
    if (a.has("hojas-separadas")) s.Mhojasseparadas = true;
    if (a.has("totales-mes")) s.MTotMes = true;
    if (a.has("solo-movimientos")) s.BModo = 1;
    if (a.has("niveles")) {
        const std::string n = a.get("niveles");
        for (int i = 1; i <= 5; ++i) s.Bnivel[i] = i <= int(n.size()) && n[i - 1] == '1';
    }
    if (a.has("clases")) { // "GPC": general, provider, customer
        const std::string c = a.get("clases");
        s.BGen = c.find('G') != std::string::npos;
        s.BProv = c.find('P') != std::string::npos;
        s.BCli = c.find('C') != std::string::npos;
    }

    reports::ReportParams p;
    if (a.has("modo")) p.summaryMode = ParseInt(a.get("modo"), "modo");
    if (a.has("primero")) p.summaryFirst = ParseInt(a.get("primero"), "primero");
    if (a.has("desde-nivel")) p.trialFromLevel = ParseInt(a.get("desde-nivel"), "desde-nivel");
    if (a.has("hasta-nivel")) p.trialToLevel = ParseInt(a.get("hasta-nivel"), "hasta-nivel");
    if (a.has("asiento")) p.entryId = ParseInt(a.get("asiento"), "asiento");
    if (a.has("inicio")) p.ledgerStart = ParseDate(a.get("inicio"), "inicio");
    p.analysisDaily = a.has("diario");
    if (a.has("mes")) p.analysisMonth = ParseDate(a.get("mes"), "mes");
    if (p.analysisDaily && p.analysisMonth.isZero())
        throw UsageError("Debe introducir el mes a informar.");

    std::string subtitle = a.get("subtitulo");
    std::string title = a.get("titulo", reports::ReportTitle(key));
    reports::PrepareReportData(dsn, key);
    // CSV reads every row; a PDF alone reads them while its pages are written.
    std::optional<reports::ReportRows> rows;
    db::WithTransaction(dsn, [&](db::Transaction& tr) {
        LoadCompany(tr, ctx, a.get("ejercicio"));
        ReportRange& r = ctx.reportRange;
        const reports::DateSpan span = reports::DataDateSpan(tr, ctx.currentEj, false);
        r.fromDate = a.has("desde") ? ParseDate(a.get("desde"), "desde") : span.from;
        r.toDate = a.has("hasta") ? ParseDate(a.get("hasta"), "hasta") : span.to;
        const auto [lo, hi] = reports::ChartCodeRange(tr);
        r.fromCode = a.has("cuenta-desde") ? Code(a.get("cuenta-desde")) : lo;
        r.toCode = a.has("cuenta-hasta") ? Code(a.get("cuenta-hasta")) : hi;
        p.analysisCode = a.has("cuenta") ? Code(a.get("cuenta")) : reports::FirstImputableAccount(tr);
        if (key == "AnalisisDeCuenta") {
            if (!a.has("titulo")) title = reports::AnalysisTitle(p.analysisDaily, p.analysisMonth);
            if (!a.has("subtitulo"))
                subtitle = reports::AnalysisSubtitle(p.analysisCode,
                                                     reports::AccountName(tr, p.analysisCode),
                                                     ctx.currentEj.descrip);
        }
        if (a.has("csv")) rows = reports::GatherReport(tr, key, ctx, p);
    });

    if (a.has("csv")) {
        std::ofstream out(a.get("csv"), std::ios::binary);
        reports::WriteCsv(out, *rows);
        out.close();
        if (!out) throw std::runtime_error("No se pudo escribir " + a.get("csv"));
    }
#ifdef KESH_HAVE_PRINT
    if (a.has("pdf")) {
        reports::ReportSettings rs =
            a.has("report-ini") ? reports::LoadReportSettingsFile(a.get("report-ini"), key)
                                : reports::ReportSettings{};
        if (a.has("pagina")) rs.pagina = ParseInt(a.get("pagina"), "pagina");
        if (subtitle.empty()) subtitle = rs.subtitulo;
        // Fonts and the PDF writer need a GUI application; offscreen needs no display.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        int qargc = 1;
        char name[] = "keshcli";
        char* qargv[] = {name, nullptr};
        QGuiApplication app(qargc, qargv);
        reports::ReportStream stream = rows ? reports::StreamOf(std::move(*rows))
                                            : reports::OpenReportStream(dsn, key, ctx, p);
        auto doc = print::MakeReportDocument(key, std::move(stream), ctx, rs,
                                             {title, subtitle, print::PrintedAtNow()});
        doc->writePdf(QString::fromStdString(a.get("pdf")), print::ReportDocument::Rows::Forget);
    }
#endif
    return 0;
}

const bool registered = RegisterCommand(
    {"report",
     "<empresa> <informe> [--ejercicio id|descripción] [--desde dd/mm/aaaa] [--hasta dd/mm/aaaa] "
     "[--cuenta-desde cód] [--cuenta-hasta cód] [--kesh-ini archivo] [--report-ini archivo] "
     "[--titulo t] [--subtitulo s] [--pagina n] [--sumas-iguales] [--sin-apertura] "
     "[--sin-refundicion] [--sin-cierre] [--modo 0|1|2] [--primero n] [--arrastrar] "
     "[--hojas-separadas] [--totales-mes] [--inicio dd/mm/aaaa] [--desde-nivel n] "
     "[--hasta-nivel n] [--niveles 11111] [--solo-movimientos] [--clases GPC] [--cuenta cód] "
     "[--diario --mes dd/mm/aaaa] [--asiento id] [--pdf salida.pdf] [--csv salida.csv]",
     "Informe contable (Diario, ASRESUMEN, Mayor, SumasySaldos, Balance, PlandeCuentas, "
     "AnalisisDeCuenta) a PDF o CSV",
     RunReport});

} // namespace
} // namespace kesh::cli
