#include "gui/entries/edasifrm.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include "accounts/codes.h"
#include "accounts/lookups.h"
#include "db/database.h"
#include "db/fiscalyears.h"
#include "gui/entries/entryutil.h"
#include "gui/widgets/calculator.h"
#include "gui/widgets/dialogs.h"

namespace kesh::gui {

using namespace kesh::entries;

namespace {
QPointer<TEdAsiFrm> g_journal;
}

// ---------------------------------------------------------------- grid and cell editors

void TEntryGrid::keyPressEvent(QKeyEvent* e) {
    if (keyHook && state() != QAbstractItemView::EditingState && keyHook(e)) return;
    QTableWidget::keyPressEvent(e);
}

void TEntryGrid::finishEditing() {
    if (state() != EditingState) return;
    for (QLineEdit* ed : viewport()->findChildren<QLineEdit*>()) {
        if (!ed->isVisible()) continue;
        commitData(ed);
        closeEditor(ed, QAbstractItemDelegate::NoHint);
    }
}

QWidget* TEntryCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const {
    const int col = index.column();
    if (col == TEdAsiFrm::ColNro || col == TEdAsiFrm::ColCuenta) return nullptr;
    if (col == TEdAsiFrm::ColDebito || col == TEdAsiFrm::ColCredito) {
        // A line holds either a debit or a credit.
        const int other = col == TEdAsiFrm::ColDebito ? TEdAsiFrm::ColCredito : TEdAsiFrm::ColDebito;
        if (!index.sibling(index.row(), other).data().toString().trimmed().isEmpty()) return nullptr;
    }
    auto* ed = qobject_cast<QLineEdit*>(QStyledItemDelegate::createEditor(parent, option, index));
    if (!ed) return nullptr;
    QString rx;
    if (col == TEdAsiFrm::ColDebito || col == TEdAsiFrm::ColCredito)
        rx = ledger_ ? QStringLiteral("[0-9.]*") : QStringLiteral("[0-9.,]*");
    else if (ledger_)
        rx = QStringLiteral("[!-~]*");
    else if (col == TEdAsiFrm::ColCodigo)
        rx = QStringLiteral("[^\\x00-\\x1f]*");
    if (!rx.isEmpty()) ed->setValidator(new QRegularExpressionValidator(QRegularExpression(rx), ed));
    if (col == TEdAsiFrm::ColComentario) ed->setMaxLength(30);
    return ed;
}

bool TEntryCellDelegate::eventFilter(QObject* editor, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (!ledger_ && ke->text() == QLatin1String("+")) {
            auto* w = qobject_cast<QWidget*>(editor);
            auto* view = w ? qobject_cast<QAbstractItemView*>(w->parentWidget()->parentWidget()) : nullptr;
            const QModelIndex cur = view ? view->currentIndex() : QModelIndex();
            if (cur.column() == TEdAsiFrm::ColDebito || cur.column() == TEdAsiFrm::ColCredito) {
                emit commitData(w);
                emit closeEditor(w, QAbstractItemDelegate::NoHint);
                if (onPlus) onPlus(cur.row(), cur.column());
                return true;
            }
        }
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            auto* w = qobject_cast<QWidget*>(editor);
            auto* view = w ? qobject_cast<QAbstractItemView*>(w->parentWidget()->parentWidget()) : nullptr;
            const bool ctrl = ke->modifiers() & Qt::ControlModifier;
            emit commitData(w);
            emit closeEditor(w, QAbstractItemDelegate::NoHint);
            if (view && onEnter) {
                QModelIndex cur = view->currentIndex();
                onEnter(cur.row(), cur.column(), ctrl);
            }
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(editor, event);
}

// ---------------------------------------------------------------- the form

TEdAsiFrm::TEdAsiFrm(AppContext& ctx, Mode mode, int64_t id, QWidget* parent)
    : QDialog(parent), ctx_(ctx), year_(ctx.currentEj), mode_(mode), id_(mode == Mode::Add ? 0 : id) {
    setAttribute(Qt::WA_DeleteOnClose);
    Build();
    if (mode == Mode::Add) {
        setWindowTitle(QStringLiteral("Agregar Asiento"));
        BtnOk->setText(QStringLiteral("Agregar"));
        BtnCancel->setText(QStringLiteral("Cerrar"));
        setModal(false);
        g_journal = this;
        if (id != 0) LoadCopyOf(id);
    } else {
        setWindowTitle(QStringLiteral("Modificar Asiento"));
        BtnOk->setText(QStringLiteral("Guardar"));
        BtnCancel->setText(QStringLiteral("Cancelar"));
        if (mode == Mode::Change) g_journal = this;
        setModal(mode == Mode::Ledger);
        LoadEntry(id, false);
    }
    // The opening box only while the year has no opening entry, or on the opening entry.
    bool yearHasOpening = false;
    try {
        yearHasOpening = HasOpeningEntry(ctx_.companyPath, ctx_.currentEj.id);
    } catch (const db::DbError&) {
    }
    ChApertura->setVisible(mode != Mode::Ledger && (!yearHasOpening || wasOpening_));
}

TEdAsiFrm::~TEdAsiFrm() = default;

TEdAsiFrm* TEdAsiFrm::openJournalForm() { return g_journal.data(); }

void TEdAsiFrm::Build() {
    auto* top = new QVBoxLayout(this);
    auto* head = new QHBoxLayout;
    LNumero = new QLabel(QStringLiteral("Asiento Nº"), this);
    head->addWidget(LNumero);
    head->addWidget(new QLabel(QStringLiteral("Fecha"), this));
    EdFecha = new QDateEdit(this);
    EdFecha->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    EdFecha->setCalendarPopup(true);
    EdFecha->setDate(ToQDate(Clock::today() < ctx_.currentEj.fech1 || Clock::today() > ctx_.currentEj.fech2
                                 ? ctx_.currentEj.fech1
                                 : Clock::today()));
    head->addWidget(EdFecha);
    head->addWidget(new QLabel(QStringLiteral("Descripción del asiento"), this));
    EdDescrip = new QLineEdit(this);
    EdDescrip->setMaxLength(60);
    head->addWidget(EdDescrip, 1);
    top->addLayout(head);

    Grid = new TEntryGrid(1, 6, this);
    Grid->setHorizontalHeaderLabels({QStringLiteral("Nº"), QStringLiteral("CODIGO"), QStringLiteral("CUENTA"),
                                     QStringLiteral("COMENTARIO"), QStringLiteral("       DEBITO"),
                                     QStringLiteral("      CREDITO")});
    Grid->verticalHeader()->hide();
    Grid->setColumnWidth(ColNro, 30);
    Grid->setColumnWidth(ColCodigo, 90);
    Grid->setColumnWidth(ColCuenta, 220);
    Grid->setColumnWidth(ColComentario, 180);
    Grid->setColumnWidth(ColDebito, 115);
    Grid->setColumnWidth(ColCredito, 115);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                          QAbstractItemView::EditKeyPressed);
    auto* delegate = new TEntryCellDelegate(mode_ == Mode::Ledger, Grid);
    delegate->onEnter = [this](int r, int c, bool ctrl) { HandleEnter(r, c, ctrl); };
    delegate->onPlus = [this](int r, int c) { OpenCalculator(r, c, '+'); };
    Grid->setItemDelegate(delegate);
    Grid->keyHook = [this](QKeyEvent* e) { return GridKey(e); };
    Grid->viewport()->installEventFilter(this);
    Grid->setContextMenuPolicy(Qt::CustomContextMenu);
    top->addWidget(Grid, 1);
    BtnDots = new QToolButton(Grid->viewport());
    BtnDots->setText(QStringLiteral("..."));
    BtnDots->setFocusPolicy(Qt::NoFocus);
    BtnDots->hide();
    connect(BtnDots, &QToolButton::clicked, this, &TEdAsiFrm::DotsClick);
    connect(Grid, &QTableWidget::currentCellChanged, this, [this] { PlaceDots(); });
    connect(Grid, &QTableWidget::itemChanged, this, [this] { PlaceDots(); });
    connect(Grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { PlaceDots(); });
    connect(Grid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { PlaceDots(); });
    connect(Grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { PlaceDots(); });

