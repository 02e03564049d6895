#include "gui/entries/brasifrm.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "db/database.h"
#include "db/fiscalyears.h"
#include "gui/accounts/accountshooks.h"
#include "gui/entries/edasifrm.h"
#include "gui/entries/edasitipfrm.h"
#include "gui/entries/entryutil.h"
#include "gui/entries/reenumfrm.h"
#include "gui/widgets/dialogs.h"

namespace kesh::gui {

using namespace kesh::entries;

namespace {

QPointer<TBrAsiFrm> g_browser;

QColor FromBgr(int bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

// The mark pictures at the left of the amount: 1 "Revisado", 2 "Para revisar", 3 "Para
// borrar", and the procedure's warnings 4 to 6.
QPixmap MarkPicture(int mark) {
    static const QColor colors[] = {{}, Qt::darkGreen, QColor(230, 160, 0), Qt::red,
                                    Qt::magenta, QColor(128, 0, 128), Qt::darkGray};
    QPixmap pm(10, 10);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colors[mark]);
    p.setPen(Qt::NoPen);
    if (mark >= 4) {
        QPolygon tri;
        tri << QPoint(5, 0) << QPoint(10, 10) << QPoint(0, 10);
        p.drawPolygon(tri);
    } else {
        p.drawEllipse(0, 0, 10, 10);
    }
    return pm;
}

QString Money(Amount a) {
    // ",0.00;(,0.00)"
    const bool neg = a < Amount();
    QString digits = QString::fromStdString(a.abs().toString());
    const int dot = int(digits.indexOf('.'));
    for (int i = dot - 3; i > 0; i -= 3) digits.insert(i, ',');
    return neg ? QStringLiteral("(%1)").arg(digits) : digits;
}

// Changing an entry from the accounts browser's ledger tab: generic entries in the ledger
// form (path C), entries made from a standard entry in the template editor.
bool EditEntryFromLedger(QWidget* parent, AppContext& ctx, int64_t id) {
    try {
        if (!MayChange(ctx.userLevel)) {
            ShowNotice(parent, QString::fromUtf8(kMsgNotAuthorized));
            return false;
        }
        std::optional<EntryHeader> h = LoadHeader(ctx.companyPath, id);
        if (!h) return false;
        std::optional<FiscalYear> year = db::ReadFiscalYear(ctx.companyPath, h->idej);
        if (std::string m = CheckChangeable(year ? *year : ctx.currentEj, id); !m.empty()) {
            ShowNotice(parent, QString::fromStdString(m));
            return false;
        }
        if (h->clase != 0) {
            ShowNotice(parent, QString::fromUtf8(kMsgOnlyGeneric));
            return false;
        }
        if (h->idtip != 0 && h->idej == ctx.currentEj.id) {
            TEdAsiTipFrm ed(ctx, id, h->idtip, parent);
            ed.exec();
            return ed.savedId() != 0;
        }
        auto* ed = new TEdAsiFrm(ctx, TEdAsiFrm::Mode::Ledger, id, parent);
        return ed->exec() == QDialog::Accepted;
    } catch (const db::DbError& e) {
        ShowError(parent, QString::fromStdString(e.what()));
        return false;
    }
}

const bool g_ledgerHook = [] {
    BrowserHooks().editEntry = EditEntryFromLedger;
    return true;
}();

} // namespace

// ---------------------------------------------------------------- list model

TEntryListModel::~TEntryListModel() = default;

void TEntryListModel::setRows(std::vector<EntryListRow> rows) {
    beginResetModel();
    cursor_.reset();
    rows_ = std::move(rows);
    endResetModel();
    emit rowsFetched();
}

void TEntryListModel::open(std::unique_ptr<EntryListCursor> cursor) {
    beginResetModel();
    rows_.clear();
    cursor_ = std::move(cursor);
    endResetModel();
    fetch(kFirstRows);
}

void TEntryListModel::fetch(int max) {
    if (!cursor_) return;
    std::vector<EntryListRow> more;
    more.reserve(size_t(std::min(max, kMoreRows)));
    try {
        cursor_->fetch(more, max);
    } catch (const db::DbError& e) {
        cursor_.reset();
        if (onError) onError(QString::fromStdString(e.what()));
    }
    if (cursor_ && cursor_->done()) cursor_.reset();
    if (!more.empty()) {
        beginInsertRows({}, int(rows_.size()), int(rows_.size() + more.size()) - 1);
        rows_.insert(rows_.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
        endInsertRows();
    }
    emit rowsFetched();
}

bool TEntryListModel::canFetchMore(const QModelIndex& parent) const { return !parent.isValid() && cursor_; }

void TEntryListModel::fetchMore(const QModelIndex& parent) {
    if (!parent.isValid()) fetch(kMoreRows);
}

void TEntryListModel::fetchThrough(int row) {
    while (cursor_ && int(rows_.size()) <= row)
        fetch(int(std::min<int64_t>(std::max<int64_t>(int64_t(row) + 1 - int64_t(rows_.size()), kMoreRows), 1 << 20)));
}

int TEntryListModel::find(int from, const std::function<bool(const EntryListRow&)>& match) {
    for (int i = std::max(0, from);; ++i) {
        if (i >= int(rows_.size())) {
            if (!cursor_) return -1;
            fetch(kMoreRows);
            if (i >= int(rows_.size())) return -1;
        }
        if (match(rows_[size_t(i)])) return i;
    }
}

QVariant TEntryListModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* titles[] = {"NºAS", "FECHA", "DESCRIPCION", "IMPORTE", "AP", "CLASE", "COMPROBANTE", "EJ"};
    return QString::fromUtf8(titles[section]);
}

QVariant TEntryListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(rows_.size())) return {};
    const EntryListRow& r = rows_[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case ColNum: return r.num;
        case ColFecha: return QString::fromStdString(r.fecha.toDisplay());
        case ColDescrip: return QString::fromStdString(r.descrip);
        case ColImporte: return Money(r.import);
        case ColAp: return r.npas;
        case ColClase: return QString::fromStdString(r.clase);
        case ColFactura: return QString::fromStdString(r.nfact);
        case ColEj: return r.idej;
        }
        break;
    case Qt::TextAlignmentRole:
        if (index.column() == ColImporte || index.column() == ColNum || index.column() == ColAp)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        break;
    case Qt::ForegroundRole:
        if (r.idx < 0) return QColor(Qt::red);
        if (r.id == ctx_.currentEj.idrefun) return QColor(Qt::blue);
        if (r.id == ctx_.currentEj.idcierre) return QColor(Qt::darkGreen);
        return FromBgr(ctx_.settings.FontColorAsientos);
    case Qt::DecorationRole:
        if (index.column() == ColImporte && r.marc >= 1 && r.marc <= 6) return MarkPicture(r.marc);
        break;
    case Qt::UserRole:
        return QVariant::fromValue<qlonglong>(r.id);
    }
    return {};
}

