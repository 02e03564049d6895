#include "reports/reportrows.h"

#include <cstdio>

namespace kesh::reports {

namespace {

using db::Params;
using db::Statement;

int I(bool b) { return b ? 1 : 0; }

// ---- reading a row by the procedure's column names ----

void ReadRow(Statement& s, JournalRow& r) {
    r.fecha = s.getDate("FECHA");
    r.fechav = s.getDate("FECHAV");
    r.nro = static_cast<int>(s.getInt("NRO"));
    r.descrip = s.getText("DESCRIP");
    r.cod = s.getText("COD");
    r.cod2 = s.getText("COD2");
    r.cuent = s.getText("CUENT");
    r.detalle = s.getText("DETALLE");
    r.debe = s.getAmount("DEBE");
    r.haber = s.getAmount("HABER");
}

void ReadRow(Statement& s, LedgerRow& r) {
    r.cod = s.getText("COD");
    r.cod2 = s.getText("COD2");
    r.cuenta = s.getText("CUENTA");
    r.fech = s.getDate("FECH");
    r.fechv = s.getDate("FECHV");
    r.nro = static_cast<int>(s.getInt("NRO"));
    r.descripasi = s.getText("DESCRIPASI");
    r.detall = s.getText("DETALL");
    r.debe = s.getAmount("DEBE");
    r.haber = s.getAmount("HABER");
    r.saldo = s.getAmount("SALDO");
    r.acudebe = s.getAmount("ACUDEBE");
    r.acuhaber = s.getAmount("ACUHABER");
    r.acusaldo = s.getAmount("ACUSALDO");
}

void ReadRow(Statement& s, TrialRow& r) {
    r.cod = s.getText("COD");
    r.cod2 = s.getText("COD2");
    r.cuen = s.getText("CUEN");
    r.mes = static_cast<int>(s.getInt("MES"));
    r.an = static_cast<int>(s.getInt("AN"));
    r.deb1 = s.getAmount("DEB1");
    r.hab1 = s.getAmount("HAB1");
    r.sal1 = s.getAmount("SAL1");
    r.deb2 = s.getAmount("DEB2");
    r.hab2 = s.getAmount("HAB2");
    r.sal2 = s.getAmount("SAL2");
}

void ReadRow(Statement& s, AccountRow& r) {
    r.cod = s.getText("COD");
    r.cod2 = s.getText("COD2");
    r.nro = static_cast<int>(s.getInt("NRO"));
    r.cuenta = s.getText("CUENTA");
    r.cuenta2 = s.getText("CUENTA2");
    r.debe = s.getAmount("DEBE");
    r.haber = s.getAmount("HABER");
    r.saldo = s.getAmount("SALDO");
    r.niv = static_cast<int>(s.getInt("NIV"));
    r.abrev = s.getText("ABREV");
}

void ReadRow(Statement& s, AnalysisRow& r) {
    r.idstr = s.getText("IDSTR");
    r.debe = s.getAmount("DEBE");
    r.haber = s.getAmount("HABER");
    r.saldo = s.getAmount("SALDO");
    r.pordebe = static_cast<int>(s.getInt("PORDEBE"));
    r.porhaber = static_cast<int>(s.getInt("PORHABER"));
    r.porsaldo = static_cast<int>(s.getInt("PORSALDO"));
}

void ReadRow(Statement& s, BalanceDrift& d) {
    d.idej = static_cast<int>(s.getInt("IDEJ"));
    d.cod = s.getText("COD");
    d.mes = static_cast<int>(s.getInt("MES"));
    d.debeLineas = s.getAmount("DL");
    d.haberLineas = s.getAmount("HL");
    d.debeSaldos = s.getAmount("DS");
    d.haberSaldos = s.getAmount("HS");
}

// ---- the data gathering of each report: its SQL text and values ----

struct Query {
    const char* sql;
    Params params;
};

Query JournalQuery(const JournalOptions& o) {
    if (o.entryId > 0) return {"select * from PASIENTO(?, ?)", {o.yearId, o.entryId}};
    return {"select * from PDIARIO(?, ?, ?, ?)", {o.yearId, o.from, o.to, I(o.apertura)}};
}

Query SummaryQuery(const SummaryOptions& o) {
    const int mode = o.mode < 0 ? 0 : o.mode;
    if (mode == 0)
        return {"select * from pAsResumen2(?, ?, ?, ?, ?, '')",
                {o.yearId, o.from, o.to, o.firstNumber, I(o.apertura)}};
    return {mode == 1 ? "select * from pAsResum2(?, ?, ?, ?, ?, ?, ?, ?, '')"
                      : "select * from pAsResum3(?, ?, ?, ?, ?, ?, ?, ?, '')",
            {o.yearId, o.from, o.to, o.from, o.firstNumber, I(o.apertura), I(o.refun),
             I(o.cierre)}};
}

Query LedgerQuery(const LedgerOptions& o) {
    return {"select * from pMayorF(?, ?, ?, ?, ?, ?, ?)",
            {o.yearId, o.fromCode, o.toCode, o.start, o.from, o.to, o.monthlyTotals ? "1" : "0"}};
}

Query TrialQuery(const TrialOptions& o) {
    return {"select * from pSumySal2(?, ?, ?, ?, ?, ?, ?)",
            {o.yearId, o.fromCode, o.toCode, o.from, o.to, o.fromLevel, o.toLevel}};
}

Query BalanceQuery(const BalanceOptions& o) {
    return {"select * from pbalance(?, ?, ?, ?, ?, ?, ?)",
            {o.yearId, I(o.onlyMoved), o.fromCode, o.toCode, o.from, o.to, LevelMask(o.levels)}};
}

Query PlanQuery(const PlanOptions& o) {
    return {"select * from pPlan(?, ?, ?, ?, ?)",
            {I(o.gen), I(o.prov), I(o.cli), o.fromCode, o.toCode}};
}

Query AnalysisQuery(const AnalysisOptions& o) {
    if (o.daily) return {"select * from pResCtaxDia(?, ?, ?)", {o.code, o.month, o.yearId}};
    return {"select * from pResCtaxMes(?, ?)", {o.code, o.yearId}};
}

// Every row at once, on the caller's transaction.
template <class Row>
std::vector<Row> Fetch(db::Transaction& tr, const Query& q) {
    std::vector<Row> rows;
    Statement s = tr.prepare(q.sql);
    s.open(q.params);
    while (s.next()) {
        Row r;
        ReadRow(s, r);
        rows.push_back(std::move(r));
    }
    return rows;
}

// What a read that stopped half way tells the user.
std::string ReadFailureText(const db::DbError& e) {
    constexpr int64_t kAttachmentShutdown = 335544856; // isc_att_shutdown
    const bool lost = e.isConnectionFailure() || e.gdscode() == kAttachmentShutdown;
    return "No se pudo terminar de leer el informe: " +
           (lost ? std::string("se perdió la conexión con la base de datos.") : e.serverText());
}

// The rows as they are asked for: the procedure's cursor on a connection and a read-only
// snapshot of its own (the report reads one consistent state however long the reading
// takes), committed and closed after the last row, or closed when the stream lets it go.
template <class Row>
std::shared_ptr<RowStream<Row>> Stream(const std::string& dsn, const Query& q) {
    struct Cursor {
        db::Connection conn;
        db::Transaction tr;
        Statement st;
        Cursor(const std::string& dsn, const Query& q)
            : conn(db::Connection::open(dsn)),
              tr(conn.begin({db::Isolation::Snapshot, true, -1})),
              st(tr.prepare(q.sql)) {
            st.open(q.params);
        }
    };
    auto cursor = std::make_shared<Cursor>(dsn, q);
    return std::make_shared<RowStream<Row>>([cursor](Row& r) {
        try {
            if (!cursor->st.next()) {
                cursor->st.close();
                cursor->tr.commit();
                return false;
            }
            ReadRow(cursor->st, r);
            return true;
        } catch (const db::DbError& e) {
            throw ReadError(ReadFailureText(e));
        }
    });
}

// ---- CSV ----
std::string Csv(const std::string& s) {
    if (s.find_first_of(";\"\n\r") == std::string::npos) return s;
    std::string q = "\"";
    for (char c : s) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + "\"";
}
std::string Csv(Amount a) { return a.toString(); }
std::string Csv(Date d) { return d.isZero() ? std::string() : d.toDisplay(); }
std::string Csv(int v) { return std::to_string(v); }

template <class... T>
void Line(std::ostream& out, const T&... cells) {
    bool first = true;
    ((out << (first ? "" : ";") << Csv(cells), first = false), ...);
    out << "\n";
}

} // namespace

std::string LevelMask(const std::array<bool, 6>& levels) {
    std::string m;
    for (int i = 1; i <= 5; ++i) m += levels[i] ? '1' : '0';
    return m;
}

std::vector<JournalRow> FetchJournal(db::Transaction& tr, const JournalOptions& o) {
    return Fetch<JournalRow>(tr, JournalQuery(o));
}
std::vector<JournalRow> FetchSummary(db::Transaction& tr, const SummaryOptions& o) {
    return Fetch<JournalRow>(tr, SummaryQuery(o));
}
std::vector<LedgerRow> FetchLedger(db::Transaction& tr, const LedgerOptions& o) {
    return Fetch<LedgerRow>(tr, LedgerQuery(o));
}
std::vector<TrialRow> FetchTrial(db::Transaction& tr, const TrialOptions& o) {
    return Fetch<TrialRow>(tr, TrialQuery(o));
}
std::vector<AccountRow> FetchBalance(db::Transaction& tr, const BalanceOptions& o) {
    return Fetch<AccountRow>(tr, BalanceQuery(o));
}
std::vector<AccountRow> FetchPlan(db::Transaction& tr, const PlanOptions& o) {
    return Fetch<AccountRow>(tr, PlanQuery(o));
}
std::vector<AnalysisRow> FetchAnalysis(db::Transaction& tr, const AnalysisOptions& o) {
    return Fetch<AnalysisRow>(tr, AnalysisQuery(o));
}

Rows<JournalRow> StreamJournal(const std::string& dsn, const JournalOptions& o) {
    return Stream<JournalRow>(dsn, JournalQuery(o));
}
Rows<JournalRow> StreamSummary(const std::string& dsn, const SummaryOptions& o) {
    return Stream<JournalRow>(dsn, SummaryQuery(o));
}
Rows<LedgerRow> StreamLedger(const std::string& dsn, const LedgerOptions& o) {
    return Stream<LedgerRow>(dsn, LedgerQuery(o));
}
Rows<TrialRow> StreamTrial(const std::string& dsn, const TrialOptions& o) {
    return Stream<TrialRow>(dsn, TrialQuery(o));
}
Rows<AccountRow> StreamBalance(const std::string& dsn, const BalanceOptions& o) {
    return Stream<AccountRow>(dsn, BalanceQuery(o));
}
Rows<AccountRow> StreamPlan(const std::string& dsn, const PlanOptions& o) {
    return Stream<AccountRow>(dsn, PlanQuery(o));
}
Rows<AnalysisRow> StreamAnalysis(const std::string& dsn, const AnalysisOptions& o) {
    return Stream<AnalysisRow>(dsn, AnalysisQuery(o));
}

int CompactMonthlyBalances(const std::string& dsn) {
    try {
        return db::WithTransaction(dsn, [](db::Transaction& tr) {
            return static_cast<int>(tr.queryInt("select grupos from pCompactSaldosMes"));
        });
    } catch (const db::DbError& e) {
        if (e.isLockConflict()) return 0; // someone else is folding the same rows
        throw;
    }
}

std::vector<BalanceDrift> CheckMonthlyBalances(db::Transaction& tr) {
    return Fetch<BalanceDrift>(
        tr,
        {"select coalesce(l.idej, s.idej) idej, coalesce(l.cod, s.cod) cod, "
         "coalesce(l.mes, s.mes) mes, coalesce(l.debe, 0) dl, coalesce(l.haber, 0) hl, "
         "coalesce(s.debe, 0) ds, coalesce(s.haber, 0) hs "
         "from (select idej, cod, coalesce(f_mes(fecha), 0) mes, "
         "        sum(iif(dh = 'D', importe, 0)) debe, sum(iif(dh = 'D', 0, importe)) haber "
         "      from pases group by 1, 2, 3) l "
         "full join (select idej, cod, mes, sum(debe) debe, sum(haber) haber "
         "      from saldosmes group by 1, 2, 3) s "
         "  on s.idej = l.idej and s.cod = l.cod and s.mes = l.mes "
         "where coalesce(l.debe, 0) <> coalesce(s.debe, 0) "
         "   or coalesce(l.haber, 0) <> coalesce(s.haber, 0) "
         "order by 1, 2, 3",
         {}});
}

DateSpan DataDateSpan(db::Transaction& tr, const FiscalYear& year, bool tickedYears) {
    Statement s = tr.prepare(
        tickedYears ? "select max(p.fecha) hasta, min(p.fecha) desde from pases p, ejerc e "
                      "where p.idej = e.id and e.activ = '+'"
                    : "select max(fecha) hasta, min(fecha) desde from pases where idej = ?");
    s.open(tickedYears ? db::Params{} : db::Params{year.id});
    DateSpan span{year.fech1, year.fech2};
    if (s.next()) {
        Date from = s.getDate("DESDE"), to = s.getDate("HASTA");
        if (from.serial() > 0 && to.serial() > 0) span = {from, to};
    }
    return span;
}

std::pair<std::string, std::string> ChartCodeRange(db::Transaction& tr) {
    return {tr.queryText("select min(cod) from cuentas"),
            tr.queryText("select max(cod) from cuentas")};
}

std::string AccountName(db::Transaction& tr, const std::string& code) {
    return tr.queryText("select cuenta from cuentas where cod = ?", {code});
}

std::string FirstImputableAccount(db::Transaction& tr) {
    return tr.queryText("select first 1 cod from cuentas where imp = 1 order by cod");
}

void WriteCsv(std::ostream& out, const std::vector<JournalRow>& rows) {
    out << "FECHA;FECHAV;NRO;DESCRIP;COD;COD2;CUENT;DETALLE;DEBE;HABER\n";
    for (const auto& r : rows)
        Line(out, r.fecha, r.fechav, r.nro, r.descrip, r.cod, r.cod2, r.cuent, r.detalle, r.debe,
             r.haber);
}

void WriteCsv(std::ostream& out, const std::vector<LedgerRow>& rows) {
    out << "COD;COD2;CUENTA;FECH;FECHV;NRO;DESCRIPASI;DETALL;DEBE;HABER;SALDO;ACUDEBE;"
           "ACUHABER;ACUSALDO\n";
    for (const auto& r : rows)
        Line(out, r.cod, r.cod2, r.cuenta, r.fech, r.fechv, r.nro, r.descripasi, r.detall, r.debe,
             r.haber, r.saldo, r.acudebe, r.acuhaber, r.acusaldo);
}

void WriteCsv(std::ostream& out, const std::vector<TrialRow>& rows) {
    out << "COD;COD2;CUEN;MES;AN;DEB1;HAB1;SAL1;DEB2;HAB2;SAL2\n";
    for (const auto& r : rows)
        Line(out, r.cod, r.cod2, r.cuen, r.mes, r.an, r.deb1, r.hab1, r.sal1, r.deb2, r.hab2,
             r.sal2);
}

void WriteCsv(std::ostream& out, const std::vector<AccountRow>& rows) {
    out << "COD;COD2;NRO;CUENTA;CUENTA2;DEBE;HABER;SALDO;NIV;ABREV\n";
    for (const auto& r : rows)
        Line(out, r.cod, r.cod2, r.nro, r.cuenta, r.cuenta2, r.debe, r.haber, r.saldo, r.niv,
             r.abrev);
}

void WriteCsv(std::ostream& out, const std::vector<AnalysisRow>& rows) {
    out << "IDSTR;DEBE;HABER;SALDO;PORDEBE;PORHABER;PORSALDO\n";
    for (const auto& r : rows)
        Line(out, r.idstr, r.debe, r.haber, r.saldo, r.pordebe, r.porhaber, r.porsaldo);
}

std::string FormatThousands(Amount a) {
    const int64_t c = a.cents() < 0 ? -a.cents() : a.cents();
    std::string units = std::to_string(c / 100);
    std::string grouped;
    for (size_t i = 0; i < units.size(); ++i) {
        if (i > 0 && (units.size() - i) % 3 == 0) grouped += '.';
        grouped += units[i];
    }
    char dec[4];
    std::snprintf(dec, sizeof dec, "%02d", static_cast<int>(c % 100));
    return (a.cents() < 0 ? "-" : "") + grouped + "," + dec;
}

std::string FormatDebeHaber(Amount a) {
    if (a.isZero()) return "  ";
    if (a.cents() < 0) return "(" + FormatThousands(a.abs()) + ")";
    return FormatThousands(a);
}

std::string FormatSaldo(Amount a, const std::string& zero, char credit, char debit) {
    if (a.isZero()) return zero;
    return FormatThousands(a.abs()) + " " + (a.cents() > 0 ? debit : credit);
}

} // namespace kesh::reports
