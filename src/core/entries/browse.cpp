#include "entries/browse.h"

#include <cctype>

#include "app/sqlhelpers.h"
#include "db/database.h"

namespace kesh::entries {

std::string ViewTitle(View v) {
    switch (v) {
    case View::Genericos: return "ASIENTOS GENERICOS";
    case View::Compras: return "ASIENTOS DE COMPRAS";
    case View::Ventas: return "ASIENTOS DE VENTAS";
    case View::Todos: return "TODOS LOS ASIENTOS";
    case View::Desbalanceados: return "ASIENTOS DESBALANCEADOS";
    }
    return {};
}

int ViewKind(View v) {
    switch (v) {
    case View::Genericos: return 3;
    case View::Compras: return 1;
    case View::Ventas: return 2;
    default: return 0;
    }
}

const std::vector<std::string>& MonthNames() {
    static const std::vector<std::string> names = {
        "Todos", "Enero", "Febrero", "Marzo", "Abril", "Mayo", "Junio", "Julio", "Agosto",
        "Septiem", "Octubre", "Noviem", "Diciem"};
    return names;
}

int ValidMonthIndex(int stored) { return stored >= 0 && stored <= 12 ? stored : 1; }

std::string AmountFilter(bool ticked, std::string_view text) {
    if (!ticked || !IsNumericText(text)) return "0.00";
    return ParseAmountExact(text).abs().toString();
}

namespace {

db::Statement OpenList(db::Transaction& tr, int year, View view, int month, const std::string& amount) {
    db::Statement s = view == View::Desbalanceados
                          ? tr.prepare("select * from pselasimal(?, 1)")
                          : tr.prepare("select * from pselasientos(?, ?, 0, ?, ?)");
    if (view == View::Desbalanceados)
        s.open({year});
    else
        s.open({year, ViewKind(view), month, amount});
    return s;
}

// Column positions of the list, looked up once per cursor.
struct ListColumns {
    int id, num, des, fec, npas, ej, imp, cla, clas, nf, tip, idx, marc, col, rec;
    explicit ListColumns(const db::Statement& s)
        : id(s.columnIndex("ID")), num(s.columnIndex("NUM")), des(s.columnIndex("DESCRIP")),
          fec(s.columnIndex("FECHA")), npas(s.columnIndex("NPAS")), ej(s.columnIndex("IDEJ")),
          imp(s.columnIndex("IMPORT")), cla(s.columnIndex("CLASE")), clas(s.columnIndex("CLAS")),
          nf(s.columnIndex("NFACT")), tip(s.columnIndex("IDTIP")), idx(s.columnIndex("IDX")),
          marc(s.columnIndex("MARC")), col(s.columnIndex("COLEG")), rec(s.columnIndex("NREC")) {}
};

// Reads up to `max` rows of an open list; returns how many (fewer at the end).
int ReadRows(db::Statement& s, const ListColumns& c, std::vector<EntryListRow>& out, int max) {
    int n = 0;
    while (n < max && s.next()) {
        EntryListRow r;
        r.id = s.getInt(c.id);
        r.num = int(s.getInt(c.num));
        r.descrip = s.getText(c.des);
        r.fecha = s.getDate(c.fec);
        r.npas = int(s.getInt(c.npas));
        r.idej = int(s.getInt(c.ej));
        r.import = s.getAmount(c.imp);
        r.clase = s.getText(c.cla);
        r.clas = int(s.getInt(c.clas));
        r.nfact = s.getText(c.nf);
        r.idtip = s.getInt(c.tip);
        r.idx = s.getInt(c.idx);
        r.marc = int(s.getInt(c.marc));
        r.coleg = int(s.getInt(c.col));
        r.nrec = int(s.getInt(c.rec));
        out.push_back(std::move(r));
        ++n;
    }
    return n;
}

} // namespace

struct EntryListCursor::Impl {
    db::Transaction tr;
    db::Statement st;
    ListColumns cols;
    bool done = false;
    Impl(db::Transaction t, int year, View view, int month, const std::string& amount)
        : tr(std::move(t)), st(OpenList(tr, year, view, month, amount)), cols(st) {}
};

EntryListCursor::EntryListCursor(db::Connection& conn, int year, View view, int month,
                                 const std::string& amount)
    : d_(std::make_unique<Impl>(conn.begin({db::Isolation::Snapshot, true}), year, view, month,
                                amount)) {}

EntryListCursor::~EntryListCursor() = default;

int EntryListCursor::fetch(std::vector<EntryListRow>& out, int max) {
    if (d_->done) return 0;
    const int n = ReadRows(d_->st, d_->cols, out, max);
    if (n < max) {
        d_->done = true;
        d_->st.close();
        d_->tr.commit();
    }
    return n;
}

bool EntryListCursor::done() const { return d_->done; }

bool MatchesPattern(std::string_view text, std::string_view pattern) {
    auto eq = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    // Iterative glob with one backtrack point: linear enough for a list of 100 000 rows.
    size_t t = 0, p = 0, starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '?') {
            // One character, however many bytes it takes in UTF-8.
            ++t;
            while (t < text.size() && (static_cast<unsigned char>(text[t]) & 0xC0) == 0x80) ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] != '*' && eq(pattern[p], text[t])) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starT = t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool EntryMatches(const EntryListRow& r, SearchField field, std::string_view pattern) {
    const std::string text = field == SearchField::Fecha     ? r.fecha.toDisplay()
                             : field == SearchField::Descrip ? r.descrip
                                                             : std::to_string(r.num);
    return MatchesPattern(text, pattern);
}

int FindEntry(const std::vector<EntryListRow>& rows, SearchField field, std::string_view pattern,
              int from) {
    for (int i = std::max(0, from); i < int(rows.size()); ++i)
        if (EntryMatches(rows[size_t(i)], field, pattern)) return i;
    return -1;
}

} // namespace kesh::entries
