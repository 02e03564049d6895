#include "reports/reportjob.h"

#include <cstdio>
#include <stdexcept>

#include "accounts/codes.h"

namespace kesh::reports {

bool IsAccountingReportKey(const std::string& key) {
    for (const char* k : kReportKeys)
        if (key == k) return true;
    return false;
}

namespace {
struct KeyText {
    const char* key;
    const char* caption;
    const char* title;
};
constexpr KeyText kTexts[] = {
    {"PlandeCuentas", "Informe: PLAN DE CUENTAS", "PLAN DE CUENTAS"},
    {"Balance", "Informe: BALANCE", "BALANCE"},
    {"Diario", "Informe: LIBRO DIARIO", "LIBRO DIARIO"},
    {"ASRESUMEN", "Informe: DIARIO RESUMIDO", "DIARIO RESUMIDO"},
    {"Mayor", "Informe: LIBRO MAYOR", "LIBRO MAYOR"},
    {"SumasySaldos", "Informe: SUMAS Y SALDOS", "SUMAS Y SALDOS"},
    {"AnalisisDeCuenta", "Informe: ANALISIS DE CUENTA", "ANALISIS DE CUENTA - INFORME MENSUAL"},
};
const KeyText* Find(const std::string& key) {
    for (const KeyText& t : kTexts)
        if (key == t.key) return &t;
    return nullptr;
}
} // namespace

std::string ReportCaption(const std::string& key) {
    const KeyText* t = Find(key);
    return t ? t->caption : "Informe: " + key;
}

std::string ReportTitle(const std::string& key) {
    const KeyText* t = Find(key);
    return t ? t->title : key;
}

JournalOptions JournalOptionsOf(const AppContext& c, const ReportParams& p) {
    return {c.currentEj.id, c.reportRange.fromDate, c.reportRange.toDate, c.settings.DApertura,
            p.entryId};
}

SummaryOptions SummaryOptionsOf(const AppContext& c, const ReportParams& p) {
    SummaryOptions o;
    o.yearId = c.currentEj.id;
    o.from = c.reportRange.fromDate;
    o.to = c.reportRange.toDate;
    o.mode = p.summaryMode < 0 ? 0 : p.summaryMode;
    o.firstNumber = p.summaryFirst;
    o.apertura = c.settings.DApertura;
    o.refun = c.settings.DRefun;
    o.cierre = c.settings.DCierre;
    return o;
}

LedgerOptions LedgerOptionsOf(const AppContext& c, const ReportParams& p) {
    return {c.currentEj.id, c.reportRange.fromCode, c.reportRange.toCode, p.ledgerStart,
            c.reportRange.fromDate, c.reportRange.toDate, c.settings.MTotMes};
}

TrialOptions TrialOptionsOf(const AppContext& c, const ReportParams& p) {
    return {c.currentEj.id, c.reportRange.fromCode, c.reportRange.toCode, c.reportRange.fromDate,
            c.reportRange.toDate, p.trialFromLevel, p.trialToLevel};
}

BalanceOptions BalanceOptionsOf(const AppContext& c) {
    BalanceOptions o;
    o.yearId = c.currentEj.id;
    o.onlyMoved = c.settings.BModo == 1;
    o.fromCode = c.reportRange.fromCode;
    o.toCode = c.reportRange.toCode;
    o.from = c.reportRange.fromDate;
    o.to = c.reportRange.toDate;
    o.levels = c.settings.Bnivel;
    return o;
}

PlanOptions PlanOptionsOf(const AppContext& c) {
    return {c.settings.BGen, c.settings.BProv, c.settings.BCli, c.reportRange.fromCode,
            c.reportRange.toCode};
}

AnalysisOptions AnalysisOptionsOf(const AppContext& c, const ReportParams& p) {
    return {p.analysisCode, c.currentEj.id, p.analysisDaily, p.analysisMonth};
}

void PrepareReportData(const std::string& dsn, const std::string& key) {
    if (key == "SumasySaldos" || key == "Balance" || key == "Mayor") CompactMonthlyBalances(dsn);
}

ReportRows GatherReport(db::Transaction& tr, const std::string& key, const AppContext& c,
                        const ReportParams& p) {
    if (key == "Diario") return FetchJournal(tr, JournalOptionsOf(c, p));
    if (key == "ASRESUMEN") return FetchSummary(tr, SummaryOptionsOf(c, p));
    if (key == "Mayor") return FetchLedger(tr, LedgerOptionsOf(c, p));
    if (key == "SumasySaldos") return FetchTrial(tr, TrialOptionsOf(c, p));
    if (key == "Balance") return FetchBalance(tr, BalanceOptionsOf(c));
    if (key == "PlandeCuentas") return FetchPlan(tr, PlanOptionsOf(c));
    if (key == "AnalisisDeCuenta") return FetchAnalysis(tr, AnalysisOptionsOf(c, p));
    throw std::invalid_argument("Informe desconocido: " + key);
}

ReportStream OpenReportStream(const std::string& dsn, const std::string& key,
                              const AppContext& c, const ReportParams& p) {
    if (key == "Diario") return StreamJournal(dsn, JournalOptionsOf(c, p));
    if (key == "ASRESUMEN") return StreamSummary(dsn, SummaryOptionsOf(c, p));
    if (key == "Mayor") return StreamLedger(dsn, LedgerOptionsOf(c, p));
    if (key == "SumasySaldos") return StreamTrial(dsn, TrialOptionsOf(c, p));
    if (key == "Balance") return StreamBalance(dsn, BalanceOptionsOf(c));
    if (key == "PlandeCuentas") return StreamPlan(dsn, PlanOptionsOf(c));
    if (key == "AnalisisDeCuenta") return StreamAnalysis(dsn, AnalysisOptionsOf(c, p));
    throw std::invalid_argument("Informe desconocido: " + key);
}

ReportStream StreamOf(ReportRows rows) {
    return std::visit(
        [](auto& v) -> ReportStream {
            using Row = typename std::decay_t<decltype(v)>::value_type;
            return std::make_shared<RowStream<Row>>(std::move(v));
        },
        rows);
}

size_t RowCount(const ReportRows& rows) {
    return std::visit([](const auto& v) { return v.size(); }, rows);
}

void WriteCsv(std::ostream& out, const ReportRows& rows) {
    std::visit([&](const auto& v) { WriteCsv(out, v); }, rows);
}

std::string AnalysisSubtitle(const std::string& code, const std::string& name,
                             const std::string& yearText) {
    std::string shown = ToDisplayCode(code);
    if (shown.size() < 10) shown.resize(10, ' ');
    return "Cuenta: " + shown + " " + name + "   |   Ejercicio: " + yearText;
}

std::string AnalysisTitle(bool daily, Date month) {
    if (!daily) return "ANALISIS DE CUENTA - INFORME MENSUAL";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d/%04d", month.month(), month.year());
    return std::string("ANALISIS DE CUENTA - OPERACIONES DIARIAS DEL MES: ") + buf;
}

} // namespace kesh::reports
