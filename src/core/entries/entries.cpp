#include "entries/entries.h"

#include <cctype>
#include <chrono>
#include <random>
#include <thread>

#include "app/sqlhelpers.h"
#include "db/database.h"

namespace kesh::entries {

namespace {

constexpr std::size_t kDescripWidth = 60;
constexpr std::size_t kDetalleWidth = 30;

// A refusal found inside a save: thrown so that the transaction rolls back in its destructor.
struct Refusal {
    std::string message;
};

// Runs `work` in the per-operation connection and transaction. When it loses a lock race
// with another operator (both took the year's row, or renumbering ran meanwhile) the work
// is run again on a fresh snapshot, which sees what the other one committed: that is what
// keeps two simultaneous saves from failing or sharing a number.
template <class F>
auto WithRetry(const std::string& dsn, F&& work) {
    thread_local std::minstd_rand jitter(std::random_device{}());
    for (int attempt = 1;; ++attempt) {
        try {
            return db::WithTransaction(dsn, work);
        } catch (const db::DbError& e) {
            if (!e.isLockConflict() || attempt >= 40) throw;
            std::this_thread::sleep_for(std::chrono::milliseconds(1 + int(jitter() % (5u * attempt))));
        }
    }
}

// Adds one line with path A's columns and returns its key.
int64_t InsertGridLine(db::Statement& ins, int64_t id, int year, int nro, int64_t nconcep,
                       Date fecha, const GridLine& l, Amount& debits, Amount& credits) {
    StoredSide s = SideOf(l.debit, l.credit);
    ins.execute({l.code, id, year, nro, nconcep, fecha, SqlText(l.detalle, kDetalleWidth),
                 std::string(1, s.dh), s.importe});
    (s.dh == 'D' ? debits : credits) += s.importe;
    return ins.getInt(0);
}

constexpr const char* kInsertGridLine =
    "insert into pases (cod, idasi, idej, nro, nconcep, fecha, detalle, dh, importe) "
    "values (?, ?, ?, ?, ?, ?, ?, ?, ?) returning id";

struct Fingerprint {
    int npas = 0;
    int64_t checksum = 0;
    Amount debits;
    Amount credits;
};

// The lines of paths A and C: every row that names an account, nro = its row number.
Fingerprint WriteGridLines(db::Transaction& tr, int64_t id, int year, int64_t idaux, Date fecha,
                           const std::vector<GridLine>& lines) {
    Fingerprint fp;
    db::Statement ins = tr.prepare(kInsertGridLine);
    int row = 0;
    for (const GridLine& l : lines) {
        ++row;
        if (l.code.empty()) continue;
        fp.checksum += InsertGridLine(ins, id, year, row, idaux, fecha, l, fp.debits, fp.credits);
        ++fp.npas;
    }
    return fp;
}

void WriteFingerprint(db::Transaction& tr, int64_t id, const Fingerprint& fp) {
    tr.execute("update asientos set checksum = ?, npas = ?, importe = ? where id = ?",
               {fp.checksum, fp.npas, fp.debits, id});
}

Amount SumSide(const std::vector<GridLine>& lines, char side) {
    Amount sum;
    for (const GridLine& l : lines) {
        if (l.code.empty()) continue;
        StoredSide s = SideOf(l.debit, l.credit);
        if (s.dh == side) sum += s.importe;
    }
    return sum;
}

// Clears the year's pointer at an entry that is about to disappear.
void ForgetClosingEntry(db::Transaction& tr, int64_t id) {
    tr.execute("update ejerc set idrefun = 0 where idrefun = ?", {id});
    tr.execute("update ejerc set idcierre = 0 where idcierre = ?", {id});
}

} // namespace

std::string DateOutsideYearMessage(const FiscalYear& ej) {
    return "La fecha del asiento debe corresponder al ejercicio (" + ej.fech1.toDisplay() + " - " +
           ej.fech2.toDisplay() + ")";
}

StoredSide SideOf(Amount debit, Amount credit) {
    if (debit > credit) return {'D', debit};
    return {'C', credit};
}

Amount ReadGridAmount(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t lastNonDigit = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!isDigit(text[i])) lastNonDigit = i;
    std::string_view intPart = text, decPart;
    if (lastNonDigit != std::string_view::npos) {
        intPart = text.substr(0, lastNonDigit);
        decPart = text.substr(lastNonDigit + 1);
    }
    int64_t units = 0;
    for (char c : intPart) {
        if (!isDigit(c)) continue;
        if (units > 99'999'999'999'999LL) break;  // beyond NUMERIC(18,2): keep what fits
        units = units * 10 + (c - '0');
    }
    int64_t cents = 0;
    if (!decPart.empty()) cents += (decPart[0] - '0') * 10;
    if (decPart.size() > 1) cents += decPart[1] - '0';
    return Amount::fromCents(units * 100 + cents);
}

