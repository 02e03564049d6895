#pragma once
// What the entries browser shows: the entry list (pselasientos / pselasimal) with its view,
// month and amount filters, and the search of F7 to F10.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/amount.h"
#include "app/date.h"

namespace kesh::db {
class Connection;
}

namespace kesh::entries {

enum class View { Genericos, Compras, Ventas, Todos, Desbalanceados };

// "ASIENTOS GENERICOS", "ASIENTOS DE COMPRAS", ... "ASIENTOS DESBALANCEADOS".
std::string ViewTitle(View v);
// The kind argument of pselasientos: 3, 1, 2, 0 (Desbalanceados uses pselasimal).
int ViewKind(View v);

// "Todos", "Enero", ... "Diciem": index 0 to 12 as the month combo shows them.
const std::vector<std::string>& MonthNames();
// The stored cbMesIdx, with an invalid index replaced by 1 (Enero).
int ValidMonthIndex(int stored);

// The amount filter: the text when ticked and a valid number, with two decimals and "."
// ("1500" gives "1500.00"), else "0.00".
std::string AmountFilter(bool ticked, std::string_view text);

struct EntryListRow {
    int64_t id = 0;
    int num = 0;
    std::string descrip;
    Date fecha;
    int npas = 0;
    int idej = 0;
    Amount import;
    std::string clase;
    int clas = 0;
    std::string nfact;
    int64_t idtip = 0;
    int64_t idx = 0;
    int marc = 0;
    int coleg = 0;
    int nrec = 0;
};

// The list of a view, in the order the procedure gives, read a part at a time, so a browser
// can show the first screen of a year of 100 000 entries at once and bring in the rest as it
// is needed. The rows come from one
// read-only snapshot of `conn` (which must outlive the cursor), ended after the last row.
class EntryListCursor {
public:
    EntryListCursor(db::Connection& conn, int year, View view, int month, const std::string& amount);
    ~EntryListCursor();
    EntryListCursor(const EntryListCursor&) = delete;
    EntryListCursor& operator=(const EntryListCursor&) = delete;

    // Appends up to `max` rows to `out`; returns how many it appended.
    int fetch(std::vector<EntryListRow>& out, int max);
    bool done() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// The browser's search: "*" any run of characters, "?" one character, case-insensitive
// for ASCII letters; the whole text must match.
bool MatchesPattern(std::string_view text, std::string_view pattern);

enum class SearchField { Fecha, Descrip, Numero };
// Whether the row's date (day/month/year), description or number matches the pattern.
bool EntryMatches(const EntryListRow& row, SearchField field, std::string_view pattern);
// First row at or after `from` whose field matches; -1 when none.
int FindEntry(const std::vector<EntryListRow>& rows, SearchField field, std::string_view pattern,
              int from);

} // namespace kesh::entries