// ---------------------------------------------------------------- browser

TBrAsiFrm::TBrAsiFrm(AppContext& ctx, View view, QWidget* parent) : QWidget(parent), ctx_(ctx), view_(view) {
    setObjectName(QStringLiteral("TBrAsiFrm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ASIENTOS"));
    Build();
    g_browser = this;
    ctx_.entriesBrowserOpen = true;
}

TBrAsiFrm::~TBrAsiFrm() {
    if (g_browser == this) ctx_.entriesBrowserOpen = false;
    fetchTimer_->stop();
    model->setRows({});  // ends the list's transaction before the connection goes
}

db::Connection& TBrAsiFrm::Conn() {
    if (!conn_ || !conn_->isOpen()) conn_ = std::make_unique<db::Connection>(db::Connection::open(ctx_.companyPath));
    return *conn_;
}

TBrAsiFrm* TBrAsiFrm::instance() { return g_browser.data(); }

TBrAsiFrm* TBrAsiFrm::Open(QMdiArea* mdi, AppContext& ctx, View view) {
    if (TBrAsiFrm* b = instance()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(b->parentWidget())) mdi->setActiveSubWindow(sub);
        b->SelectView(view);
        return b;
    }
    // Only one of the two browsers is open at a time.
    for (QMdiSubWindow* sub : mdi->subWindowList())
        if (sub->widget() && sub->widget()->objectName() != QLatin1String("TBrAsiFrm")) sub->close();
    auto* b = new TBrAsiFrm(ctx, view);
    QMdiSubWindow* sub = mdi->addSubWindow(b);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->showMaximized();
    b->Start();
    return b;
}