    auto* totals = new QHBoxLayout;
    totals->addStretch(1);
    totals->addWidget(new QLabel(QStringLiteral("Sumas....."), this));
    LDebe = new QLabel(this);
    LHaber = new QLabel(this);
    for (QLabel* l : {LDebe, LHaber}) {
        l->setMinimumWidth(115);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        totals->addWidget(l);
    }
    top->addLayout(totals);
    auto* dif = new QHBoxLayout;
    dif->addStretch(1);
    dif->addWidget(new QLabel(QStringLiteral("Diferencia....."), this));
    LDif = new QLabel(this);
    LDif->setMinimumWidth(115);
    LDif->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    dif->addWidget(LDif);
    top->addLayout(dif);

    auto* lineButtons = new QHBoxLayout;
    auto addButton = [&](const QString& text, auto slot) {
        auto* b = new QPushButton(text, this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        lineButtons->addWidget(b);
        return b;
    };
    addButton(QStringLiteral("Insertar linea"), &TEdAsiFrm::InsertLine);
    addButton(QStringLiteral("Eliminar linea"), &TEdAsiFrm::DeleteLine);
    addButton(QStringLiteral("▲"), [this] { MoveLine(-1); });
    addButton(QStringLiteral("▼"), [this] { MoveLine(1); });
    addButton(QStringLiteral("Intercambiar importes"), &TEdAsiFrm::SwapAmounts);
    addButton(QStringLiteral("Seleccionar Cuenta"), &TEdAsiFrm::PickAccountForRow);
    top->addLayout(lineButtons);

    auto* bottom = new QHBoxLayout;
    ChApertura = new QCheckBox(QStringLiteral("Guardar como Asiento de Apertura"), this);
    bottom->addWidget(ChApertura);
    bottom->addStretch(1);
    BtnOk = new QPushButton(this);
    BtnCancel = new QPushButton(this);
    BtnOk->setAutoDefault(false);
    BtnCancel->setAutoDefault(false);
    bottom->addWidget(BtnOk);
    bottom->addWidget(BtnCancel);
    top->addLayout(bottom);
    connect(BtnOk, &QPushButton::clicked, this, &TEdAsiFrm::BtnOkClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    new QShortcut(QKeySequence(Qt::Key_F12), this, [this] { BtnOkClick(); });

    connect(Grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        QMenu m(this);
        m.addAction(QStringLiteral("Insertar linea"), this, &TEdAsiFrm::InsertLine);
        m.addAction(QStringLiteral("Eliminar linea"), this, &TEdAsiFrm::DeleteLine);
        m.addAction(QStringLiteral("Intercambiar importes"), this, &TEdAsiFrm::SwapAmounts);
        m.addAction(QStringLiteral("Seleccionar Cuenta"), this, &TEdAsiFrm::PickAccountForRow);
        m.exec(Grid->viewport()->mapToGlobal(p));
    });
    EdFecha->installEventFilter(this);
    EdDescrip->installEventFilter(this);
    resize(800, 420);

    Grid->setItem(0, ColNro, new QTableWidgetItem(QStringLiteral("1")));
}

void TEdAsiFrm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    Recalc();
}

