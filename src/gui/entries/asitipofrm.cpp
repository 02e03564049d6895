#include "gui/entries/asitipofrm.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "accounts/codes.h"
#include "accounts/lookups.h"
#include "db/database.h"
#include "gui/entries/edasitipfrm.h"
#include "gui/entries/entryutil.h"
#include "gui/widgets/dialogs.h"

namespace kesh::gui {

using namespace kesh::entries;

// ---------------------------------------------------------------- list

TAsiTipoFrm::TAsiTipoFrm(AppContext& ctx, Mode mode, QWidget* parent) : QDialog(parent), ctx_(ctx), mode_(mode) {
    setWindowTitle(QStringLiteral("Asientos Tipo"));
    auto* top = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("ASIENTOS TIPO"), this));
    Grid = new QTableWidget(0, 1, this);
    Grid->horizontalHeader()->hide();
    Grid->horizontalHeader()->setStretchLastSection(true);
    Grid->verticalHeader()->hide();
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    left->addWidget(Grid, 1);
    top->addLayout(left, 1);
    auto* side = new QVBoxLayout;
    auto add = [&](const QString& t, auto fn) {
        auto* b = new QPushButton(t, this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, fn);
        side->addWidget(b);
        return b;
    };
    add(QStringLiteral("Agregar"), &TAsiTipoFrm::BtAgregarClick);
    BtModificar = add(QStringLiteral("Modificar"), &TAsiTipoFrm::BtModificarClick);
    BtBorrar = add(QStringLiteral("Borrar"), &TAsiTipoFrm::BtBorrarClick);
    if (mode_ == Mode::Manage) add(QStringLiteral("Crear un nuevo asiento <F6>"), &TAsiTipoFrm::BtCrearAsientoClick);
    side->addStretch(1);
    add(QStringLiteral("Aceptar"), &QDialog::accept);
    add(QStringLiteral("Cancelar"), &QDialog::reject);
    top->addLayout(side);
    new QShortcut(QKeySequence(Qt::Key_F6), this, [this] {
        if (mode_ == Mode::Manage) BtCrearAsientoClick();
    });
    connect(Grid, &QTableWidget::cellDoubleClicked, this, [this] {
        if (mode_ == Mode::Choose) accept();
    });
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &TAsiTipoFrm::UpdateButtons);
    timer->start(1000);
    resize(520, 380);
    Reload();
}

void TAsiTipoFrm::Reload(int64_t keepId) {
    const int oldRow = Grid->currentRow();
    try {
        list_ = ListStandardEntries(ctx_.companyPath, mode_ == Mode::Choose ? StandardOrder::AsStored
                                                                            : StandardOrder::CaseInsensitive);
    } catch (const db::DbError& e) {
        ShowError(this, QString::fromStdString(e.what()));
    }
    Grid->setRowCount(int(list_.size()));
    int pos = std::min(std::max(oldRow, 0), int(list_.size()) - 1);
    for (size_t i = 0; i < list_.size(); ++i) {
        Grid->setItem(int(i), 0, new QTableWidgetItem(QString::fromStdString(list_[i].descrip)));
        if (list_[i].id == keepId) pos = int(i);
    }
    if (pos >= 0) Grid->setCurrentCell(pos, 0);
    UpdateButtons();
}

void TAsiTipoFrm::UpdateButtons() {
    BtModificar->setEnabled(Grid->rowCount() > 0);
    BtBorrar->setEnabled(Grid->rowCount() > 0);
}

int64_t TAsiTipoFrm::selectedId() const {
    const int r = Grid->currentRow();
    return r >= 0 && r < int(list_.size()) ? list_[size_t(r)].id : 0;
}

void TAsiTipoFrm::BtAgregarClick() {
    TEdAsiTipoFrm ed(ctx_, 0, this);
    ed.setWindowTitle(QStringLiteral("Agregar Asiento Tipo"));
    ed.exec();
    Reload(ed.savedId());
}

void TAsiTipoFrm::BtModificarClick() {
    const int64_t id = selectedId();
    if (id == 0) return;
    TEdAsiTipoFrm ed(ctx_, id, this);
    ed.setWindowTitle(QStringLiteral("Modificar Asiento Tipo"));
    ed.exec();
    Reload(id);
}

