#pragma once
// "Crear respaldo..." and "Recuperar Respaldo..." of the Utilidades menu.

class QWidget;

namespace kesh {
struct AppContext;
}

namespace kesh::gui {

// Packs the open company into base + DD-MM-YYYY + ".zip" in a folder the user chooses. The
// company stays open; the file is frozen while it is copied, so work in progress elsewhere
// does not spoil the copy.
void CrearRespaldo(QWidget* parent, const AppContext& ctx);

// Unpacks the company of a backup into a folder the user chooses. Asks before replacing a
// file of the same name and never replaces the company that is open. The caller checks the
// user's level first. The restored company is not opened.
void RecuperarRespaldo(QWidget* parent, const AppContext& ctx);

} // namespace kesh::gui