QString TEdAsiFrm::Cell(int row, int col) const {
    QTableWidgetItem* it = Grid->item(row, col);
    return it ? it->text() : QString();
}

void TEdAsiFrm::AddRow() {
    const int r = Grid->rowCount();
    Grid->insertRow(r);
    Grid->setItem(r, ColNro, new QTableWidgetItem(QString::number(r + 1)));
}

void TEdAsiFrm::SetAmountCell(int row, int col, Amount a) {
    auto* it = new QTableWidgetItem(a.isZero() ? QString() : QString::fromStdString(a.toString()));
    it->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Grid->setItem(row, col, it);
}

void TEdAsiFrm::SetAccount(int row, const std::string& displayCode, const std::string& name) {
    Grid->setItem(row, ColCodigo, new QTableWidgetItem(QString::fromStdString(displayCode)));
    auto* n = new QTableWidgetItem(QString::fromStdString(name));
    n->setFlags(n->flags() & ~Qt::ItemIsEditable);
    Grid->setItem(row, ColCuenta, n);
}

void TEdAsiFrm::LoadEntry(int64_t id, bool asCopy) {
    try {
        std::optional<EntryHeader> h = LoadHeader(ctx_.companyPath, id);
        if (!h) return;
        std::vector<LineRow> lines = LoadLines(ctx_.companyPath, id);
        if (!asCopy) {
            LNumero->setText(QStringLiteral("Asiento Nº %1").arg(h->num));
            wasOpening_ = h->opening();
            ChApertura->setChecked(wasOpening_);
            if (wasOpening_) setWindowTitle(QStringLiteral("Modificar Asiento Apertura"));
        }
        if (mode_ == Mode::Ledger && h->idej != year_.id) {
            // The ledger lists the entries of every ticked year.
            if (std::optional<FiscalYear> y = db::ReadFiscalYear(ctx_.companyPath, h->idej)) year_ = *y;
        }
        EdFecha->setDate(ToQDate(h->fecha));
        EdDescrip->setText(QString::fromStdString(h->descrip));
        Grid->setRowCount(0);
        for (const GridLine& l : ToGridLines(lines)) {
            AddRow();
            const int r = Grid->rowCount() - 1;
            SetAccount(r, ToDisplayCode(l.code), lines[size_t(r)].cuent);
            Grid->setItem(r, ColComentario, new QTableWidgetItem(QString::fromStdString(l.detalle)));
            SetAmountCell(r, ColDebito, l.debit);
            SetAmountCell(r, ColCredito, l.credit);
        }
        if (Grid->rowCount() == 0) AddRow();
    } catch (const db::DbError& e) {
        ShowError(this, QString::fromStdString(e.what()));
    }
    Recalc();
}

