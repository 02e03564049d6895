#include "gui/yearend/cierrefrm.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "db/database.h"
#include "gui/accounts/accountpicker.h"
#include "gui/widgets/dialogs.h"

namespace kesh::gui {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

QDate toQDate(Date d) { return d.isZero() ? QDate() : QDate(d.year(), d.month(), d.day()); }
Date fromQDate(const QDate& d) { return d.isValid() ? Date::fromYmd(d.year(), d.month(), d.day()) : Date(); }

QDateEdit* dateEdit(QWidget* parent, Date d) {
    auto* e = new QDateEdit(parent);
    e->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    e->setCalendarPopup(true);
    e->setDate(toQDate(d));
    return e;
}

QPushButton* accountLabel(QWidget* parent) {
    auto* b = new QPushButton(parent);
    b->setFlat(true);
    b->setStyleSheet(QStringLiteral("text-align: left; font-family: monospace;"));
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

// The code as the settings keep it: trimmed, at most 20 characters.
std::string settingCode(std::string c) {
    while (!c.empty() && c.back() == ' ') c.pop_back();
    while (!c.empty() && c.front() == ' ') c.erase(c.begin());
    if (c.size() > 20) c.resize(20);
    return c;
}

} // namespace

TCierreFrm::TCierreFrm(AppContext& ctx, std::function<void()> reopenCompany, QWidget* parent)
    : QDialog(parent), ctx_(ctx), reopenCompany_(std::move(reopenCompany)),
      codGP_(settingCode(ctx.settings.CodGP)), codResul_(settingCode(ctx.settings.CodResul)) {
    setWindowTitle(QStringLiteral("Generación de Asientos de Cierre"));
    pickAccount = [this](int imp) { return defaultPicker(imp); };
    const FiscalYear& ej = ctx_.currentEj;

    auto* refun = new QGroupBox(this);
    auto* refunLay = new QFormLayout(refun);
    if (ej.idrefun == 0) {
        ChRefun = new QCheckBox(QStringLiteral("Generar Asiento de Refundición de Cuentas de Resultado"), refun);
        EdFechaRefun = dateEdit(refun, ej.fech2);
        EdDescRefun = new QLineEdit(QStringLiteral("Refundición de Cuentas de Resultado"), refun);
        LCodGP = accountLabel(refun);
        LCodResul = accountLabel(refun);
        refunLay->addRow(ChRefun);
        refunLay->addRow(QStringLiteral("Fecha:"), EdFechaRefun);
        refunLay->addRow(QStringLiteral("Descripción:"), EdDescRefun);
        refunLay->addRow(QStringLiteral("Cuenta de grupo Resultados"), LCodGP);
        refunLay->addRow(QStringLiteral("Cuenta Resultado del Ejercicio"), LCodResul);
        connect(ChRefun, &QCheckBox::toggled, this, &TCierreFrm::ChRefunClick);
        connect(LCodGP, &QPushButton::clicked, this, &TCierreFrm::LCodGPClick);
        connect(LCodResul, &QPushButton::clicked, this, &TCierreFrm::LCodResulClick);
        showAccounts();
        ChRefunClick();
    } else {
        LRefunCreado = new QLabel(QStringLiteral("El asiento de Refundición de Cuentas de Resultado ya fue creado"), refun);
        ChBorrarRefun = new QCheckBox(QStringLiteral("Borrar asiento de Refundición de Cuentas de Resultado"), refun);
        refunLay->addRow(LRefunCreado);
        refunLay->addRow(ChBorrarRefun);
    }

    auto* cierre = new QGroupBox(this);
    auto* cierreLay = new QFormLayout(cierre);
    if (ej.idcierre == 0) {
        ChCierre = new QCheckBox(QStringLiteral("Generar Asiento de Cierre"), cierre);
        EdFechaCierre = dateEdit(cierre, ej.fech2);
        EdDescCierre = new QLineEdit(QStringLiteral("Asiento de Cierre"), cierre);
        cierreLay->addRow(ChCierre);
        cierreLay->addRow(QStringLiteral("Fecha:"), EdFechaCierre);
        cierreLay->addRow(QStringLiteral("Descripción:"), EdDescCierre);
        connect(ChCierre, &QCheckBox::toggled, this, &TCierreFrm::ChCierreClick);
        ChCierreClick();
    } else {
        LCierreCreado = new QLabel(QStringLiteral("El asiento de Cierre ya fue creado"), cierre);
        ChBorrarCierre = new QCheckBox(QStringLiteral("Borrar asiento de Cierre"), cierre);
        cierreLay->addRow(LCierreCreado);
        cierreLay->addRow(ChBorrarCierre);
    }

    BtnOk = new QPushButton(QStringLiteral("Aceptar"), this);
    BtnCancel = new QPushButton(QStringLiteral("Cancelar"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(refun);
    lay->addWidget(cierre);
    lay->addLayout(buttons);
    connect(BtnOk, &QPushButton::clicked, this, &TCierreFrm::BtnOkClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TCierreFrm::ChRefunClick() {
    const bool on = ChRefun->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(EdFechaRefun), static_cast<QWidget*>(EdDescRefun),
                       static_cast<QWidget*>(LCodGP), static_cast<QWidget*>(LCodResul)})
        w->setEnabled(on);
}

void TCierreFrm::ChCierreClick() {
    const bool on = ChCierre->isChecked();
    EdFechaCierre->setEnabled(on);
    EdDescCierre->setEnabled(on);
}

void TCierreFrm::showAccounts() {
    if (!LCodGP) return;
    try {
        LCodGP->setText(q(entries::AccountLabel(ctx_.companyPath, codGP_)));
        LCodResul->setText(q(entries::AccountLabel(ctx_.companyPath, codResul_)));
    } catch (const db::DbError& e) {
        ShowError(this, q(e.what()));
    }
}

void TCierreFrm::LCodGPClick() {
    codGP_ = pickAccount(0);
    showAccounts();
}

void TCierreFrm::LCodResulClick() {
    codResul_ = pickAccount(1);
    showAccounts();
}

std::string TCierreFrm::defaultPicker(int imp) {
    const std::string start = imp == 0 ? codGP_ : codResul_;
    const std::string code = PickAccount(this, ctx_, q(start), imp == 1).toStdString();
    if (code.empty() || imp == 1) return code;
    // The browser offers every account; the results group must be a group account.
    try {
        if (entries::IsImputableAccount(ctx_.companyPath, code)) {
            ShowNotice(this, QStringLiteral("La cuenta de grupo Resultados debe ser una cuenta no imputable."));
            return {};
        }
    } catch (const db::DbError& e) {
        ShowError(this, q(e.what()));
        return {};
    }
    return code;
}

void TCierreFrm::BtnOkClick() {
    ctx_.settings.CodGP = settingCode(codGP_);
    ctx_.settings.CodResul = settingCode(codResul_);
    try {
        SaveSettings(KeshIniPath(ctx_.appDir), ctx_.settings);
    } catch (const std::exception& e) {
        ShowError(this, q(e.what()));
    }

    entries::ClosingRequest rq;
    rq.generateRefun = ChRefun && ChRefun->isChecked();
    if (rq.generateRefun) {
        rq.refunDate = fromQDate(EdFechaRefun->date());
        rq.codGP = codGP_;
        rq.codResul = codResul_;
    }
    rq.generateCierre = ChCierre && ChCierre->isChecked();
    if (rq.generateCierre) rq.cierreDate = fromQDate(EdFechaCierre->date());
    rq.deleteRefun = ChBorrarRefun && ChBorrarRefun->isChecked();
    rq.deleteCierre = ChBorrarCierre && ChBorrarCierre->isChecked();

    entries::ClosingOutcome out;
    try {
        out = entries::RunClosing(ctx_.companyPath, ctx_.currentEj.id, rq);
    } catch (const db::DbError& e) {
        // Nothing was written: the transaction was rolled back. The dialog stays open.
        ShowError(this, q(e.withContext("al generar los asientos de cierre").what()));
        return;
    }
    accept();
    if (out.anything()) {
        if (reopenCompany_) reopenCompany_();
        ShowNotice(parentWidget(), q(out.text()));
    }
}

} // namespace kesh::gui
