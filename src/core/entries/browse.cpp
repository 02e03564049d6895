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

std::vector<EntryListRow> ListEntries(db::Transaction& tr, int year, View view, int month,
                                      const std::string& amount) {
    db::Statement s = view == View::Desbalanceados
                          ? tr.prepare("select * from pselasimal(?, 1)")
                          : tr.prepare("select * from pselasientos(?, ?, 0, ?, ?)");
    if (view == View::Desbalanceados)
        s.open({year});
    else
        s.open({year, ViewKind(view), month, amount});
    std::vector<EntryListRow> rows;
    const int cId = s.columnIndex("ID"), cNum = s.columnIndex("NUM"), cDes = s.columnIndex("DESCRIP"),
              cFec = s.columnIndex("FECHA"), cNpas = s.columnIndex("NPAS"), cEj = s.columnIndex("IDEJ"),
              cImp = s.columnIndex("IMPORT"), cCla = s.columnIndex("CLASE"), cClas = s.columnIndex("CLAS"),
              cNf = s.columnIndex("NFACT"), cTip = s.columnIndex("IDTIP"), cIdx = s.columnIndex("IDX"),
              cMarc = s.columnIndex("MARC"), cCol = s.columnIndex("COLEG"), cRec = s.columnIndex("NREC");
    while (s.next()) {
        EntryListRow r;
        r.id = s.getInt(cId);
        r.num = int(s.getInt(cNum));
        r.descrip = s.getText(cDes);
        r.fecha = s.getDate(cFec);
        r.npas = int(s.getInt(cNpas));
        r.idej = int(s.getInt(cEj));
        r.import = s.getAmount(cImp);
        r.clase = s.getText(cCla);
        r.clas = int(s.getInt(cClas));
        r.nfact = s.getText(cNf);
        r.idtip = s.getInt(cTip);
        r.idx = s.getInt(cIdx);
        r.marc = int(s.getInt(cMarc));
        r.coleg = int(s.getInt(cCol));
        r.nrec = int(s.getInt(cRec));
        rows.push_back(std::move(r));
    }
    return rows;
}

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

int FindEntry(const std::vector<EntryListRow>& rows, SearchField field, std::string_view pattern,
              int from) {
    for (int i = std::max(0, from); i < int(rows.size()); ++i) {
        const EntryListRow& r = rows[size_t(i)];
        std::string text = field == SearchField::Fecha     ? r.fecha.toDisplay()
                           : field == SearchField::Descrip ? r.descrip
                                                           : std::to_string(r.num);
        if (MatchesPattern(text, pattern)) return i;
    }
    return -1;
}

} // namespace kesh::entries