void TBrAsiFrm::Build() {
    auto* outer = new QHBoxLayout(this);
    auto* main = new QVBoxLayout;
    outer->addLayout(main, 1);

    auto* head = new QHBoxLayout;
    LTitulo = new QLabel(this);
    QFont tf = LTitulo->font();
    tf.setBold(true);
    LTitulo->setFont(tf);
    head->addWidget(LTitulo);
    LCuenta = new QLabel(this);
    head->addWidget(LCuenta);
    LAviso = new QLabel(this);
    LAviso->setStyleSheet(QStringLiteral("color: #a00000"));
    head->addWidget(LAviso, 1);
    head->addWidget(new QLabel(QStringLiteral("Mes"), this));
    cbMes = new QComboBox(this);
    for (const std::string& m : MonthNames()) cbMes->addItem(QString::fromStdString(m));
    cbMes->setCurrentIndex(ValidMonthIndex(ctx_.settings.cbMesIdx));
    head->addWidget(cbMes);
    ChImporte = new QCheckBox(QStringLiteral("Importe"), this);
    head->addWidget(ChImporte);
    EdImporte = new QLineEdit(this);
    EdImporte->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), EdImporte));
    EdImporte->setMaximumWidth(110);
    head->addWidget(EdImporte);
    main->addLayout(head);

    auto* views = new QHBoxLayout;
    auto* group = new QButtonGroup(this);
    const char* names[] = {"Genéricos", "Compras", "Ventas", "Todos", "Desbalanceados"};
    const Qt::Key keys[] = {Qt::Key_G, Qt::Key_O, Qt::Key_V, Qt::Key_T, Qt::Key_D};
    for (int i = 0; i < 5; ++i) {
        auto* rb = new QRadioButton(QString::fromUtf8(names[i]), this);
        group->addButton(rb, i);
        views->addWidget(rb);
        viewButtons.push_back(rb);
        new QShortcut(QKeySequence(Qt::CTRL | keys[i]), this, [this, i] { SelectView(View(i)); });
    }
    viewButtons[size_t(view_)]->setChecked(true);
    views->addStretch(1);
    main->addLayout(views);

    auto* split = new QSplitter(Qt::Vertical, this);
    GridAsi = new QTableView(split);
    model = new TEntryListModel(ctx_, this);
    model->onError = [this](const QString& m) {
        conn_.reset();
        ShowError(this, m);
    };
    connect(model, &TEntryListModel::rowsFetched, this, &TBrAsiFrm::UpdateCount);
    fetchTimer_ = new QTimer(this);
    fetchTimer_->setInterval(0);
    connect(fetchTimer_, &QTimer::timeout, this, [this] {
        if (model->complete()) fetchTimer_->stop();
        else model->fetchMore({});
    });
    GridAsi->setModel(model);
    GridAsi->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridAsi->setSelectionMode(QAbstractItemView::SingleSelection);
    GridAsi->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridAsi->verticalHeader()->hide();
    GridAsi->verticalHeader()->setDefaultSectionSize(18);
    GridAsi->horizontalHeader()->setStretchLastSection(false);
    GridAsi->setColumnWidth(TEntryListModel::ColNum, 60);
    GridAsi->setColumnWidth(TEntryListModel::ColFecha, 80);
    GridAsi->setColumnWidth(TEntryListModel::ColDescrip, 320);
    GridAsi->setColumnWidth(TEntryListModel::ColImporte, 120);
    GridAsi->setColumnWidth(TEntryListModel::ColAp, 30);
    GridAsi->installEventFilter(this);
    GridAsi->setContextMenuPolicy(Qt::CustomContextMenu);
    GridPases = new QTableView(split);
    pasesModel = new QStandardItemModel(0, 5, this);
    pasesModel->setHorizontalHeaderLabels({QStringLiteral("CODIGO"), QStringLiteral("CUENTA"),
                                           QStringLiteral("DETALLE"), QStringLiteral("DEBITO"),
                                           QStringLiteral("CREDITO")});
    GridPases->setModel(pasesModel);
    GridPases->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridPases->verticalHeader()->hide();
    GridPases->setColumnWidth(1, 280);
    GridPases->setColumnWidth(2, 200);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    main->addWidget(split, 1);

    auto* side = new QVBoxLayout;
    outer->addLayout(side);
    auto addButton = [&](const QString& text, auto fn) {
        auto* b = new QPushButton(text, this);
        connect(b, &QPushButton::clicked, this, fn);
        side->addWidget(b);
        return b;
    };
    addButton(QStringLiteral("Genérico"), &TBrAsiFrm::BtGenericoClick);
    addButton(QStringLiteral("Compra"), &TBrAsiFrm::BtCompraClick);
    addButton(QStringLiteral("Venta"), &TBrAsiFrm::BtVentaClick);
    addButton(QStringLiteral("Genér. c/As.Tipo"), &TBrAsiFrm::BtTipoClick);
    addButton(QStringLiteral("Duplicar"), &TBrAsiFrm::BtDuplicarClick);
    addButton(QStringLiteral("Modificar"), &TBrAsiFrm::BtModificarClick);
    addButton(QStringLiteral("Borrar"), &TBrAsiFrm::BtBorrarClick);
    addButton(QStringLiteral("Reenumerar"), &TBrAsiFrm::BtReenumerarClick);
    addButton(QStringLiteral("Informe"), &TBrAsiFrm::BtInformeClick);
    side->addStretch(1);

    auto key = [this](QKeySequence k, auto fn) {
        auto* s = new QShortcut(k, this, fn);
        s->setContext(Qt::WidgetWithChildrenShortcut);
    };
    key(Qt::Key_F2, [this] { BtGenericoClick(); });
    key(Qt::Key_F3, [this] { BtCompraClick(); });
    key(Qt::Key_F4, [this] { BtVentaClick(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_U), [this] { BtDuplicarClick(); });
    key(Qt::Key_F5, [this] { BtModificarClick(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_E), [this] { BtModificarClick(); });
    key(Qt::Key_F6, [this] { BtBorrarClick(); });
    auto ask = [this](SearchField f, const char* question) {
        bool ok = false;
        QString p = QInputDialog::getText(this, QStringLiteral("Buscar"), QString::fromUtf8(question),
                                          QLineEdit::Normal, QString(), &ok);
        if (ok && !p.isEmpty()) Search(f, p);
    };
    key(Qt::Key_F7, [=] { ask(SearchField::Fecha, "Introduzca la fecha a localizar"); });
    key(Qt::Key_F8, [=] { ask(SearchField::Descrip, "Introduzca la descripción a localizar"); });
    key(Qt::Key_F9, [=] { ask(SearchField::Numero, "Introduzca el Nº de asiento a localizar"); });
    key(Qt::Key_F10, [this] { SearchNext(); });

    connect(GridAsi, &QWidget::customContextMenuRequested, this, [=](const QPoint& p) {
        QMenu m(this);
        m.addAction(QStringLiteral("Modificar"), this, &TBrAsiFrm::BtModificarClick);
        m.addAction(QStringLiteral("Duplicar"), this, &TBrAsiFrm::BtDuplicarClick);
        m.addAction(QStringLiteral("Borrar"), this, &TBrAsiFrm::BtBorrarClick);
        m.addSeparator();
        const char* marks[] = {"Sin marca", "Revisado", "Para revisar", "Para borrar"};
        for (int i = 0; i < 4; ++i) m.addAction(QString::fromUtf8(marks[i]), this, [this, i] { SetMark(i); });
        m.addSeparator();
        m.addAction(QStringLiteral("Por Fecha"), this, [=] { ask(SearchField::Fecha, "Introduzca la fecha a localizar"); });
        m.addAction(QStringLiteral("Por Descrip."), this, [=] { ask(SearchField::Descrip, "Introduzca la descripción a localizar"); });
        m.addAction(QStringLiteral("Por Número"), this, [=] { ask(SearchField::Numero, "Introduzca el Nº de asiento a localizar"); });
        m.addAction(QStringLiteral("Siguiente"), this, &TBrAsiFrm::SearchNext);
        m.exec(GridAsi->viewport()->mapToGlobal(p));
    });

    connect(group, &QButtonGroup::idClicked, this, [this](int id) { SelectView(View(id)); });
    connect(cbMes, &QComboBox::currentIndexChanged, this, [this] { Reload(currentId()); });
    connect(EdImporte, &QLineEdit::textEdited, this, [this] { ChImporte->setChecked(false); });
    connect(EdImporte, &QLineEdit::returnPressed, this, [this] { ChImporte->setChecked(true); });
    connect(ChImporte, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) EdImporte->clear();
        Reload(currentId());
    });
    connect(GridAsi->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (!keyHeld_) LoadLines();
    });
    connect(GridAsi, &QTableView::doubleClicked, this, [this] { BtModificarClick(); });
    ApplyFonts();
}

