#pragma once
// The balance recalculation as every caller runs it: a "Espere por favor..." window reading
// "Recalculando saldos del balance...", pGenBalance on a per-operation connection, then
// "se actualizaron N registros del balance." when N > 0. A database error is shown.

class QWidget;

#include <string>

namespace kesh::gui {

// Returns the number of balance rows updated, -1 after an error (already shown).
int RecalculateBalancesWithWait(QWidget* parent, const std::string& dsn);

} // namespace kesh::gui
