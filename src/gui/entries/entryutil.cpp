#include "gui/entries/entryutil.h"

#if __has_include("gui/accounts/accountpicker.h")
#include "gui/accounts/accountpicker.h"
#define KESH_HAVE_ACCOUNT_PICKER 1
#else
#include <QInputDialog>
#include "accounts/codes.h"
#endif

namespace kesh::gui {

std::string PickImputableAccount(QWidget* parent, AppContext& ctx, const QString& start) {
#ifdef KESH_HAVE_ACCOUNT_PICKER
    return PickAccount(parent, ctx, start, true).toStdString();
#else
    (void)ctx;
    bool ok = false;
    QString code = QInputDialog::getText(parent, QStringLiteral("Buscar Cuenta"), QStringLiteral("Código:"),
                                         QLineEdit::Normal, start, &ok);
    return ok ? ToInternalCode(code.trimmed().toStdString()) : std::string();
#endif
}

} // namespace kesh::gui
