#pragma once
// The rows of the accounting reports, gathered from their stored procedures. Layouts (in
// print/) and the spreadsheet and CSV writers only read these; every value a report prints
// that does not come from a band event is here, so it is tested without a display.

#include <array>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/amount.h"
#include "app/context.h"
#include "app/date.h"
#include "db/database.h"
#include "reports/rowstream.h"

namespace kesh::reports {

// ---- rows -----------------------------------------------------------------------------

struct JournalRow { // PDIARIO, PASIENTO, pAsResumen2, pAsResum2, pAsResum3
    Date fecha, fechav;
    int nro = 0;
    std::string descrip, cod, cod2, cuent, detalle;
    Amount debe, haber;
};

struct LedgerRow { // pMayorF
    std::string cod, cod2, cuenta;
    Date fech, fechv;
    int nro = 0;
    std::string descripasi, detall;
    Amount debe, haber, saldo, acudebe, acuhaber, acusaldo;
};

struct TrialRow { // pSumySal2
    std::string cod, cod2, cuen;
    int mes = 0, an = 0;
    Amount deb1, hab1, sal1, deb2, hab2, sal2;
};

struct AccountRow { // pbalance, pPlan
    std::string cod, cod2;
    int nro = 0;
    std::string cuenta, cuenta2;
    Amount debe, haber, saldo;
    int niv = 0;
    std::string abrev;
};

struct AnalysisRow { // pResCtaxMes, pResCtaxDia
    std::string idstr;
    Amount debe, haber, saldo;
    int pordebe = 0, porhaber = 0, porsaldo = 0;
};

// Every member of a row, in order: how a RowStream keeps rows packed.
template <class F>
void ForEachField(JournalRow& r, F&& f) {
    f(r.fecha), f(r.fechav), f(r.nro), f(r.descrip), f(r.cod), f(r.cod2), f(r.cuent);
    f(r.detalle), f(r.debe), f(r.haber);
}
template <class F>
void ForEachField(LedgerRow& r, F&& f) {
    f(r.cod), f(r.cod2), f(r.cuenta), f(r.fech), f(r.fechv), f(r.nro), f(r.descripasi);
    f(r.detall), f(r.debe), f(r.haber), f(r.saldo), f(r.acudebe), f(r.acuhaber), f(r.acusaldo);
}
template <class F>
void ForEachField(TrialRow& r, F&& f) {
    f(r.cod), f(r.cod2), f(r.cuen), f(r.mes), f(r.an), f(r.deb1), f(r.hab1), f(r.sal1);
    f(r.deb2), f(r.hab2), f(r.sal2);
}
template <class F>
void ForEachField(AccountRow& r, F&& f) {
    f(r.cod), f(r.cod2), f(r.nro), f(r.cuenta), f(r.cuenta2), f(r.debe), f(r.haber);
    f(r.saldo), f(r.niv), f(r.abrev);
}
template <class F>
void ForEachField(AnalysisRow& r, F&& f) {
    f(r.idstr), f(r.debe), f(r.haber), f(r.saldo), f(r.pordebe), f(r.porhaber), f(r.porsaldo);
}

// ---- options of each report (what its option dialog sets) ------------------------------

struct JournalOptions {
    int yearId = 0;
    Date from, to;
    bool apertura = true;
    int entryId = 0; // > 0: the one entry of the entries browser (period and options ignored)
};

// The summarized journal: mode 0 one entry for the period, 1 one per month, 2 per month
// with purchases and sales condensed and generic entries as they are.
struct SummaryOptions {
    int yearId = 0;
    Date from, to;
    int mode = 1;
    int firstNumber = 1;
    bool apertura = true, refun = true, cierre = true;
};

struct LedgerOptions {
    int yearId = 0; // year selector: id, 0 ticked years, -2 none
    std::string fromCode, toCode;
    Date start; // ledger start date; the zero date takes every earlier line of the years
    Date from, to;
    bool monthlyTotals = false;
};

struct TrialOptions {
    int yearId = 0;
    std::string fromCode, toCode;
    Date from, to;
    int fromLevel = 1, toLevel = 5;
};

struct BalanceOptions {
    int yearId = 0;
    bool onlyMoved = false;
    std::string fromCode, toCode;
    Date from, to;
    std::array<bool, 6> levels{false, true, true, true, true, true}; // [1..5]
};

struct PlanOptions {
    bool gen = true, prov = true, cli = true;
    std::string fromCode, toCode;
};

struct AnalysisOptions {
    std::string code;
    int yearId = 0;
    bool daily = false;
    Date month; // any date of the month of the daily report
};

// ---- gathering --------------------------------------------------------------------------

std::vector<JournalRow> FetchJournal(db::Transaction& tr, const JournalOptions& o);
std::vector<JournalRow> FetchSummary(db::Transaction& tr, const SummaryOptions& o);
std::vector<LedgerRow> FetchLedger(db::Transaction& tr, const LedgerOptions& o);
std::vector<TrialRow> FetchTrial(db::Transaction& tr, const TrialOptions& o);
std::vector<AccountRow> FetchBalance(db::Transaction& tr, const BalanceOptions& o);
std::vector<AccountRow> FetchPlan(db::Transaction& tr, const PlanOptions& o);
std::vector<AnalysisRow> FetchAnalysis(db::Transaction& tr, const AnalysisOptions& o);

// The same rows read as the report asks for them (see RowStream): the procedure runs on a
// connection and read-only transaction of their own, which stay open until the last row is
// read or the stream is released. Opening throws db::DbError; a read that fails later throws
// ReadError with a Spanish text.
template <class Row>
using Rows = std::shared_ptr<RowStream<Row>>;
Rows<JournalRow> StreamJournal(const std::string& dsn, const JournalOptions& o);
Rows<JournalRow> StreamSummary(const std::string& dsn, const SummaryOptions& o);
Rows<LedgerRow> StreamLedger(const std::string& dsn, const LedgerOptions& o);
Rows<TrialRow> StreamTrial(const std::string& dsn, const TrialOptions& o);
Rows<AccountRow> StreamBalance(const std::string& dsn, const BalanceOptions& o);
Rows<AccountRow> StreamPlan(const std::string& dsn, const PlanOptions& o);
Rows<AnalysisRow> StreamAnalysis(const std::string& dsn, const AnalysisOptions& o);

// "11111": the level mask passed to pbalance.
std::string LevelMask(const std::array<bool, 6>& levels);

// Folds the per-month deltas kept by the pases trigger (see pCompactSaldosMes), on its own
// snapshot transaction; another user folding at the same moment is not an error (nothing is
// lost either way). Returns the groups folded.
int CompactMonthlyBalances(const std::string& dsn);

// Differences between saldosmes and the lines themselves, per (year, account, month):
// empty when the per-month sums are exact.
struct BalanceDrift {
    int idej = 0;
    std::string cod;
    int mes = 0;
    Amount debeLineas, haberLineas, debeSaldos, haberSaldos;
};
std::vector<BalanceDrift> CheckMonthlyBalances(db::Transaction& tr);

// "Sin límite de fecha": earliest and latest line date of the current year, or of every
// ticked year when `tickedYears`; the year's own dates when there are no lines.
struct DateSpan {
    Date from, to;
};
DateSpan DataDateSpan(db::Transaction& tr, const FiscalYear& year, bool tickedYears);

// Lowest and highest code of the chart (the "Todas las cuentas" range).
std::pair<std::string, std::string> ChartCodeRange(db::Transaction& tr);
std::string AccountName(db::Transaction& tr, const std::string& code);
// First imputable account of the chart (the account analysis starts with it).
std::string FirstImputableAccount(db::Transaction& tr);

// ---- CSV ----------------------------------------------------------------------------------

// The rows as CSV with the procedure's column names as the first line: ";" separated,
// amounts with "." and two decimals, dates dd/mm/yyyy, texts quoted when they need it.
void WriteCsv(std::ostream& out, const std::vector<JournalRow>& rows);
void WriteCsv(std::ostream& out, const std::vector<LedgerRow>& rows);
void WriteCsv(std::ostream& out, const std::vector<TrialRow>& rows);
void WriteCsv(std::ostream& out, const std::vector<AccountRow>& rows);
void WriteCsv(std::ostream& out, const std::vector<AnalysisRow>& rows);

// ---- amount formats of the layouts ----------------------------------------------------------

// ",0.00" with "." thousands and "," decimals as printed in Argentina: 1.234,50
std::string FormatThousands(Amount a);
// ",0.00;(,0.00);  " : negatives in parentheses, zero as blanks
std::string FormatDebeHaber(Amount a);
// ",0.00 D;,0.00 C;<zero>": positive with " D", negative as absolute with " C" (or
// `credit`), zero as `zero`
std::string FormatSaldo(Amount a, const std::string& zero = "  ", char credit = 'C',
                        char debit = 'D');

} // namespace kesh::reports
