#pragma once
// The account picker of the entry editors, the report dialogs and the voucher screen: a small
// "Buscar" window asks for a search text, then the accounts browser opens modally in
// selection mode, positioned on startCode.

#include <QString>

class QWidget;

namespace kesh {
struct AppContext;
}

namespace kesh::gui {

// Returns the chosen account's INTERNAL code, "" when the user cancelled (Escape or "X" in
// "Buscar", or "Cancel" in the list). With imputableOnly a group account is refused with
// "La cuenta <name> no es imputable." and the list stays open. startCode in either form.
QString PickAccount(QWidget* parent, kesh::AppContext& ctx, const QString& startCode = {},
                    bool imputableOnly = true);

// The same for a list restricted to one class (1 providers, 2 customers; -1 all), with the
// window title of the search box.
QString PickAccount(QWidget* parent, kesh::AppContext& ctx, const QString& startCode,
                    bool imputableOnly, int clase, const QString& title);

} // namespace kesh::gui
