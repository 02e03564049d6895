#include "gui/accounts/rangoctasfrm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "accounts/chart.h"
#include "accounts/codes.h"
#include "accounts/lookups.h"
#include "app/context.h"
#include "gui/accounts/accountpicker.h"
#include "gui/app/guiutil.h"
#include "gui/widgets/dialogs.h"

using namespace kesh;
using namespace kesh::gui;

TRangoCtasFrm::TRangoCtasFrm(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TRangoCtasFrm");
    setWindowTitle("Modificar Rango de Cuentas");
    auto* g = new QGridLayout(this);
    EdInicio = new QLineEdit(this);
    EdFin = new QLineEdit(this);
    for (QLineEdit* e : {EdInicio, EdFin}) {
        e->setReadOnly(true);
        e->setMinimumWidth(320);
    }
    auto* btInicio = new QPushButton("...", this);
    auto* btFin = new QPushButton("...", this);
    auto* btCopiar = new QPushButton("=", this);
    btCopiar->setToolTip("Copiar el inicio al fin");
    g->addWidget(new QLabel("Inicio", this), 0, 0);
    g->addWidget(EdInicio, 0, 1);
    g->addWidget(btInicio, 0, 2);
    g->addWidget(btCopiar, 0, 3, 2, 1);
    g->addWidget(new QLabel("Fin", this), 1, 0);
    g->addWidget(EdFin, 1, 1);
    g->addWidget(btFin, 1, 2);
    ChTodas = new QCheckBox("Todas las cuentas", this);
    g->addWidget(ChTodas, 2, 1);
    CbIndice = new QComboBox(this);
    for (int i = 0; i <= 4; ++i) CbIndice->addItem(Q(AdjustmentText(i)));
    g->addWidget(CbIndice, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BtOk = new QPushButton("Ok", this);
    BtCancel = new QPushButton("Cancel", this);
    buttons->addWidget(BtOk);
    buttons->addWidget(BtCancel);
    g->addLayout(buttons, 4, 0, 1, 4);

    connect(btInicio, &QPushButton::clicked, this, &TRangoCtasFrm::BtInicioClick);
    connect(btFin, &QPushButton::clicked, this, &TRangoCtasFrm::BtFinClick);
    connect(btCopiar, &QPushButton::clicked, this, &TRangoCtasFrm::BtCopiarClick);
    connect(ChTodas, &QCheckBox::toggled, this, &TRangoCtasFrm::ChTodasClick);
    connect(BtOk, &QPushButton::clicked, this, &TRangoCtasFrm::BtOkClick);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
    updateOk();
}

QString TRangoCtasFrm::shown(const QString& code) {
    if (code.isEmpty()) return {};
    try {
        const std::string name = db::WithTransaction(
            ctx_.companyPath, [&](db::Transaction& tr) { return AccountName(tr, S(code)); });
        return Q(ToDisplayCode(S(code))) + " " + Q(name);
    } catch (const std::exception& e) {
        ShowError(this, QString::fromUtf8(e.what()));
        return {};
    }
}

void TRangoCtasFrm::SetStart(const QString& code) {
    start_ = Q(ToInternalCode(S(code)));
    EdInicio->setText(shown(start_));
    updateOk();
}

void TRangoCtasFrm::SetEnd(const QString& code) {
    end_ = Q(ToInternalCode(S(code)));
    EdFin->setText(shown(end_));
    updateOk();
}

void TRangoCtasFrm::BtInicioClick() {
    const QString code = PickAccount(this, ctx_, start_, false);
    if (!code.isEmpty()) SetStart(code);
}

void TRangoCtasFrm::BtFinClick() {
    const QString code = PickAccount(this, ctx_, end_, false);
    if (!code.isEmpty()) SetEnd(code);
}

void TRangoCtasFrm::BtCopiarClick() {
    if (!start_.isEmpty()) SetEnd(start_);
    else if (!end_.isEmpty()) SetStart(end_);
}

void TRangoCtasFrm::ChTodasClick(bool on) {
    if (!on) return;
    try {
        const ChartBounds b =
            db::WithTransaction(ctx_.companyPath, [](db::Transaction& tr) { return GetChartBounds(tr); });
        SetStart(Q(b.firstCode));
        SetEnd(Q(b.lastCode));
    } catch (const std::exception& e) {
        ShowError(this, QString::fromUtf8(e.what()));
    }
}

void TRangoCtasFrm::updateOk() { BtOk->setEnabled(!EdInicio->text().isEmpty() && !EdFin->text().isEmpty()); }

void TRangoCtasFrm::BtOkClick() {
    const int index = CbIndice->currentIndex();
    if (!AskYesNo(this, Q(AdjustmentRangeQuestion(index, S(EdInicio->text()), S(EdFin->text())))))
        return;
    try {
        db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) {
            SetAdjustmentRange(tr, S(start_), S(end_), index);
        });
    } catch (const std::exception& e) {
        ShowError(this, QString::fromUtf8(e.what()));
        return;
    }
    accept();
}
