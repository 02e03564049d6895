#pragma once
// Fiscal years (table ejerc): the list the main window shows, the current year, the
// activation ticks, adding, changing and deleting years, and the opening entry a new year
// takes over from the closing entry of the year before.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/context.h"
#include "app/date.h"
#include "db/database.h"

namespace kesh::db {

// Every year in id order.
std::vector<FiscalYear> LoadFiscalYears(Transaction& tr);
std::vector<FiscalYear> LoadFiscalYears(const std::string& dsn);
// One year; nullopt when the id does not exist.
std::optional<FiscalYear> ReadFiscalYear(Transaction& tr, int id);
std::optional<FiscalYear> ReadFiscalYear(const std::string& dsn, int id);

// The list item: "3. ENE/05 - DIC/05 !# Ejercicio 2005" ("!" when the result-closing entry
// exists, "#" when the closing entry exists, a blank each otherwise).
std::string FiscalYearItemText(const FiscalYear& y);
// The id an item text stands for: its leading digits (0 when there are none).
int FiscalYearItemId(const std::string& itemText);

// The warnings shown when a year becomes current, in order (empty when its dates are
// plausible for `today`).
std::vector<std::string> FiscalYearWarnings(const FiscalYear& y, Date today);

// Stores the tick of a year ("+" ticked, "-" not).
void SetFiscalYearActive(Transaction& tr, int id, bool ticked);
void SetFiscalYearActive(const std::string& dsn, int id, bool ticked);

// Dates proposed by "Agregar": the day after the current year and its anniversary minus one
// day (both today when that anniversary is 29 February of a year without it); with no
// current year (id 0) the calendar year of today, or of next year from August on.
std::pair<Date, Date> DefaultNewYearDates(const FiscalYear& current, Date today);

// "Debe asignar un nombre al ejercicio" for an empty description, else "".
std::string CheckFiscalYearInput(const std::string& descrip);

// Adds a year (not ticked) and returns its id. When openingFromClosingEntry is not 0 the
// new year gets its opening entry from that closing entry, in the same transaction.
int AddFiscalYear(Transaction& tr, const std::string& descrip, Date fech1, Date fech2,
                  int openingFromClosingEntry = 0);
void ChangeFiscalYear(Transaction& tr, int id, const std::string& descrip, Date fech1, Date fech2);

inline constexpr const char* kYearHasEntries = "El ejercicio tiene movimientos, no puede ser borrado";
int CountEntries(Transaction& tr, int yearId);
// Deletes a year without entries; returns false (and deletes nothing) when it has some.
bool DeleteFiscalYear(Transaction& tr, int id);

// Whether the year already has its opening entry (asientos.idaux = -1).
bool HasOpeningEntry(Transaction& tr, int yearId);
bool HasOpeningEntry(const std::string& dsn, int yearId);

// Entry number 1 of year newYearId dated `start`, "Asiento de Apertura", idaux = -1, with
// one line per line of closingEntryId: same account and amount, opposite side, concept -1,
// empty detail. Returns the new entry's id. Runs in the caller's transaction.
int GenerateOpeningEntry(Transaction& tr, int newYearId, Date start, int closingEntryId);

} // namespace kesh::db
