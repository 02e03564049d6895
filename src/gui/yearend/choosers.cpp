#include "gui/yearend/choosers.h"

#include <QFileDialog>

namespace kesh::gui {
namespace {
ChooserHook& hook() {
    static ChooserHook h;
    return h;
}
} // namespace

void SetChooserHook(ChooserHook h) { hook() = std::move(h); }

QString ChooseFolder(QWidget* parent, const QString& title, const QString& startDir) {
    if (hook()) return hook()(title);
    return QFileDialog::getExistingDirectory(parent, title, startDir);
}

QString ChooseZipFile(QWidget* parent, const QString& startDir) {
    const QString title = QStringLiteral("Recuperar Respaldo");
    if (hook()) return hook()(title);
    QFileDialog dlg(parent, title, startDir, QStringLiteral("Archivos comprimidos (*.zip)"));
    dlg.setDefaultSuffix(QStringLiteral("zip"));
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().first();
}

} // namespace kesh::gui
