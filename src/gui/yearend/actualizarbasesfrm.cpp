#include "gui/yearend/actualizarbasesfrm.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

#include "app/context.h"
#include "app/fbtools.h"
#include "app/maintenance.h"
#include "gui/widgets/dialogs.h"
#include "gui/yearend/choosers.h"
#include "gui/widgets/waitcursor.h"

namespace kesh::gui {

TActualizarBasesFrm::TActualizarBasesFrm(std::string appDir, std::string firebirdDir,
                                         std::function<void()> closeMain,
                                         std::function<void()> reopenMain, QWidget* parent)
    : QDialog(parent), appDir_(std::move(appDir)), firebirdDir_(std::move(firebirdDir)),
      closeMain_(std::move(closeMain)), reopenMain_(std::move(reopenMain)) {
    setWindowTitle(QStringLiteral("Actualizar Bases"));
    auto* text = new QLabel(
        QStringLiteral("Si instaló KESH2 sobre una versión anterior deberá actualizar las bases (Empresas) "
                       "para que funcionen correctamente en esta versión de KESH.\n"
                       "Este proceso actualizará todas las bases que tenga dentro de la carpeta %1.")
            .arg(QString::fromStdString(DataDir(appDir_))),
        this);
    text->setWordWrap(true);
    LProgreso = new QLabel(this);
    BtnOk = new QPushButton(QStringLiteral("Aceptar"), this);
    BtnCancel = new QPushButton(QStringLiteral("Cancelar"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(text);
    lay->addWidget(LProgreso);
    lay->addLayout(buttons);
    resize(460, 170);
    connect(BtnOk, &QPushButton::clicked, this, &TActualizarBasesFrm::BtnOkClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TActualizarBasesFrm::BtnOkClick() {
    BtnOk->setEnabled(false);
    BtnCancel->setEnabled(false);
    UpdateReport report;
    {
        WaitCursor busy;
        if (closeMain_) closeMain_();
        report = UpdateAllCompanies(appDir_, FindFirebirdTool("isql", firebirdDir_), [this](const ScriptRun& r) {
            LProgreso->setText(QString::fromStdString(
                r.script + "  " + std::filesystem::path(r.company).filename().string()));
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
        if (reopenMain_) reopenMain_();
    }
    // Success is silent, as before; a failure must not be.
    if (!report.allOk())
        ShowError(this, QStringLiteral("No se pudieron actualizar todas las bases:\n") +
                            QString::fromStdString(report.failureText()));
    accept();
}

} // namespace kesh::gui