void TBrAsiFrm::ApplyFonts() {
    QFont f(QString::fromStdString(ctx_.settings.FontAsientos));
    f.setPointSize(std::max(6, ctx_.settings.FontSizeAsientos + 2));
    GridAsi->setFont(f);
    GridPases->setFont(f);
}

bool TBrAsiFrm::RenumberWithWait(int first, bool recalc, bool onOpening, int* count) {
    QWidget wait(this, Qt::Dialog);
    wait.setWindowTitle(QStringLiteral("Espere por favor..."));
    auto* l = new QVBoxLayout(&wait);
    l->addWidget(new QLabel(QStringLiteral("Reenumerando asientos..."), &wait));
    wait.show();
    QApplication::processEvents();
    try {
        RenumberResult r = Renumber(ctx_.companyPath, ctx_.currentEj.id, first, recalc, onOpening);
        if (r.skipped) {
            LAviso->setText(QString::fromUtf8(kMsgRenumberSkipped));
            return false;
        }
        if (count) *count = r.count;
        return true;
    } catch (const db::DbError& e) {
        ShowError(this, QString::fromStdString(e.what()));
        return false;
    }
}

void TBrAsiFrm::Start() {
    if (ctx_.settings.Reenumeraras && ctx_.currentEj.id != 0)
        RenumberWithWait(ctx_.settings.DesdeNumero, true, true, nullptr);
    Reload();
}