std::string CheckDateAndYear(const FiscalYear& ej, Date fecha) {
    if (fecha < ej.fech1 || fecha > ej.fech2) return DateOutsideYearMessage(ej);
    if (ej.closed()) return kMsgClosedYear;
    return {};
}

bool LockYear(db::Transaction& tr, int year) {
    db::Statement s = tr.prepare("select idrefun, idcierre from ejerc where id = ? with lock");
    s.open({year});
    if (!s.next()) return false;
    return s.getInt("IDREFUN") == 0 && s.getInt("IDCIERRE") == 0;
}

int NextEntryNumber(db::Transaction& tr, int year) {
    return int(tr.queryInt("select numasi from PSIGUIENTEASIENTO(?)", {year}));
}

bool HasOpeningEntry(db::Transaction& tr, int year) {
    return tr.queryInt("select count(id) from asientos where idej = ? and idaux = -1", {year}) > 0;
}

bool HasOpeningEntry(const std::string& dsn, int year) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) { return HasOpeningEntry(tr, year); });
}

int LineCount(const std::string& dsn, int64_t id) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) {
        return int(tr.queryInt("select count(id) from pases where idasi = ?", {id}));
    });
}

// ---------------------------------------------------------------- path A

namespace {

bool NamesAnAccount(const std::vector<GridLine>& lines) {
    for (const GridLine& l : lines)
        if (!l.code.empty()) return true;
    return false;
}

std::string PrecheckGrid(const FiscalYear& ej, const GridEntry& e) {
    if (std::string m = CheckDateAndYear(ej, e.fecha); !m.empty()) return m;
    if (!Balanced(SumSide(e.lines, 'D'), SumSide(e.lines, 'C'))) return kMsgGridUnbalanced;
    // An empty form would otherwise save a header without lines.
    if (!NamesAnAccount(e.lines)) return kMsgNoLines;
    return {};
}

// Path A's statements; a Refusal leaves partial work that the caller rolls back.
void WriteGridEntry(db::Transaction& tr, const FiscalYear& ej, const GridEntry& e, SaveResult& r) {
    r.notice.clear();
    if (!LockYear(tr, ej.id)) throw Refusal{kMsgClosedYear};
    int64_t idaux = 0;
    if (e.opening) {
        bool alreadyOpening =
            e.id != 0 && tr.queryInt("select idaux from asientos where id = ?", {e.id}) == -1;
        if (!alreadyOpening && HasOpeningEntry(tr, ej.id))
            r.notice = kMsgOpeningExists;
        else
            idaux = -1;
    }
    const std::string descrip = SqlText(e.descrip, kDescripWidth);
    if (e.id == 0) {
        r.num = NextEntryNumber(tr, ej.id);
        r.id = tr.insertReturningId(
            "insert into asientos (num, idaux, idej, descrip, fecha) values (?, ?, ?, ?, ?) "
            "returning id",
            {r.num, idaux, ej.id, descrip, e.fecha});
    } else {
        r.id = e.id;
        if (tr.execute("update asientos set descrip = ?, idaux = ?, fecha = ? where id = ? and idej = ?",
                       {descrip, idaux, e.fecha, e.id, ej.id}) == 0)
            throw Refusal{kMsgEntryGone};
        r.num = int(tr.queryInt("select num from asientos where id = ?", {e.id}));
        tr.execute("delete from pases where idasi = ?", {e.id});
    }
    Fingerprint fp = WriteGridLines(tr, r.id, ej.id, idaux, e.fecha, e.lines);
    if (!Balanced(fp.debits, fp.credits)) throw Refusal{"Los importes no cierran. "};
    WriteFingerprint(tr, r.id, fp);
}

} // namespace

