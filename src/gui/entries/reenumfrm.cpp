#include "gui/entries/reenumfrm.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "db/database.h"
#include "entries/entries.h"
#include "gui/entries/entryutil.h"
#include "gui/widgets/dialogs.h"

namespace kesh::gui {

using namespace kesh::entries;

namespace {
QHBoxLayout* OkCancel(QDialog* d, QPushButton** ok) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    *ok = new QPushButton(QStringLiteral("Aceptar"), d);
    auto* cancel = new QPushButton(QStringLiteral("Cancelar"), d);
    row->addWidget(*ok);
    row->addWidget(cancel);
    QObject::connect(cancel, &QPushButton::clicked, d, &QDialog::reject);
    return row;
}
} // namespace

TReenumFrm::TReenumFrm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Reenumerar Asientos"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(new QLabel(QStringLiteral("Se reenumerarán los asientos del ejercicio corriente"), this));
    auto* form = new QFormLayout;
    EdDesde = new QSpinBox(this);
    EdDesde->setRange(1, 99999999);
    EdDesde->setValue(1);
    form->addRow(QStringLiteral("Comenzando con el número:"), EdDesde);
    top->addLayout(form);
    ChRecalc = new QCheckBox(QStringLiteral("Recalcular Saldos"), this);
    ChRecalc->setChecked(true);
    top->addWidget(ChRecalc);
    QPushButton* ok = nullptr;
    top->addLayout(OkCancel(this, &ok));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

int TReenumFrm::firstNumber() const { return EdDesde->value(); }
bool TReenumFrm::recalculate() const { return ChRecalc->isChecked(); }

TBorrarAsiFrm::TBorrarAsiFrm(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setWindowTitle(QStringLiteral("BORRAR ASIENTOS"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(new QLabel(QStringLiteral("Eliminar los asientos del ejercicio %1").arg(ctx.currentEj.id), this));
    auto* form = new QFormLayout;
    EdDesde = new QDateEdit(ToQDate(ctx.currentEj.fech1), this);
    EdHasta = new QDateEdit(ToQDate(ctx.currentEj.fech2), this);
    for (QDateEdit* d : {EdDesde, EdHasta}) {
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setCalendarPopup(true);
    }
    form->addRow(QStringLiteral("Desde la fecha:"), EdDesde);
    form->addRow(QStringLiteral("Hasta la fecha:"), EdHasta);
    top->addLayout(form);
    ChSinLimite = new QCheckBox(QStringLiteral("Sin limite de fechas"), this);
    top->addWidget(ChSinLimite);
    connect(ChSinLimite, &QCheckBox::toggled, this, [this](bool on) {
        EdDesde->setEnabled(!on);
        EdHasta->setEnabled(!on);
    });
    QPushButton* ok = nullptr;
    top->addLayout(OkCancel(this, &ok));
    connect(ok, &QPushButton::clicked, this, &TBorrarAsiFrm::BtAceptarClick);
}

void TBorrarAsiFrm::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Down || e->key() == Qt::Key_Up) {
        focusNextPrevChild(e->key() == Qt::Key_Down);
        return;
    }
    QDialog::keyPressEvent(e);
}

void TBorrarAsiFrm::BtAceptarClick() {
    bool done = false;
    if (ctx_.userLevel >= 2) {
        ShowNotice(this, QString::fromUtf8(kMsgNotAuthorized));
    } else {
        std::optional<DateRange> range;
        if (!ChSinLimite->isChecked()) range = DateRange{FromQDate(EdDesde->date()), FromQDate(EdHasta->date())};
        if (AskYesNo(this, QString::fromStdString(BulkDeleteQuestion(ctx_.currentEj.id, range)))) {
            try {
                BulkDelete(ctx_.companyPath, ctx_.currentEj.id, range);
                done = true;
            } catch (const db::DbError& e) {
                ShowError(this, QString::fromStdString(e.what()));
            }
        }
    }
    ShowNotice(this, QString::fromUtf8(done ? kMsgBulkDone : kMsgBulkFailed));
    if (done) accept(); else reject();
}

} // namespace kesh::gui