void TBrAsiFrm::SelectView(View v) {
    view_ = v;
    if (!viewButtons[size_t(v)]->isChecked()) viewButtons[size_t(v)]->setChecked(true);
    Reload(currentId());
}

const EntryListRow* TBrAsiFrm::currentRow() const {
    const int r = GridAsi->currentIndex().row();
    if (r < 0 || r >= int(model->rows().size())) return nullptr;
    return &model->rows()[size_t(r)];
}

int64_t TBrAsiFrm::currentId() const {
    const EntryListRow* r = currentRow();
    return r ? r->id : 0;
}

void TBrAsiFrm::Reload(int64_t keepId) {
    LTitulo->setText(QString::fromStdString(ViewTitle(view_)));
    fetchTimer_->stop();
    try {
        model->open(std::make_unique<EntryListCursor>(
            Conn(), ctx_.currentEj.id, view_, cbMes->currentIndex(),
            AmountFilter(ChImporte->isChecked(), EdImporte->text().toStdString())));
    } catch (const db::DbError& e) {
        conn_.reset();
        model->setRows({});
        ShowError(this, QString::fromStdString(e.what()));
    }
    int pos = keepId ? model->find(0, [keepId](const EntryListRow& r) { return r.id == keepId; }) : 0;
    GoToRow(std::max(pos, 0));
    LoadLines();
    if (!model->complete()) fetchTimer_->start();
}

void TBrAsiFrm::UpdateCount() {
    LCuenta->setText(QStringLiteral("%1 asientos").arg(model->rowCount()));
}

void TBrAsiFrm::GoToRow(int row) {
    if (row < 0 || row >= model->rowCount()) return;
    GridAsi->setCurrentIndex(model->index(row, TEntryListModel::ColDescrip));
    GridAsi->scrollTo(GridAsi->currentIndex());
}

void TBrAsiFrm::LoadLines() {
    pasesModel->removeRows(0, pasesModel->rowCount());
    const int64_t id = currentId();
    if (id == 0) return;
    try {
        db::Transaction tr = Conn().begin({db::Isolation::ReadCommitted, true});
        const std::vector<LineRow> lines = entries::LoadLines(tr, id);
        tr.commit();
        for (const LineRow& l : lines) {
            QList<QStandardItem*> items{
                new QStandardItem(QString::fromStdString(l.cod2)), new QStandardItem(QString::fromStdString(l.cuent)),
                new QStandardItem(QString::fromStdString(l.detalle)),
                new QStandardItem(l.debe.isZero() ? QString() : Money(l.debe)),
                new QStandardItem(l.haber.isZero() ? QString() : Money(l.haber))};
            items[3]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            items[4]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            pasesModel->appendRow(items);
        }
    } catch (const db::DbError& e) {
        conn_.reset();
        ShowError(this, QString::fromStdString(e.what()));
    }
}