namespace {
// Path A around the caller's way of running it (its own retried transaction, or the caller's).
template <class Run>
SaveResult GridSave(const FiscalYear& ej, const GridEntry& e, Run&& run) {
    SaveResult r;
    r.message = PrecheckGrid(ej, e);
    if (!r.message.empty()) return r;
    r.attempted = true;
    try {
        run([&](db::Transaction& tr) { WriteGridEntry(tr, ej, e, r); });
    } catch (const Refusal& f) {
        r.message = f.message + " El asiento no se guardará.";
        r.id = 0;
        return r;
    }
    r.ok = true;
    return r;
}
} // namespace

SaveResult SaveGridEntry(const std::string& dsn, const FiscalYear& ej, const GridEntry& e) {
    return GridSave(ej, e, [&](auto&& write) { WithRetry(dsn, write); });
}

SaveResult SaveGridEntry(db::Transaction& tr, const FiscalYear& ej, const GridEntry& e) {
    return GridSave(ej, e, [&](auto&& write) { write(tr); });
}

// ---------------------------------------------------------------- path C

SaveResult SaveLedgerEntry(const std::string& dsn, const FiscalYear& ej, const GridEntry& e) {
    SaveResult r;
    if (ej.closed()) {
        r.message = kMsgClosedYear;
        return r;
    }
    if (!Balanced(SumSide(e.lines, 'D'), SumSide(e.lines, 'C'))) {
        r.message = kMsgLedgerUnbalanced;
        return r;
    }
    if (!NamesAnAccount(e.lines)) {
        r.message = kMsgNoLines;
        return r;
    }
    r.attempted = true;
    try {
        WithRetry(dsn, [&](db::Transaction& tr) {
            db::Statement h = tr.prepare("select idej, idaux, num from asientos where id = ?");
            h.open({e.id});
            if (!h.next()) throw Refusal{kMsgEntryGone};
            const int year = int(h.getInt("IDEJ"));
            const int64_t idaux = h.getInt("IDAUX");
            r.num = int(h.getInt("NUM"));
            h.close();
            if (!LockYear(tr, year)) throw Refusal{kMsgClosedYear};
            tr.execute("delete from pases where idasi = ?", {e.id});
            Fingerprint fp = WriteGridLines(tr, e.id, year, idaux, e.fecha, e.lines);
            if (!Balanced(fp.debits, fp.credits)) throw Refusal{kMsgLedgerUnbalanced};
            tr.execute("update asientos set descrip = ?, fecha = ? where id = ?",
                       {SqlText(e.descrip, kDescripWidth), e.fecha, e.id});
            WriteFingerprint(tr, e.id, fp);
        });
    } catch (const Refusal& f) {
        r.message = f.message;
        return r;
    }
    r.ok = true;
    r.id = e.id;
    return r;
}

// ---------------------------------------------------------------- path B

TemplateTotals TotalsOf(const std::vector<TemplateSlot>& lineSlots) {
    TemplateTotals t;
    for (const TemplateSlot& s : lineSlots) {
        if (!s.ticked) continue;
        (s.dh == 'C' ? t.credits : t.debits) += s.importe;
    }
    return t;
}

std::string BalanceText(const TemplateTotals& t) {
    if (t.debits > t.credits) return "Saldo Deudor: " + (t.debits - t.credits).toString();
    if (t.credits > t.debits) return "Saldo Acreedor: " + (t.credits - t.debits).toString();
    return {};
}

std::string CheckTemplateEntry(const FiscalYear& ej, const TemplateEntry& e) {
    if (std::string m = CheckDateAndYear(ej, e.fecha); !m.empty()) return m;
    TemplateTotals t = TotalsOf(e.lineSlots);
    const Amount half = Amount::fromCents(0);  // amounts are exact centavos: <= 0.005 is <= 0
    if (t.debits <= half && t.credits <= half) return kMsgNoAmounts;
    bool shortCode = false;
    for (const TemplateSlot& s : e.lineSlots)
        if (s.ticked && s.code.size() < 4) shortCode = true;
    if (t.debits != t.credits || shortCode) return kMsgTemplateUnbalanced;
    return {};
}

