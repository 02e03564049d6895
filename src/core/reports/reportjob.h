#pragma once
// One report run: which rows a report key gathers with the options of the running program
// (report period and account range, kesh.ini options, and the options held only while the
// program runs), and the texts the setup screen starts with.

#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "app/context.h"
#include "reports/reportrows.h"

namespace kesh::reports {

// Report options held by the main window while the program runs (not stored).
struct ReportParams {
    int summaryMode = 1;     // "Asientos a generar"
    int summaryFirst = 1;    // "Número del primer asiento"
    int trialFromLevel = 1;  // reset to 1..5 whenever the setup screen opens
    int trialToLevel = 5;
    Date ledgerStart;        // zero date until the accounts browser's ledger command
    int entryId = 0;         // one-entry journal from the entries browser
    std::string analysisCode;
    bool analysisDaily = false;
    Date analysisMonth;
};

// The keys this module gathers.
inline constexpr const char* kReportKeys[] = {"Diario",  "ASRESUMEN", "Mayor",
                                              "SumasySaldos", "Balance", "PlandeCuentas",
                                              "AnalisisDeCuenta"};
bool IsAccountingReportKey(const std::string& key);
// Screen caption and initial title of a key ("Informe: LIBRO DIARIO", "LIBRO DIARIO").
std::string ReportCaption(const std::string& key);
std::string ReportTitle(const std::string& key);

using ReportRows = std::variant<std::vector<JournalRow>, std::vector<LedgerRow>,
                                std::vector<TrialRow>, std::vector<AccountRow>,
                                std::vector<AnalysisRow>>;

JournalOptions JournalOptionsOf(const AppContext& ctx, const ReportParams& p);
SummaryOptions SummaryOptionsOf(const AppContext& ctx, const ReportParams& p);
LedgerOptions LedgerOptionsOf(const AppContext& ctx, const ReportParams& p);
TrialOptions TrialOptionsOf(const AppContext& ctx, const ReportParams& p);
BalanceOptions BalanceOptionsOf(const AppContext& ctx);
PlanOptions PlanOptionsOf(const AppContext& ctx);
AnalysisOptions AnalysisOptionsOf(const AppContext& ctx, const ReportParams& p);

// Before the gathering, on its own transaction: the reports that read the per-month sums
// fold their deltas first (see CompactMonthlyBalances), which keeps them fast.
void PrepareReportData(const std::string& dsn, const std::string& key);

// Runs the data gathering of the key. Throws std::invalid_argument for an unknown key and
// db::DbError when a procedure fails.
ReportRows GatherReport(db::Transaction& tr, const std::string& key, const AppContext& ctx,
                        const ReportParams& p);
size_t RowCount(const ReportRows& rows);

// The rows of a report as its layout asks for them (see RowStream).
using ReportStream = std::variant<Rows<JournalRow>, Rows<LedgerRow>, Rows<TrialRow>,
                                  Rows<AccountRow>, Rows<AnalysisRow>>;
// Opens the data gathering of the key on a connection of its own and reads nothing yet but
// what the procedure needs for its first row. Throws as GatherReport does.
ReportStream OpenReportStream(const std::string& dsn, const std::string& key,
                              const AppContext& ctx, const ReportParams& p);
// Rows already read, as a stream.
ReportStream StreamOf(ReportRows rows);
void WriteCsv(std::ostream& out, const ReportRows& rows);

// Subtitle of the account analysis: "Cuenta: " + display code padded to 10 + " " + name +
// "   |   Ejercicio: " + year text.
std::string AnalysisSubtitle(const std::string& code, const std::string& name,
                             const std::string& yearText);
std::string AnalysisTitle(bool daily, Date month);

} // namespace kesh::reports
