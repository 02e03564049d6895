#include "gui/app/guiutil.h"

#include <QDialog>
#include <exception>

namespace kesh::gui {

QHBoxLayout* OkCancelRow(QDialog* dlg, QPushButton*& ok) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    ok = new QPushButton(QStringLiteral("Aceptar"));
    auto* cancel = new QPushButton(QStringLiteral("Cancelar"));
    row->addWidget(ok);
    row->addWidget(cancel);
    QObject::connect(cancel, &QPushButton::clicked, dlg, &QDialog::reject);
    return row;
}

QString ErrorText(const std::exception& e) { return QString::fromUtf8(e.what()); }

} // namespace kesh::gui