SaveResult SaveTemplateEntry(const std::string& dsn, const FiscalYear& ej, const TemplateEntry& e) {
    SaveResult r;
    if (std::string m = CheckTemplateEntry(ej, e); !m.empty()) {
        r.message = m;
        return r;
    }
    const std::string descrip = SqlText(e.descrip, kDescripWidth);
    const std::size_t nslots = std::min<std::size_t>(e.lineSlots.size(), kTemplateSlots);
    r.attempted = true;
    try {
        WithRetry(dsn, [&](db::Transaction& tr) {
            if (!LockYear(tr, ej.id)) throw Refusal{kMsgClosedYear};
            if (e.id == 0) {
                r.num = NextEntryNumber(tr, ej.id);
                r.id = tr.insertReturningId(
                    "insert into asientos (num, idaux, idej, descrip, fecha, idtip) "
                    "values (?, 0, ?, ?, ?, ?) returning id",
                    {r.num, ej.id, descrip, e.fecha, e.idtip});
            } else {
                r.id = e.id;
                r.num = int(tr.queryInt("select num from asientos where id = ? and idej = ?",
                                        {e.id, ej.id}));
                if (r.num == 0 && tr.queryInt("select count(*) from asientos where id = ?", {e.id}) == 0)
                    throw Refusal{kMsgEntryGone};
            }
            db::Statement ins = tr.prepare(
                "insert into pases (idej, cod, idasi, detalle, importe, fecha, dh) "
                "values (?, ?, ?, ?, ?, ?, ?) returning id");
            db::Statement upd = tr.prepare(
                "update pases set cod = ?, dh = ?, idasi = ?, detalle = ?, importe = ?, fecha = ? "
                "where id = ?");
            db::Statement del = tr.prepare("delete from pases where id = ?");
            Fingerprint fp;
            for (std::size_t k = 0; k < nslots; ++k) {
                const TemplateSlot& s = e.lineSlots[k];
                // A slot without an amount is no line (in change mode it is unticked first).
                const bool writes = s.ticked && !s.importe.isZero();
                if (!writes) {
                    if (e.id != 0 && s.lineId != 0) del.execute({s.lineId});
                    continue;
                }
                // Lines hold positive amounts: a negative slot amount is the other side.
                char dh = s.dh == 'C' ? 'C' : 'D';
                Amount imp = s.importe;
                if (imp < Amount()) {
                    imp = -imp;
                    dh = dh == 'D' ? 'C' : 'D';
                }
                const std::string detalle = SqlText(s.detalle, kDetalleWidth);
                int64_t lineId;
                if (e.id != 0 && s.lineId != 0) {
                    if (upd.execute({s.code, std::string(1, dh), r.id, detalle, imp, e.fecha,
                                     s.lineId}) == 0)
                        throw Refusal{kMsgEntryGone};
                    lineId = s.lineId;
                } else {
                    ins.execute({ej.id, s.code, r.id, detalle, imp, e.fecha, std::string(1, dh)});
                    lineId = ins.getInt(0);
                }
                fp.checksum += lineId;
                ++fp.npas;
                (dh == 'D' ? fp.debits : fp.credits) += imp;
            }
            if (fp.npas < 2 || !Balanced(fp.debits, fp.credits)) {
                std::string m = "Asiento erroneo, ";
                if (fp.npas < 2) m += "tiene menos de dos pases. ";
                if (!Balanced(fp.debits, fp.credits))
                    m += "la imputación no cierra suma=" + (fp.debits - fp.credits).abs().toString();
                throw Refusal{m};
            }
            if (e.id == 0) {
                WriteFingerprint(tr, r.id, fp);
            } else {
                tr.execute("update asientos set checksum = ?, npas = ?, importe = ?, descrip = ?, "
                           "fecha = ?, idtip = ? where id = ?",
                           {fp.checksum, fp.npas, fp.debits, descrip, e.fecha, e.idtip, r.id});
            }
        });
    } catch (const Refusal& f) {
        r.message = f.message;
        r.id = 0;
        return r;
    }
    r.ok = true;
    return r;
}

