#pragma once
// Contabilidad > "&Cuentas...", Compras > "&Proveedores...", Ventas > "&Clientes...": the
// accounts browser as a maximised MDI child. Only one is open at a time (a second call
// brings it up with the new view), and opening it closes the entries browser.

#include "accounts/browse.h"

class QMdiArea;
class TBrCtasFrm;

namespace kesh {
struct AppContext;
}

namespace kesh::gui {

TBrCtasFrm* OpenAccountsBrowser(QMdiArea* mdi, kesh::AppContext& ctx,
                                AccountClassFilter filter = AccountClassFilter::All);

// After a company or year change: the open accounts browser is closed and opened again in the
// general view, so it shows the new company or year.
void ReopenAccountsBrowser(QMdiArea* mdi, kesh::AppContext& ctx);

} // namespace kesh::gui
