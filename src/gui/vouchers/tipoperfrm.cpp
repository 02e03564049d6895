#include "gui/vouchers/tipoperfrm.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "db/database.h"
#include "gui/widgets/dialogs.h"
#include "vouchers/optypes.h"

using namespace kesh::vouchers;

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

TTipOperFrm::TTipOperFrm(QWidget* parent, std::string dsn, char tip, bool choosing)
    : QDialog(parent), dsn_(std::move(dsn)), tip_(tip == 'V' ? 'V' : 'C'), choosing_(choosing) {
    setWindowTitle(QStringLiteral("Tipos de Operación"));
    auto* layout = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    layout->addLayout(body);

    Grid = new QTableWidget(0, 3, this);
    Grid->setHorizontalHeaderLabels(
        {QStringLiteral("ID"), QStringLiteral("C/V"), QStringLiteral("TIPOS DE OPERACION")});
    Grid->verticalHeader()->hide();
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setColumnWidth(0, 50);
    Grid->setColumnWidth(1, 40);
    Grid->horizontalHeader()->setStretchLastSection(true);
    Grid->setMinimumSize(420, 260);
    body->addWidget(Grid, 1);

    auto* side = new QVBoxLayout;
    auto* edicion = new QGroupBox(QStringLiteral("Edición"), this);
    auto* ed = new QVBoxLayout(edicion);
    BtAgregar = new QPushButton(QStringLiteral("Agregar   <F2>"), edicion);
    BtModificar = new QPushButton(QStringLiteral("Modificar <F5>"), edicion);
    BtBorrar = new QPushButton(QStringLiteral("Borrar      <F6>"), edicion);
    for (QPushButton* b : {BtAgregar, BtModificar, BtBorrar}) {
        b->setAutoDefault(false);
        ed->addWidget(b);
    }
    side->addWidget(edicion);
    auto* ver = new QGroupBox(QStringLiteral("Ver"), this);
    auto* v = new QVBoxLayout(ver);
    RbVentas = new QRadioButton(QStringLiteral("de Ventas"), ver);
    RbCompras = new QRadioButton(QStringLiteral("de Compras"), ver);
    v->addWidget(RbVentas);
    v->addWidget(RbCompras);
    (tip_ == 'V' ? RbVentas : RbCompras)->setChecked(true);
    ver->setVisible(!choosing_);
    side->addWidget(ver);
    side->addStretch();
    body->addLayout(side);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    BtnOk = new QPushButton(QStringLiteral("Aceptar"), this);
    BtnCancel = new QPushButton(QStringLiteral("Cancelar"), this);
    BtnOk->setAutoDefault(false);
    BtnCancel->setAutoDefault(false);
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    layout->addLayout(buttons);

    // The editing panel floats over the grid.
    PnEdicion = new QFrame(this);
    PnEdicion->setFrameShape(QFrame::StyledPanel);
    PnEdicion->setAutoFillBackground(true);
    auto* pn = new QVBoxLayout(PnEdicion);
    LTitulo = new QLabel(PnEdicion);
    LTitulo->setAlignment(Qt::AlignCenter);
    pn->addWidget(LTitulo);
    pn->addWidget(new QLabel(QStringLiteral("Tipo de operación"), PnEdicion));
    EdDescrip = new QLineEdit(PnEdicion);
    EdDescrip->setMaxLength(int(kOperationTypeWidth));
    pn->addWidget(EdDescrip);
    auto* pb = new QHBoxLayout;
    BtEdAceptar = new QPushButton(QStringLiteral("Aceptar"), PnEdicion);
    BtEdCancelar = new QPushButton(QStringLiteral("Cancelar"), PnEdicion);
    BtEdAceptar->setAutoDefault(false);
    BtEdCancelar->setAutoDefault(false);
    pb->addStretch();
    pb->addWidget(BtEdAceptar);
    pb->addWidget(BtEdCancelar);
    pn->addLayout(pb);
    PnEdicion->hide();

    connect(BtAgregar, &QPushButton::clicked, this, &TTipOperFrm::BtAgregarClick);
    connect(BtModificar, &QPushButton::clicked, this, &TTipOperFrm::BtModificarClick);
    connect(BtBorrar, &QPushButton::clicked, this, &TTipOperFrm::BtBorrarClick);
    connect(BtEdAceptar, &QPushButton::clicked, this, &TTipOperFrm::BtEdAceptarClick);
    connect(BtEdCancelar, &QPushButton::clicked, this, &TTipOperFrm::BtEdCancelarClick);
    connect(RbVentas, &QRadioButton::toggled, this, &TTipOperFrm::SideChanged);
    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Grid, &QTableWidget::cellDoubleClicked, this, [this] {
        if (choosing_) accept();
    });
    LoadList(0);
}

std::pair<int, QString> TTipOperFrm::Choose(QWidget* parent, const std::string& dsn, char tip) {
    TTipOperFrm frm(parent, dsn, tip, true);
    if (frm.exec() == QDialog::Accepted && frm.CurrentId() > 0)
        return {frm.CurrentId(), frm.CurrentDescription()};
    return {0, QString::fromUtf8(kNoOperationType)};
}

void kesh::gui::ShowTiposOperacion(QWidget* parent, const std::string& dsn, char tip) {
    TTipOperFrm frm(parent, dsn, tip, false);
    frm.exec();
}