void TEdAsiFrm::LoadCopyOf(int64_t id) { LoadEntry(id, true); }

void TEdAsiFrm::ClearForNext() {
    EdDescrip->clear();
    Grid->setRowCount(0);
    AddRow();
    LNumero->setText(QStringLiteral("Asiento Nº"));
    Recalc();
    EdFecha->setFocus();
}

GridEntry TEdAsiFrm::CurrentEntry() const {
    GridEntry e;
    e.id = id_;
    e.fecha = FromQDate(EdFecha->date());
    e.descrip = EdDescrip->text().toStdString();
    e.opening = ChApertura->isVisible() ? ChApertura->isChecked() : wasOpening_;
    for (int r = 0; r < Grid->rowCount(); ++r) {
        GridLine l;
        // A row counts as a line only when its account was found (CUENTA is filled).
        if (!Cell(r, ColCuenta).trimmed().isEmpty()) l.code = ToInternalCode(Cell(r, ColCodigo).toStdString());
        l.detalle = Cell(r, ColComentario).trimmed().toStdString();
        l.debit = ReadGridAmount(Cell(r, ColDebito).toStdString());
        l.credit = ReadGridAmount(Cell(r, ColCredito).toStdString());
        e.lines.push_back(std::move(l));
    }
    return e;
}

void TEdAsiFrm::Recalc() {
    Amount debe, haber;
    for (int r = 0; r < Grid->rowCount(); ++r) {
        if (Cell(r, ColCuenta).trimmed().isEmpty() && r != Grid->currentRow()) {
            // A row that names no account keeps nothing.
            for (int c : {ColCodigo, ColComentario}) delete Grid->takeItem(r, c);
        }
        const bool named = !Cell(r, ColCuenta).trimmed().isEmpty() || r == Grid->currentRow();
        Amount d = named ? ReadGridAmount(Cell(r, ColDebito).toStdString()) : Amount();
        Amount h = named ? ReadGridAmount(Cell(r, ColCredito).toStdString()) : Amount();
        SetAmountCell(r, ColDebito, d);
        SetAmountCell(r, ColCredito, h);
        if (!Cell(r, ColCuenta).trimmed().isEmpty()) {
            debe += d;
            haber += h;
        }
    }
    LDebe->setText(QString::fromStdString(debe.toString()));
    LHaber->setText(QString::fromStdString(haber.toString()));
    LDif->setText(QString::fromStdString((debe - haber).abs().toString()));
    LDif->setStyleSheet(debe > haber ? QStringLiteral("color: red") : QStringLiteral("color: blue"));
}

void TEdAsiFrm::PlaceDots() {
    const int r = Grid->currentRow(), c = Grid->currentColumn();
    const bool amount = c == ColDebito || c == ColCredito;
    const int other = c == ColDebito ? ColCredito : ColDebito;
    if (r < 0 || !(c == ColCodigo || (amount && Cell(r, other).trimmed().isEmpty()))) {
        BtnDots->hide();
        return;
    }
    const QRect cell = Grid->visualRect(Grid->model()->index(r, c));
    const int w = std::min(20, cell.height());
    BtnDots->setGeometry(cell.right() - w + 1, cell.top(), w, cell.height());
    BtnDots->show();
    BtnDots->raise();
}