// ---------------------------------------------------------------- reading

std::optional<EntryHeader> LoadHeader(const std::string& dsn, int64_t id) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) -> std::optional<EntryHeader> {
        db::Statement s = tr.prepare(
            "select id, idej, num, fecha, descrip, clase, idaux, idtip, marca, colegio, npas, "
            "checksum, importe from asientos where id = ?");
        s.open({id});
        if (!s.next()) return std::nullopt;
        EntryHeader h;
        h.id = s.getInt("ID");
        h.idej = int(s.getInt("IDEJ"));
        h.num = int(s.getInt("NUM"));
        h.fecha = s.getDate("FECHA");
        h.descrip = s.getText("DESCRIP");
        h.clase = int(s.getInt("CLASE"));
        h.idaux = s.getInt("IDAUX");
        h.idtip = s.getInt("IDTIP");
        h.marca = int(s.getInt("MARCA"));
        h.colegio = int(s.getInt("COLEGIO"));
        h.npas = int(s.getInt("NPAS"));
        h.checksum = s.getInt("CHECKSUM");
        h.importe = s.getAmount("IMPORTE");
        return h;
    });
}

std::vector<LineRow> LoadLines(db::Transaction& tr, int64_t id) {
    std::vector<LineRow> rows;
    db::Statement s = tr.prepare("select id, cod, cuent, detalle, debe, haber, cod2 from pselpases(?)");
    s.open({id});
    while (s.next()) {
        LineRow l;
        l.id = s.getInt("ID");
        l.cod = s.getText("COD");
        l.cod2 = s.getText("COD2");
        l.cuent = s.getText("CUENT");
        l.detalle = s.getText("DETALLE");
        l.debe = s.getAmount("DEBE");
        l.haber = s.getAmount("HABER");
        rows.push_back(std::move(l));
    }
    return rows;
}

std::vector<LineRow> LoadLines(const std::string& dsn, int64_t id) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) { return LoadLines(tr, id); });
}

std::vector<GridLine> ToGridLines(const std::vector<LineRow>& rows) {
    std::vector<GridLine> lines;
    for (const LineRow& r : rows) {
        GridLine l;
        l.code = r.cod;
        l.detalle = r.detalle;
        if (r.debe > r.haber)
            l.debit = r.debe;
        else
            l.credit = r.haber;
        lines.push_back(std::move(l));
    }
    return lines;
}

std::string CheckChangeable(const FiscalYear& ej, int64_t id) {
    if (id != 0 && (id == ej.idrefun || id == ej.idcierre)) return kMsgClosingEntries;
    return {};
}

// ---------------------------------------------------------------- delete, mark

std::string CheckDelete(const FiscalYear& ej, DeleteFrom from) {
    if (from == DeleteFrom::Browser && ej.closed()) return kMsgClosedYearDelete;
    if (from == DeleteFrom::Ledger && ej.idcierre != 0) return kMsgLedgerClosed;
    return {};
}

std::string DeleteQuestion(int num, const std::string& descrip) {
    return "Quiere borrar el asiento [" + std::to_string(num) + "] " + descrip;
}

namespace {
// Lines, voucher data and header of one entry. The voucher record lives in AuxFacAlu for a
// school invoice and in auxasi otherwise: the two tables have separate keys, so the flag
// decides which row is this entry's.
void DeleteEntryRows(db::Transaction& tr, int64_t id, int64_t idaux, int colegio) {
    tr.execute("delete from pases where idasi = ?", {id});
    if (idaux > 0) {
        if (colegio == 1)
            tr.execute("delete from auxfacalu where id = ?", {idaux});
        else
            tr.execute("delete from auxasi where id = ?", {idaux});
    }
    tr.execute("delete from asientos where id = ?", {id});
}
} // namespace

bool DeleteEntry(const std::string& dsn, int64_t id) {
    return WithRetry(dsn, [&](db::Transaction& tr) {
        db::Statement s = tr.prepare("select idaux, colegio from asientos where id = ?");
        s.open({id});
        if (!s.next()) return false;
        const int64_t idaux = s.getInt("IDAUX");
        const int colegio = int(s.getInt("COLEGIO"));
        s.close();
        DeleteEntryRows(tr, id, idaux, colegio);
        ForgetClosingEntry(tr, id);
        return true;
    });
}