int TTipOperFrm::CurrentId() const {
    const int row = Grid->currentRow();
    if (row < 0 || !Grid->item(row, 0)) return 0;
    return Grid->item(row, 0)->text().toInt();
}

QString TTipOperFrm::CurrentDescription() const {
    const int row = Grid->currentRow();
    if (row < 0 || !Grid->item(row, 2)) return {};
    return Grid->item(row, 2)->text();
}

void TTipOperFrm::SelectId(int id) {
    for (int row = 0; row < Grid->rowCount(); ++row)
        if (Grid->item(row, 0)->text().toInt() == id) {
            Grid->setCurrentCell(row, 2);
            return;
        }
}

void TTipOperFrm::LoadList(int keepId) {
    const int oldRow = Grid->currentRow();
    std::vector<OperationType> list;
    try {
        list = kesh::db::WithTransaction(
            dsn_, [&](kesh::db::Transaction& tr) { return ListOperationTypes(tr, tip_); });
    } catch (const kesh::db::DbError& e) {
        kesh::gui::ShowError(this, q(e.what()));
    }
    Grid->setRowCount(int(list.size()));
    for (int row = 0; row < int(list.size()); ++row) {
        const OperationType& t = list[std::size_t(row)];
        Grid->setItem(row, 0, new QTableWidgetItem(QString::number(t.id)));
        Grid->setItem(row, 1, new QTableWidgetItem(QString(QChar(t.tip))));
        Grid->setItem(row, 2, new QTableWidgetItem(q(t.descrip)));
    }
    if (!list.empty()) {
        Grid->setCurrentCell(std::clamp(oldRow, 0, int(list.size()) - 1), 2);
        if (keepId > 0) SelectId(keepId);
    }
    BtModificar->setEnabled(!list.empty());
    BtBorrar->setEnabled(!list.empty());
}

void TTipOperFrm::SideChanged() {
    tip_ = RbVentas->isChecked() ? 'V' : 'C';
    Grid->setCurrentCell(-1, -1);
    LoadList(0);
}

void TTipOperFrm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const QRect g = Grid->geometry();
    PnEdicion->setGeometry(g.x() + 20, g.y() + g.height() / 4, g.width() - 40, 140);
}

void TTipOperFrm::BtAgregarClick() {
    adding_ = true;
    LTitulo->setText(QStringLiteral("AGREGAR"));
    EdDescrip->clear();
    PnEdicion->show();
    PnEdicion->raise();
    EdDescrip->setFocus();
}

void TTipOperFrm::BtModificarClick() {
    if (!BtModificar->isEnabled() || CurrentId() == 0) return;
    adding_ = false;
    LTitulo->setText(QStringLiteral("MODIFICAR"));
    EdDescrip->setText(CurrentDescription());
    EdDescrip->setCursorPosition(EdDescrip->text().size());
    PnEdicion->show();
    PnEdicion->raise();
    EdDescrip->setFocus();
}

void TTipOperFrm::BtEdAceptarClick() {
    const std::string text = EdDescrip->text().toStdString();
    int keep = adding_ ? 0 : CurrentId();
    std::string problem;
    try {
        problem = kesh::db::WithTransaction(dsn_, [&](kesh::db::Transaction& tr) {
            return adding_ ? AddOperationType(tr, tip_, text, &keep)
                           : ChangeOperationType(tr, keep, text);
        });
    } catch (const kesh::db::DbError& e) {
        kesh::gui::ShowError(this, q(e.what()));
    }
    if (!problem.empty()) {
        kesh::gui::ShowNotice(this, q(problem));
        return;  // the panel stays open with what was typed
    }
    PnEdicion->hide();
    LoadList(keep);
}

void TTipOperFrm::BtEdCancelarClick() { PnEdicion->hide(); }

void TTipOperFrm::BtBorrarClick() {
    if (!BtBorrar->isEnabled()) return;
    const int id = CurrentId();
    if (id == 0) return;
    try {
        const int used = kesh::db::WithTransaction(dsn_, [&](kesh::db::Transaction& tr) {
            return VouchersUsingOperationType(tr, id);
        });
        if (used != 0) {
            kesh::gui::ShowNotice(
                this, QStringLiteral(
                          "No se puede borrar por existir comprobantes que que lo utilizan."));
            return;
        }
        if (!kesh::gui::AskYesNo(this, QStringLiteral("Realmente desea borrar el Tipo de "
                                                      "Operación ") +
                                           CurrentDescription() + QStringLiteral("?")))
            return;
        const std::string problem = kesh::db::WithTransaction(
            dsn_, [&](kesh::db::Transaction& tr) { return DeleteOperationType(tr, id); });
        if (!problem.empty()) kesh::gui::ShowNotice(this, q(problem));
    } catch (const kesh::db::DbError& e) {
        kesh::gui::ShowError(this, q(e.what()));
    }
    LoadList(0);
}

void TTipOperFrm::keyPressEvent(QKeyEvent* event) {
    if (PnEdicion->isVisible()) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            BtEdAceptarClick();
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            BtEdCancelarClick();
            return;
        }
        QDialog::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_F2: BtAgregarClick(); return;
    case Qt::Key_F5: BtModificarClick(); return;
    case Qt::Key_F6: BtBorrarClick(); return;
    default: QDialog::keyPressEvent(event);
    }
}