bool TBrAsiFrm::eventFilter(QObject* o, QEvent* e) {
    if (o == GridAsi) {
        // The last entry is the last of the whole list, not of the rows brought in so far.
        if (e->type() == QEvent::KeyPress) {
            auto* ke = static_cast<QKeyEvent*>(e);
            if (ke->key() == Qt::Key_End &&
                !(ke->modifiers() & ~(Qt::KeyboardModifiers(Qt::KeypadModifier) | Qt::ControlModifier))) {
                model->fetchAll();
                GoToRow(model->rowCount() - 1);
                return true;
            }
        }
        // Holding an arrow key down moves through many entries: the lines follow on release.
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->isAutoRepeat()) keyHeld_ = true;
        if (e->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(e)->isAutoRepeat() && keyHeld_) {
            keyHeld_ = false;
            LoadLines();
        }
    }
    return QWidget::eventFilter(o, e);
}

void TBrAsiFrm::closeEvent(QCloseEvent* e) {
    ctx_.settings.cbMesIdx = cbMes->currentIndex();
    ctx_.entriesBrowserOpen = false;
    QWidget::closeEvent(e);
}

// ---------------------------------------------------------------- commands

void TBrAsiFrm::BtGenericoClick() {
    if (!MayAdd(ctx_.userLevel)) return ShowNotice(this, QString::fromUtf8(kMsgNotAuthorized));
    if (TEdAsiFrm::openJournalForm()) return;
    if (ctx_.currentEj.closed()) return ShowNotice(this, QString::fromUtf8(kMsgClosedYearAdd));
    auto* ed = new TEdAsiFrm(ctx_, TEdAsiFrm::Mode::Add, 0, this);
    ed->onSaved = [this](int64_t id) { Reload(id); };
    ed->show();
}

void TBrAsiFrm::BtCompraClick() {
    if (!MayAdd(ctx_.userLevel)) return ShowNotice(this, QString::fromUtf8(kMsgNotAuthorized));
    if (newVoucher) newVoucher(1);
    else ShowNotice(this, QStringLiteral("La carga de comprobantes no está disponible en esta versión."));
}

void TBrAsiFrm::BtVentaClick() {
    if (!MayAdd(ctx_.userLevel)) return ShowNotice(this, QString::fromUtf8(kMsgNotAuthorized));
    if (newVoucher) newVoucher(2);
    else ShowNotice(this, QStringLiteral("La carga de comprobantes no está disponible en esta versión."));
}

void TBrAsiFrm::BtTipoClick() {
    if (!MayAdd(ctx_.userLevel)) return ShowNotice(this, QString::fromUtf8(kMsgNotAuthorized));
    if (ctx_.currentEj.closed()) return ShowNotice(this, QString::fromUtf8(kMsgClosedYearAdd));
    const EntryListRow* r = currentRow();
    TEdAsiTipFrm ed(ctx_, 0, r ? r->idtip : 0, this);
    if (ed.exec() == QDialog::Accepted || ed.savedId() != 0) Reload(ed.savedId() ? ed.savedId() : currentId());
}

void TBrAsiFrm::BtDuplicarClick() {
    if (!MayAdd(ctx_.userLevel)) return ShowNotice(this, QString::fromUtf8(kMsgNotAuthorized));
    const EntryListRow* r = currentRow();
    if (!r) return;
    if (r->clas >= 1 && r->clas <= 6) {
        if (openVoucher) openVoucher(r->id, true);
        else ShowNotice(this, QStringLiteral("La carga de comprobantes no está disponible en esta versión."));
        return;
    }
    if (TEdAsiFrm::openJournalForm()) return;
    if (ctx_.currentEj.closed()) return ShowNotice(this, QString::fromUtf8(kMsgClosedYearAdd));
    auto* ed = new TEdAsiFrm(ctx_, TEdAsiFrm::Mode::Add, r->id, this);
    ed->BtnOk->setText(QStringLiteral("Aceptar"));
    ed->onSaved = [this](int64_t id) { Reload(id); };
    ed->show();
}