void SetMark(const std::string& dsn, int64_t id, int mark) {
    if (mark < 0 || mark > 3) mark = 0;
    WithRetry(dsn, [&](db::Transaction& tr) {
        tr.execute("update asientos set marca = ? where id = ?", {mark, id});
    });
}

// ---------------------------------------------------------------- renumbering

RenumberResult Renumber(const std::string& dsn, int year, int first, bool recalc, bool yieldToOthers) {
    RenumberResult r;
    db::Connection conn = db::Connection::open(dsn);
    for (int attempt = 1;; ++attempt) {
        db::TxOptions opts;
        if (yieldToOthers) opts.lockTimeoutSeconds = 1;
        db::Transaction tr = conn.begin(opts);
        const auto started = std::chrono::steady_clock::now();
        try {
            r.count = int(tr.queryInt("select result from pReenum(?, ?, ?)", {year, first, recalc ? 1 : 0}));
            tr.commit();
            return r;
        } catch (const db::DbError& e) {
            tr.rollback();
            if (!e.isLockConflict()) throw;
            // A save that committed while we waited leaves our snapshot stale: try again. A
            // lock still held when the wait ran out is another operator's long work.
            const bool timedOut = std::chrono::steady_clock::now() - started >= std::chrono::milliseconds(900);
            if (attempt < 3 && !(yieldToOthers && timedOut)) continue;
            if (!yieldToOthers) throw;
            r.skipped = true;
            r.skippedReason = e.serverText();
            return r;
        }
    }
}

std::string RenumberMessage(int first, int count) {
    return "Los asientos han sido reenumerados desde el número " + std::to_string(first) +
           " hasta el número " + std::to_string(first + count - 1) + "\nEn total se procesaron " +
           std::to_string(count) + " asientos.";
}

// ---------------------------------------------------------------- bulk deletion

std::string BulkDeleteQuestion(int year, const std::optional<DateRange>& range) {
    std::string q = "Se eliminarán todos los asientos del ejercicio " + std::to_string(year);
    if (range)
        q += " fechados desde el " + range->from.toDisplay() + " hasta el " + range->to.toDisplay();
    else
        q += ", sin límite de fechas";
    q += ", con sus pases y comprobantes.\n\nPor favor Confirme";
    return q;
}

int BulkDelete(const std::string& dsn, int year, const std::optional<DateRange>& range) {
    return WithRetry(dsn, [&](db::Transaction& tr) {
        // The year's row first: no save can add an entry to the range meanwhile.
        tr.queryInt("select id from ejerc where id = ? with lock", {year});
        const Date from = range ? range->from : Date::fromYmd(1, 1, 1);
        const Date to = range ? range->to : Date::fromYmd(9999, 12, 31);
        const char* where = range ? "idej = ? and fecha >= ? and fecha <= ?" : "idej = ?";
        db::Params params = range ? db::Params{year, from, to} : db::Params{year};
        // Voucher data and lines go in the same transaction as their headers.
        tr.execute(std::string("delete from auxasi where id in (select idaux from asientos where ") +
                       where + " and idaux > 0 and coalesce(colegio, 0) <> 1)",
                   params);
        tr.execute(std::string("delete from auxfacalu where id in (select idaux from asientos where ") +
                       where + " and idaux > 0 and colegio = 1)",
                   params);
        tr.execute(std::string("delete from pases p where exists (select 1 from asientos a where "
                               "a.id = p.idasi and a.") +
                       (range ? "idej = ? and a.fecha >= ? and a.fecha <= ?)" : "idej = ?)"),
                   params);
        // The year must never point at a result-closing or closing entry that is gone.
        db::Params withYear{year};
        withYear.insert(withYear.end(), params.begin(), params.end());
        for (const char* col : {"idrefun", "idcierre"})
            tr.execute(std::string("update ejerc set ") + col + " = 0 where id = ? and " + col +
                           " in (select id from asientos where " + where + ")",
                       withYear);
        return int(tr.execute(std::string("delete from asientos where ") + where, params));
    });
}

} // namespace kesh::entries