void TAsiTipoFrm::BtBorrarClick() {
    const int64_t id = selectedId();
    if (id == 0 || !AskYesNo(this, QString::fromUtf8(kMsgDeleteStandard))) return;
    try {
        DeleteStandardEntry(ctx_.companyPath, id);
    } catch (const db::DbError& e) {
        ShowError(this, QString::fromStdString(e.what()));
    }
    Reload();
}

void TAsiTipoFrm::BtCrearAsientoClick() {
    const int64_t id = selectedId();
    if (id == 0) return;
    if (!MayAdd(ctx_.userLevel)) return ShowNotice(this, QString::fromUtf8(kMsgNotAuthorized));
    if (ctx_.currentEj.id == 0) return ShowNotice(this, QStringLiteral("Debe seleccionar un ejercicio."));
    if (ctx_.currentEj.closed()) return ShowNotice(this, QString::fromUtf8(kMsgClosedYearAdd));
    TEdAsiTipFrm ed(ctx_, 0, id, this);
    ed.exec();
}

// ---------------------------------------------------------------- editor

TEdAsiTipoFrm::TEdAsiTipoFrm(AppContext& ctx, int64_t id, QWidget* parent) : QDialog(parent), ctx_(ctx), id_(id) {
    auto* top = new QVBoxLayout(this);
    auto* head = new QHBoxLayout;
    head->addWidget(new QLabel(QStringLiteral("Nombre del Asiento Tipo:"), this));
    EdNombre = new QLineEdit(this);
    EdNombre->setMaxLength(40);
    head->addWidget(EdNombre, 1);
    top->addLayout(head);
    Grid = new QTableWidget(0, 4, this);
    Grid->setHorizontalHeaderLabels({QString(), QStringLiteral("Concepto"), QStringLiteral("Cr/De"), QStringLiteral("Cuenta")});
    Grid->verticalHeader()->hide();
    Grid->setColumnWidth(ColCod, 2);
    Grid->setColumnHidden(ColCod, true);
    Grid->setColumnWidth(ColConcepto, 198);
    Grid->setColumnWidth(ColDh, 26);
    Grid->setColumnWidth(ColCuenta, 396);
    Grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed |
                          QAbstractItemView::EditKeyPressed);
    top->addWidget(Grid, 1);
    connect(Grid, &QTableWidget::cellClicked, this, &TEdAsiTipoFrm::CellActivated);
    connect(Grid, &QTableWidget::cellChanged, this, [this](int row, int col) {
        if (col == ColConcepto && Grid->item(row, ColDh) && Grid->item(row, ColDh)->text().trimmed().isEmpty() &&
            Grid->item(row, ColConcepto) && Grid->item(row, ColConcepto)->text().size() >= 2)
            Grid->item(row, ColDh)->setText(QStringLiteral(" D"));
    });
    auto* buttons = new QHBoxLayout;
    auto add = [&](const QString& t, auto fn) {
        auto* b = new QPushButton(t, this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, fn);
        buttons->addWidget(b);
    };
    add(QStringLiteral("Insertar linea"), &TEdAsiTipoFrm::InsertLine);
    add(QStringLiteral("Eliminar linea"), &TEdAsiTipoFrm::DeleteLine);
    add(QStringLiteral("Desplazar hacia arriba"), [this] { MoveLine(-1); });
    add(QStringLiteral("Desplazar hacia abajo"), [this] { MoveLine(1); });
    buttons->addStretch(1);
    add(QStringLiteral("Aceptar"), &TEdAsiTipoFrm::BtAceptarClick);
    add(QStringLiteral("Cancelar"), &QDialog::reject);
    top->addLayout(buttons);
    resize(700, 420);
    if (id_) {
        try {
            EdNombre->setText(QString::fromStdString(StandardEntryName(ctx_.companyPath, id_)));
            std::vector<StandardLine> lines = LoadStandardLines(ctx_.companyPath, id_);
            Grid->setRowCount(int(lines.size()));
            for (size_t i = 0; i < lines.size(); ++i)
                SetRow(int(i), lines[i].code, lines[i].dh, QString::fromStdString(lines[i].concepto));
        } catch (const db::DbError& e) {
            ShowError(this, QString::fromStdString(e.what()));
        }
    }
    EnsureTrailingRow();
}