void TEdAsiFrm::DotsClick() {
    Grid->finishEditing();
    const int r = Grid->currentRow(), c = Grid->currentColumn();
    if (c == ColCodigo) PickAccountForRow();
    else if (c == ColDebito || c == ColCredito) OpenCalculator(r, c);
}

void TEdAsiFrm::OpenCalculator(int row, int col, char pendingOp) {
    if (row < 0 || row >= Grid->rowCount() || (col != ColDebito && col != ColCredito)) return;
    // A line holds either a debit or a credit.
    if (!Cell(row, col == ColDebito ? ColCredito : ColDebito).trimmed().isEmpty()) return;
    const QRect cell = Grid->visualRect(Grid->model()->index(row, col));
    const QRect global(Grid->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    const Amount start = ReadGridAmount(Cell(row, col).toStdString());
    if (std::optional<Amount> a = TKzCalculator::Ask(this, global, start, pendingOp)) {
        SetAmountCell(row, col, *a);
        Recalc();
    }
    GoTo(row, col);
}

void TEdAsiFrm::GoTo(int row, int col) {
    Grid->setCurrentCell(row, col);
    Grid->setFocus();
}

void TEdAsiFrm::NextRow(int row) {
    if (row >= Grid->rowCount() - 1) AddRow();
    GoTo(row + 1, ColCodigo);
    Recalc();
}

void TEdAsiFrm::HandleEnter(int row, int col, bool ctrl) {
    if (row < 0) return;
    switch (col) {
    case ColCodigo: {
        const std::string text = Cell(row, ColCodigo).trimmed().toStdString();
        const bool dotted = text.find('.') != std::string::npos;
        // The journal form reads a dotted text only with Ctrl and an undotted one only
        // without; the ledger form decides by the key alone.
        const bool byToken = mode_ == Mode::Ledger ? !ctrl : (!ctrl && !dotted);
        const bool byCode = mode_ == Mode::Ledger ? ctrl : (ctrl && dotted);
        try {
            if (byToken) {
                AccountRef a = db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) {
                    return AccountByToken(tr, QString::fromStdString(text).toUpper().toStdString());
                });
                SetAccount(row, a.code, a.name);
                if (!a.code.empty()) GoTo(row, ColComentario);
            } else if (byCode) {
                std::string name = db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) {
                    return AccountName(tr, ToInternalCode(text), true);
                });
                if (!name.empty()) {
                    SetAccount(row, ToDisplayCode(ToInternalCode(text)), name);
                    GoTo(row, ColComentario);
                }
            }
        } catch (const db::DbError& e) {
            ShowError(this, QString::fromStdString(e.what()));
        }
        break;
    }
    case ColCuenta:
        GoTo(row, ColComentario);
        break;
    case ColComentario:
        if (QTableWidgetItem* it = Grid->item(row, ColComentario)) it->setText(it->text().trimmed());
        GoTo(row, Cell(row, ColCredito).trimmed().isEmpty() ? ColDebito : ColCredito);
        break;
    case ColDebito:
        if (!Cell(row, ColDebito).trimmed().isEmpty())
            NextRow(row);
        else
            GoTo(row, ColCredito);
        break;
    case ColCredito:
        if (!Cell(row, ColCredito).trimmed().isEmpty())
            NextRow(row);
        else
            GoTo(row, ColDebito);
        break;
    default:
        break;
    }
}

bool TEdAsiFrm::GridKey(QKeyEvent* e) {
    const int row = Grid->currentRow(), col = Grid->currentColumn();
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (enter) {
        HandleEnter(row, col, e->modifiers() & Qt::ControlModifier);
        return true;
    }
    if (e->key() == Qt::Key_Insert) {
        InsertLine();
        return true;
    }
    if (e->key() == Qt::Key_Delete) {
        DeleteLine();
        return true;
    }
    if (col == ColCredito && e->key() == Qt::Key_Right) {
        NextRow(row);
        return true;
    }
    if (col == ColCodigo && e->modifiers() == Qt::ShiftModifier && e->key() != Qt::Key_Shift &&
        mode_ != Mode::Ledger) {
        PickAccountForRow();
        return true;
    }
    if (col == ColCuenta && !e->text().isEmpty()) return true;  // nothing is typed there
    if ((col == ColDebito || col == ColCredito) && e->text() == QLatin1String("+")) {
        if (mode_ != Mode::Ledger) OpenCalculator(row, col, '+');
        return true;
    }
    return false;
}

