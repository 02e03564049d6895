#pragma once
// The standard chart of accounts offered to a new company: the group and imputable accounts
// that purchase and sales vouchers need, a generic customer and a generic provider with their
// customer/provider records.

#include <functional>
#include <string>

#include "db/database.h"

namespace kesh {

inline constexpr const char* kStandardChartQuestion =
    "Desea que se genere en forma automática un plan de cuentas estandar con las cuentas "
    "mínimas necesarias para Compras y Ventas?";
inline constexpr const char* kStandardChartOnlyAtStart =
    "esta opción solo está disponible al iniciar una nueva empresa y antes de crear cuentas "
    "manualmente. Si lo desea puede borrar las cuentas creadas e intentarlo nuevamente";

// Whether the offer is made: fewer than 2 accounts, and forced or nasiclase = 1.
bool StandardChartOfferDue(db::Transaction& tr, bool forced, int nasiclase);

// Inserts every account of the standard chart that does not exist yet (an existing one keeps
// its name), with the two party records. Returns how many accounts were inserted.
int InstallStandardChart(db::Transaction& tr);

// The whole offer on the company `dsn`: asks `ask(question)` when due; "Si" installs the
// chart in one transaction; "No" on a company still flagged stores nasiclase = 0 and clears
// the flag in memory so the offer is not repeated. Returns true when the chart was generated.
bool OfferStandardChart(const std::string& dsn, bool forced, int& nasiclase,
                        const std::function<bool(const std::string&)>& ask);

} // namespace kesh