void TEdAsiTipoFrm::SetRow(int row, const std::string& code, char dh, const QString& concepto) {
    if (row >= Grid->rowCount()) Grid->setRowCount(row + 1);
    QString label;
    if (!code.empty()) {
        std::string name;
        try {
            name = db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) { return AccountName(tr, code); });
        } catch (const db::DbError&) {
        }
        label = QStringLiteral("%1 %2").arg(QString::fromStdString(ToDisplayCode(code)), -10).arg(QString::fromStdString(name));
    }
    auto ro = [](const QString& t) {
        auto* it = new QTableWidgetItem(t);
        it->setFlags(it->flags() & ~Qt::ItemIsEditable);
        return it;
    };
    Grid->setItem(row, ColCod, ro(QString::fromStdString(code)));
    Grid->setItem(row, ColConcepto, new QTableWidgetItem(concepto));
    Grid->setItem(row, ColDh, ro(code.empty() && concepto.isEmpty() ? QString() : dh == 'C' ? QStringLiteral(" C") : QStringLiteral(" D")));
    Grid->setItem(row, ColCuenta, ro(label));
}

void TEdAsiTipoFrm::EnsureTrailingRow() {
    const int n = Grid->rowCount();
    if (n == 0 || (Grid->item(n - 1, ColCod) && !Grid->item(n - 1, ColCod)->text().isEmpty()))
        SetRow(n, {}, 'D', {});
}

std::vector<StandardLine> TEdAsiTipoFrm::Lines() const {
    std::vector<StandardLine> out;
    for (int r = 0; r < Grid->rowCount(); ++r) {
        auto text = [&](int c) { return Grid->item(r, c) ? Grid->item(r, c)->text() : QString(); };
        StandardLine l;
        l.code = text(ColCod).trimmed().toStdString();
        l.dh = text(ColDh).trimmed() == QLatin1String("C") ? 'C' : 'D';
        l.concepto = text(ColConcepto).toStdString();
        if (!l.code.empty()) out.push_back(std::move(l));
    }
    return out;
}

void TEdAsiTipoFrm::CellActivated(int row, int col) {
    auto text = [&](int r, int c) { return Grid->item(r, c) ? Grid->item(r, c)->text() : QString(); };
    if (row > 0 && text(row, ColCod).isEmpty() && text(row - 1, ColCod).isEmpty()) return;
    const std::string code = text(row, ColCod).toStdString();
    const QString concepto = text(row, ColConcepto);
    char dh = text(row, ColDh).trimmed() == QLatin1String("C") ? 'C' : 'D';
    if (col == ColDh) {
        if (code.empty() && concepto.isEmpty()) return;
        SetRow(row, code, dh == 'D' ? 'C' : 'D', concepto);
    } else if (col == ColCuenta) {
        std::string chosen = PickImputableAccount(this, ctx_, QString::fromStdString(ToDisplayCode(code)));
        if (chosen.empty()) return;
        SetRow(row, chosen, dh, concepto);
        EnsureTrailingRow();
        Grid->setCurrentCell(row + 1, ColConcepto);
        Grid->editItem(Grid->item(row + 1, ColConcepto));
    }
}

void TEdAsiTipoFrm::InsertLine() {
    const int r = std::max(0, Grid->currentRow());
    Grid->insertRow(r);
    SetRow(r, {}, 'D', {});
}

void TEdAsiTipoFrm::DeleteLine() {
    const int r = Grid->currentRow();
    if (r < 0 || !Grid->item(r, ColCod) || Grid->item(r, ColCod)->text().isEmpty()) return;
    Grid->removeRow(r);
    EnsureTrailingRow();
}

void TEdAsiTipoFrm::MoveLine(int delta) {
    const int r = Grid->currentRow(), o = r + delta;
    if (r < 0 || o < 0 || o >= Grid->rowCount()) return;
    if (!Grid->item(o, ColCod) || Grid->item(o, ColCod)->text().isEmpty()) return;
    for (int c = 0; c < Grid->columnCount(); ++c) {
        QTableWidgetItem* a = Grid->takeItem(r, c);
        QTableWidgetItem* b = Grid->takeItem(o, c);
        Grid->setItem(r, c, b);
        Grid->setItem(o, c, a);
    }
    Grid->setCurrentCell(o, Grid->currentColumn());
}

void TEdAsiTipoFrm::BtAceptarClick() {
    try {
        savedId_ = SaveStandardEntry(ctx_.companyPath, id_, EdNombre->text().toStdString(), Lines());
    } catch (const db::DbError& e) {
        ShowError(this, QString::fromStdString(e.what()));
        return;
    }
    accept();
}

} // namespace kesh::gui