bool TEdAsiFrm::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            if (o == EdFecha) {
                EdDescrip->setFocus();
                return true;
            }
            if (o == EdDescrip) {
                GoTo(std::max(0, Grid->currentRow()), ColCodigo);
                return true;
            }
        }
    }
    if (o == Grid->viewport() && e->type() == QEvent::MouseButtonRelease) Recalc();
    return QDialog::eventFilter(o, e);
}

void TEdAsiFrm::InsertLine() {
    const int r = std::max(0, Grid->currentRow());
    Grid->insertRow(r);
    for (int i = 0; i < Grid->rowCount(); ++i) Grid->setItem(i, ColNro, new QTableWidgetItem(QString::number(i + 1)));
    GoTo(r, ColCodigo);
}

void TEdAsiFrm::DeleteLine() {
    if (Grid->rowCount() <= 1) return;
    const int r = std::max(0, Grid->currentRow());
    Grid->removeRow(r);
    for (int i = 0; i < Grid->rowCount(); ++i) Grid->setItem(i, ColNro, new QTableWidgetItem(QString::number(i + 1)));
    Recalc();
}

void TEdAsiFrm::MoveLine(int delta) {
    const int r = Grid->currentRow(), o = r + delta;
    if (r < 0 || o < 0 || o >= Grid->rowCount()) return;
    for (int c = ColCodigo; c <= ColCredito; ++c) {
        QTableWidgetItem* a = Grid->takeItem(r, c);
        QTableWidgetItem* b = Grid->takeItem(o, c);
        if (b) Grid->setItem(r, c, b);
        if (a) Grid->setItem(o, c, a);
    }
    Grid->setCurrentCell(o, Grid->currentColumn());
    Recalc();
}

void TEdAsiFrm::SwapAmounts() {
    const int r = Grid->currentRow();
    if (r < 0) return;
    QTableWidgetItem* d = Grid->takeItem(r, ColDebito);
    QTableWidgetItem* h = Grid->takeItem(r, ColCredito);
    if (h) Grid->setItem(r, ColDebito, h);
    if (d) Grid->setItem(r, ColCredito, d);
    Recalc();
}

void TEdAsiFrm::PickAccountForRow() {
    const int r = std::max(0, Grid->currentRow());
    std::string code = PickImputableAccount(this, ctx_, Cell(r, ColCodigo).trimmed());
    if (code.empty()) return;
    try {
        std::string name = db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) {
            return AccountName(tr, code, true);
        });
        if (name.empty()) return;
        SetAccount(r, ToDisplayCode(code), name);
        GoTo(r, ColComentario);
    } catch (const db::DbError& e) {
        ShowError(this, QString::fromStdString(e.what()));
    }
}

void TEdAsiFrm::BtnOkClick() {
    Grid->finishEditing();
    Recalc();
    GridEntry e = CurrentEntry();
    SaveResult r;
    try {
        r = mode_ == Mode::Ledger ? SaveLedgerEntry(ctx_.companyPath, year_, e)
                                  : SaveGridEntry(ctx_.companyPath, year_, e);
    } catch (const db::DbError& err) {
        r.attempted = true;
        r.message = err.what();
    }
    if (!r.notice.empty()) ShowNotice(this, QString::fromStdString(r.notice));
    if (!r.ok) {
        ShowNotice(this, QString::fromStdString(r.message));
        if (!r.attempted) return;  // a refusal before the save leaves the form as it was
        if (mode_ == Mode::Add) {
            ClearForNext();
        } else {
            reject();
        }
        return;
    }
    if (onSaved) onSaved(r.id);
    if (mode_ == Mode::Add && !(e.opening && r.notice.empty())) {
        ClearForNext();
    } else {
        accept();
    }
}

} // namespace kesh::gui
