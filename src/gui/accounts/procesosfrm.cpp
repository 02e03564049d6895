#include "gui/accounts/procesosfrm.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "accounts/chart.h"
#include "app/context.h"
#include "gui/accounts/recalc.h"
#include "gui/widgets/dialogs.h"
#include "vouchers/optypes.h"

using namespace kesh;
using namespace kesh::gui;

namespace {
QLabel* Note(const char* text, QWidget* parent) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setWordWrap(true);
    l->setIndent(20);
    return l;
}
} // namespace

TProcesosFrm::TProcesosFrm(AppContext& ctx, bool withTokens, QWidget* parent)
    : QDialog(parent), ctx_(ctx), withTokens_(withTokens) {
    setObjectName("TProcesosFrm");
    setWindowTitle("SELECCIONE LOS PROCESOS QUE DESEE EJECUTAR");
    auto* l = new QVBoxLayout(this);

    GbIds = new QGroupBox(this);
    auto* gl = new QVBoxLayout(GbIds);
    ChGenIds = new QCheckBox(QString::fromUtf8("Generar IDs para Búsqueda Rápida de Cuentas"), GbIds);
    gl->addWidget(ChGenIds);
    auto* nl = new QHBoxLayout;
    nl->addWidget(new QLabel("Numero inicial:", GbIds));
    EdNumIni = new QLineEdit("1", GbIds);
    EdNumIni->setValidator(new QIntValidator(0, 99999, EdNumIni));
    EdNumIni->setMaximumWidth(80);
    nl->addWidget(EdNumIni);
    nl->addStretch(1);
    gl->addLayout(nl);
    ChSobreescribir = new QCheckBox("Sobreescribir los IDs existentes", GbIds);
    gl->addWidget(ChSobreescribir);
    RbNumerica = new QRadioButton(
        QString::fromUtf8("Se generará una serie numérica a partir del número inicial."), GbIds);
    RbNumerica->setChecked(true);
    RbLetra = new QRadioButton(
        QString::fromUtf8("Se generará una serie numérica a partir del número inicial "), GbIds);
    gl->addWidget(RbNumerica);
    gl->addWidget(RbLetra);
    gl->addWidget(Note("anteponiendo la letra de clase; G, P o C, según se trate de\n"
                       "cuentas Genéricas, Proveedores o de Clientes. ",
                       GbIds));
    l->addWidget(GbIds);
    GbIds->setVisible(withTokens_);

    ChRecalc = new QCheckBox("Recalcular Saldos del Balance", this);
    l->addWidget(ChRecalc);
    l->addWidget(Note("Este procedimiento recalcula los saldos de las cuentas que se ven en esta "
                      "pantalla. Puede demorar varios minutos cuando se tienen muchos asientos "
                      "ingresados. ",
                      this));
    ChTipoOper = new QCheckBox(QString::fromUtf8("Asignar Tipo de Operación a Comprobantes"), this);
    l->addWidget(ChTipoOper);
    l->addWidget(Note("Este procedimiento revisa los comprobantes y cuando encuentra alguno que "
                      "no tenga asignado el tipo de operación, le asigna el tipo estandar "
                      "establecido en el Cliente/Proveedor.",
                      this));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BtAceptar = new QPushButton("Aceptar", this);
    BtCancelar = new QPushButton("Cancelar", this);
    buttons->addWidget(BtAceptar);
    buttons->addWidget(BtCancelar);
    l->addLayout(buttons);
    connect(BtAceptar, &QPushButton::clicked, this, &TProcesosFrm::BtAceptarClick);
    connect(BtCancelar, &QPushButton::clicked, this, &QDialog::reject);
}

void TProcesosFrm::BtAceptarClick() {
    const bool ids = withTokens_ && ChGenIds->isChecked();
    if (!ids && !ChRecalc->isChecked() && !ChTipoOper->isChecked()) {
        reject();
        return;
    }
    try {
        if (ids) {
            const TokenMode mode = RbLetra->isChecked() ? TokenMode::Letter : TokenMode::Numeric;
            const int start = EdNumIni->text().toInt();
            const bool overwrite = ChSobreescribir->isChecked();
            db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) {
                GenerateTokens(tr, mode, start, overwrite);
            });
            tokensGenerated_ = true;
        }
        if (ChRecalc->isChecked()) RecalculateBalancesWithWait(this, ctx_.companyPath);
        if (ChTipoOper->isChecked()) vouchers::AssignOperationTypes(ctx_.companyPath);
    } catch (const std::exception& e) {
        ShowError(this, QString::fromUtf8(e.what()));
    }
    ShowNotice(this, "Proceso(s) terminado(s)");
    accept();
}

namespace kesh::gui {
void ShowProcesosUtiles(QWidget* parent, AppContext& ctx) {
    TProcesosFrm dlg(ctx, false, parent);
    dlg.exec();
}
} // namespace kesh::gui
