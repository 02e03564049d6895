#pragma once
// Journal entries: the saving rules every editor obeys, deletion, marks, numbering,
// renumbering and bulk deletion.
//
// An entry is one `asientos` row and its `pases` lines, all in one fiscal year, plus the
// fingerprint stored on the header (npas = line count, checksum = sum of the line keys,
// importe = sum of the debit amounts) that lets the database spot entries whose lines were
// changed by other means.
//
// Every save runs in one transaction on its own connection: the whole entry with its
// fingerprint, or nothing. New entries take their number while holding the fiscal year's row
// locked, so two operators saving into one year at the same moment get distinct numbers; a
// save that loses that race retries on a fresh snapshot instead of failing.
//
// Refusals come back as the Spanish texts the screens show; database errors propagate as
// db::DbError.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/amount.h"
#include "app/context.h"
#include "app/date.h"

namespace kesh::db {
class Transaction;
}

namespace kesh::entries {

// ---- texts the screens show -------------------------------------------------------------

inline constexpr const char* kMsgClosedYear =
    "Ejercicio cerrado. No se pueden agregar ni modificar asientos.";
inline constexpr const char* kMsgClosedYearAdd =
    "Ejercicio cerrado, no se pueden agregar ni modificar asientos.";
inline constexpr const char* kMsgClosedYearDelete = "Ejercicio cerrado. No se pueden borrar asientos.";
inline constexpr const char* kMsgLedgerClosed = "No se puede borrar. Contabilidad cerrada.";
inline constexpr const char* kMsgGridUnbalanced = "Los importes no cierran, el asiento no se guardará.";
inline constexpr const char* kMsgLedgerUnbalanced = "los importes no cierran, el asiento no se guardará.";
inline constexpr const char* kMsgNoAmounts = "Imposible generar asiento. No se han ingresado importes";
inline constexpr const char* kMsgTemplateUnbalanced =
    "Imposible generar asiento. La imputación contable no cierra";
inline constexpr const char* kMsgOpeningExists =
    "El asiento no se guardará como de Apertura dado que este ya existe.";
inline constexpr const char* kMsgClosingEntries =
    "Los asientos de refundición y de cierre no se pueden modificar";
inline constexpr const char* kMsgOnlyGeneric = "Desde aquí solo es posible modificar asientos genéricos.";
inline constexpr const char* kMsgNotAuthorized = "Usuario no autorizado para esta operación.";
inline constexpr const char* kMsgNoLines = "El asiento no tiene pases, no se guardará.";
inline constexpr const char* kMsgEntryGone = "El asiento ya no existe, otro usuario lo borró.";

// "La fecha del asiento debe corresponder al ejercicio (01/01/2026 - 31/12/2026)"
std::string DateOutsideYearMessage(const FiscalYear& ej);

// ---- operator levels (smaller is stronger) ---------------------------------------------

inline bool MayAdd(int userLevel) { return userLevel < 4; }
inline bool MayChange(int userLevel) { return userLevel < 3; }
inline bool MayDelete(int userLevel) { return userLevel < 2; }

// ---- lines ------------------------------------------------------------------------------

// A line as the editors hold it: one debit and one credit cell.
struct GridLine {
    std::string code;  // internal account code; empty: the row names no account (not saved)
    std::string detalle;
    Amount debit;
    Amount credit;
};

// The side and amount a line is stored with: D with the debit when the debit is greater,
// otherwise C with the credit (so an empty line is C 0).
struct StoredSide {
    char dh;
    Amount importe;
};
StoredSide SideOf(Amount debit, Amount credit);

// The grid editor's reading of a typed amount: the trailing run of digits is the decimal
// part (at most two digits kept, a single digit is tens of cents), every other digit before
// the last non-digit is the integer part, so any non-digit is the decimal separator and
// thousands separators drop out: "1.234,5" 1234.50, "1234" 1234, "12.345" 12.34. No digits
// read as 0. Never negative.
Amount ReadGridAmount(std::string_view text);

// Debits and credits balance when they differ by less than half a centavo, i.e. are equal.
inline bool Balanced(Amount debits, Amount credits) { return debits == credits; }

// ---- checks made before any save ---------------------------------------------------------

// The date lies in the year and the year is open; "" when both hold, else the message.
std::string CheckDateAndYear(const FiscalYear& ej, Date fecha);

// ---- saving ------------------------------------------------------------------------------

struct SaveResult {
    bool ok = false;
    std::string message;  // why it was not saved, as shown to the user
    std::string notice;   // shown before the save went on (opening entry already present)
    bool attempted = false;  // the checks passed and the transaction ran (it may still fail)
    int64_t id = 0;
    int num = 0;
};

// The grid editor's entry (path A). id 0 adds a new entry.
struct GridEntry {
    int64_t id = 0;
    Date fecha;
    std::string descrip;
    bool opening = false;  // "Guardar como Asiento de Apertura"
    std::vector<GridLine> lines;  // in row order; rows without an account still count for nro
};

// Path A: checks (date, closed year, balance) then header, lines and fingerprint in one
// transaction. A refused or failed save leaves the database as it was.
SaveResult SaveGridEntry(const std::string& dsn, const FiscalYear& ej, const GridEntry& e);
// The same statements inside the caller's transaction (batch loaders that commit every few
// thousand entries). On a refusal the transaction holds partial work: roll it back.
SaveResult SaveGridEntry(db::Transaction& tr, const FiscalYear& ej, const GridEntry& e);

// Path C (ledger view): changes entry `e.id` (which must exist), keeps its idaux and opening
// state. Checks the year and the balance.
SaveResult SaveLedgerEntry(const std::string& dsn, const FiscalYear& ej, const GridEntry& e);

// One line slot of the template editor.
struct TemplateSlot {
    bool ticked = false;
    char dh = 'D';
    std::string code;  // internal code
    Amount importe;
    std::string detalle;
    std::string concepto;  // label from the standard entry
    int64_t lineId = 0;    // change mode: the line loaded into the slot
};
inline constexpr int kTemplateSlots = 15;

struct TemplateEntry {
    int64_t id = 0;  // 0: new entry
    int num = 0;
    Date fecha;
    std::string descrip;
    int64_t idtip = 0;
    std::vector<TemplateSlot> lineSlots;  // at most kTemplateSlots used
};

struct TemplateTotals {
    Amount debits;
    Amount credits;
};
TemplateTotals TotalsOf(const std::vector<TemplateSlot>& lineSlots);
// "Saldo Deudor: 10.00", "Saldo Acreedor: 10.00" or "" when the totals are equal.
std::string BalanceText(const TemplateTotals& t);

// The template editor's own checks, in its order; "" when the entry may go to path B.
std::string CheckTemplateEntry(const FiscalYear& ej, const TemplateEntry& e);

// Path B. A failure inside the transaction gives "Asiento erroneo, ..." and nothing saved.
SaveResult SaveTemplateEntry(const std::string& dsn, const FiscalYear& ej, const TemplateEntry& e);

// ---- reading -----------------------------------------------------------------------------

struct EntryHeader {
    int64_t id = 0;
    int idej = 0;
    int num = 0;
    Date fecha;
    std::string descrip;
    int clase = 0;
    int64_t idaux = 0;
    int64_t idtip = 0;
    int marca = 0;
    int colegio = 0;
    int npas = 0;
    int64_t checksum = 0;
    Amount importe;
    bool opening() const { return idaux < 0; }
};

struct LineRow {  // a row of pselpases
    int64_t id = 0;
    std::string cod;   // internal
    std::string cod2;  // display
    std::string cuent;
    std::string detalle;
    Amount debe;
    Amount haber;
};

std::optional<EntryHeader> LoadHeader(const std::string& dsn, int64_t id);
std::vector<LineRow> LoadLines(db::Transaction& tr, int64_t id);
std::vector<LineRow> LoadLines(const std::string& dsn, int64_t id);
// The editors' rows for an entry: debit when DEBE > HABER, else credit.
std::vector<GridLine> ToGridLines(const std::vector<LineRow>& rows);

bool HasOpeningEntry(db::Transaction& tr, int year);
bool HasOpeningEntry(const std::string& dsn, int year);
int LineCount(const std::string& dsn, int64_t id);

// PSIGUIENTEASIENTO: the number the next entry of the year gets. Hold the year locked
// (LockYear) in the same transaction before inserting with it.
int NextEntryNumber(db::Transaction& tr, int year);

// Locks the year's row for the rest of the transaction and re-reads whether it is closed
// (another operator may have closed it since the screen read it). Returns false when closed.
bool LockYear(db::Transaction& tr, int year);

// The refusal for opening an entry for change, "" when it may be changed: the year's
// result-closing and closing entries never change.
std::string CheckChangeable(const FiscalYear& ej, int64_t id);

// ---- deleting and marking ----------------------------------------------------------------

enum class DeleteFrom { Browser, Ledger };

// The refusal before the confirmation ("" when the entry may be deleted).
std::string CheckDelete(const FiscalYear& ej, DeleteFrom from);
// "Quiere borrar el asiento [12] Compra de insumos"
std::string DeleteQuestion(int num, const std::string& descrip);
// Deletes the lines, the voucher data (auxasi, or AuxFacAlu for a school invoice) and the
// header in one transaction. When the entry is the year's result-closing or closing entry the
// year stops pointing at it. Returns false when the entry no longer exists.
bool DeleteEntry(const std::string& dsn, int64_t id);

void SetMark(const std::string& dsn, int64_t id, int mark);

// ---- renumbering and bulk deletion -------------------------------------------------------

struct RenumberResult {
    int count = 0;         // entries of the year (RESULT of pReenum)
    bool skipped = false;  // another operator held a conflicting lock; nothing was written
    std::string skippedReason;
};

// pReenum in its own transaction. With `yieldToOthers` (the renumbering made when the
// browser opens) a lock held by another operator is not waited for: the result says skipped.
RenumberResult Renumber(const std::string& dsn, int year, int first, bool recalc,
                        bool yieldToOthers = false);
// "Los asientos han sido reenumerados desde el número 100 hasta el número 109\nEn total se
// procesaron 10 asientos."
std::string RenumberMessage(int first, int count);
inline constexpr const char* kMsgRenumberSkipped =
    "Otro usuario está modificando asientos de este ejercicio: no se reenumeraron.";

struct DateRange {
    Date from;
    Date to;
};
// The confirmation before a bulk deletion.
std::string BulkDeleteQuestion(int year, const std::optional<DateRange>& range);
inline constexpr const char* kMsgBulkDone = "Operación realizada con éxito";
inline constexpr const char* kMsgBulkFailed = "La Operación no se pudo finalizar con éxito";
// Deletes the year's entries (all, or those dated in the range) with their lines and voucher
// data in one transaction, and clears ejerc.idrefun / idcierre when their entry goes.
// Returns the number of entries deleted.
int BulkDelete(const std::string& dsn, int year, const std::optional<DateRange>& range);

} // namespace kesh::entries