void TBrAsiFrm::EditGeneric(int64_t id) {
    if (TEdAsiFrm::openJournalForm()) return;
    auto* ed = new TEdAsiFrm(ctx_, TEdAsiFrm::Mode::Change, id, this);
    ed->onSaved = [this](int64_t saved) { Reload(saved); };
    ed->show();
}

void TBrAsiFrm::BtModificarClick() {
    if (!MayChange(ctx_.userLevel)) return ShowNotice(this, QString::fromUtf8(kMsgNotAuthorized));
    const EntryListRow* r = currentRow();
    if (!r) return;
    if (r->clas >= 1 && r->clas <= 6) {
        if (openVoucher) openVoucher(r->id, false);
        else ShowNotice(this, QStringLiteral("La carga de comprobantes no está disponible en esta versión."));
        return;
    }
    if (std::string m = CheckChangeable(ctx_.currentEj, r->id); !m.empty())
        return ShowNotice(this, QString::fromStdString(m));
    const int64_t id = r->id;
    try {
        if (r->idtip != 0 && LineCount(ctx_.companyPath, id) < 16) {
            TEdAsiTipFrm ed(ctx_, id, r->idtip, this);
            ed.exec();
            Reload(id);
            return;
        }
    } catch (const db::DbError& e) {
        return ShowError(this, QString::fromStdString(e.what()));
    }
    EditGeneric(id);
}

void TBrAsiFrm::BtBorrarClick() {
    if (!MayDelete(ctx_.userLevel)) return ShowNotice(this, QString::fromUtf8(kMsgNotAuthorized));
    const EntryListRow* r = currentRow();
    if (!r) return;
    if (std::string m = CheckDelete(ctx_.currentEj, DeleteFrom::Browser); !m.empty())
        return ShowNotice(this, QString::fromStdString(m));
    if (!AskYesNo(this, QString::fromStdString(DeleteQuestion(r->num, r->descrip)))) return;
    const int row = GridAsi->currentIndex().row();
    model->fetchThrough(row + 1);
    const int64_t next = row + 1 < model->rowCount() ? model->rows()[size_t(row + 1)].id
                         : row > 0                   ? model->rows()[size_t(row - 1)].id
                                                     : 0;
    try {
        DeleteEntry(ctx_.companyPath, r->id);
    } catch (const db::DbError& e) {
        ShowError(this, QString::fromStdString(e.what()));
    }
    Reload(next);
}

void TBrAsiFrm::BtReenumerarClick() {
    if (!MayChange(ctx_.userLevel)) return ShowNotice(this, QString::fromUtf8(kMsgNotAuthorized));
    TReenumFrm dlg(this);
    if (dlg.exec() != QDialog::Accepted) return;
    int count = 0;
    const int first = dlg.firstNumber();
    if (RenumberWithWait(first, dlg.recalculate(), false, &count))
        ShowNotice(this, QString::fromStdString(RenumberMessage(first, count)));
    Reload(currentId());
}

void TBrAsiFrm::BtInformeClick() {
    const int64_t id = currentId();
    if (id == 0) return;
    if (printEntry) printEntry(id);
    else ShowNotice(this, QStringLiteral("El informe del libro diario no está disponible en esta versión."));
}

void TBrAsiFrm::SetMark(int mark) {
    const int64_t id = currentId();
    if (id == 0) return;
    try {
        entries::SetMark(ctx_.companyPath, id, mark);
    } catch (const db::DbError& e) {
        ShowError(this, QString::fromStdString(e.what()));
    }
    Reload(id);
}

void TBrAsiFrm::Search(SearchField field, const QString& pattern) {
    lastField_ = field;
    lastPattern_ = pattern;
    const std::string p = pattern.toStdString();
    GoToRow(model->find(0, [&](const EntryListRow& r) { return EntryMatches(r, field, p); }));
}

void TBrAsiFrm::SearchNext() {
    if (lastPattern_.isEmpty()) return;
    const std::string p = lastPattern_.toStdString();
    const int from = GridAsi->currentIndex().row() + 1;
    GoToRow(model->find(from, [&](const EntryListRow& r) { return EntryMatches(r, lastField_, p); }));
}

} // namespace kesh::gui
