#include "gui/yearend/cierrefrm.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "accounts/codes.h"
#include "db/database.h"
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
    codGP_ = pickAccount(0).cod;
    showAccounts();
}

void TCierreFrm::LCodResulClick() {
    codResul_ = pickAccount(1).cod;
    showAccounts();
}

entries::AccountChoice TCierreFrm::defaultPicker(int imp) {
    bool ok = false;
    const QString text = QInputDialog::getText(this, QStringLiteral("Buscar Cuenta"), QStringLiteral("Buscar:"),
                                               QLineEdit::Normal, QString(), &ok);
    if (!ok) return {};
    std::vector<entries::AccountChoice> found;
    try {
        found = entries::FindAccounts(ctx_.companyPath, text.trimmed().toStdString(), imp);
    } catch (const db::DbError& e) {
        ShowError(this, q(e.what()));
        return {};
    }
    QDialog pick(this);
    pick.setWindowTitle(QStringLiteral("Buscar Cuenta"));
    auto* list = new QListWidget(&pick);
    for (const auto& a : found) {
        std::string code = ToDisplayCode(a.cod);
        if (code.size() < 10) code.resize(10, ' ');
        list->addItem(q(code + " " + a.name));
    }
    if (list->count() > 0) list->setCurrentRow(0);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &pick);
    box->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    auto* lay = new QVBoxLayout(&pick);
    lay->addWidget(list);
    lay->addWidget(box);
    connect(box, &QDialogButtonBox::accepted, &pick, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, &pick, &QDialog::reject);
    connect(list, &QListWidget::itemDoubleClicked, &pick, &QDialog::accept);
    pick.resize(420, 360);
    if (pick.exec() != QDialog::Accepted || list->currentRow() < 0) return {};
    return found[size_t(list->currentRow())];
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
