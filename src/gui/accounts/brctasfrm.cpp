#include "gui/accounts/brctasfrm.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "accounts/chart.h"
#include "accounts/codes.h"
#include "accounts/lookups.h"
#include "accounts/standardchart.h"
#include "app/context.h"
#include "entries/entries.h"
#include "gui/accounts/accountmodels.h"
#include "gui/accounts/accountshooks.h"
#include "gui/accounts/edcta2frm.h"
#include "gui/accounts/procesosfrm.h"
#include "gui/accounts/rangoctasfrm.h"
#include "gui/accounts/recalc.h"
#include "gui/app/guiutil.h"
#include "gui/widgets/dialogs.h"
#include "gui/widgets/waitcursor.h"
#include "reports/reportrows.h"

using namespace kesh;
using namespace kesh::gui;

namespace {


bool g_balancesStale = false;

// The account name indented 8 pixels per level (the model gives the indentation).
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem o(option);
        o.rect.setLeft(o.rect.left() + index.data(Qt::UserRole).toInt());
        QStyledItemDelegate::paint(painter, o, index);
    }
};

QColor FromBgr(int bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QTableView* MakeGrid(QWidget* parent) {
    auto* g = new QTableView(parent);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->verticalHeader()->hide();
    g->verticalHeader()->setDefaultSectionSize(18);
    g->setAlternatingRowColors(false);
    return g;
}

// Debits and credits blank for zero, "(...)" when negative; balances with D or C, zero as
// "0,00" (year totals) or blank (ledger total).
enum class TotalKind { DebitCredit, Balance, BalanceOrZero };
void SetTotal(QLabel* label, Amount a, TotalKind kind) {
    label->setText(Q(kind == TotalKind::DebitCredit ? FormatDebitCredit(a)
                                                    : FormatBalanceDC(a, kind == TotalKind::BalanceOrZero)));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, a.cents() < 0 ? Qt::red : Qt::blue);
    label->setPalette(p);
}

} // namespace

bool TBrCtasFrm::balancesStale() { return g_balancesStale; }
void TBrCtasFrm::setBalancesStale(bool stale) { g_balancesStale = stale; }

TBrCtasFrm::TBrCtasFrm(AppContext& ctx, Mode mode, QWidget* parent)
    : QWidget(parent), ctx_(ctx), mode_(mode) {
    setObjectName("TBrCtasFrm");
    setWindowTitle("CUENTAS");
    setAttribute(Qt::WA_DeleteOnClose, mode == Mode::Browse);
    buildUi();
    if (mode_ == Mode::Browse) {
        const int sec = ctx_.settings.cbSecIdx;
        cbSeccion->setCurrentIndex(sec >= 0 && sec <= 9 ? sec : 0);
        detailTimer_ = new QTimer(this);
        detailTimer_->setInterval(1000);
        connect(detailTimer_, &QTimer::timeout, this, &TBrCtasFrm::timerTick);
        detailTimer_->start();
    } else {
        cbSeccion->setCurrentIndex(0);
    }
    connect(cbSeccion, &QComboBox::currentIndexChanged, this, &TBrCtasFrm::sectionChanged);
}

TBrCtasFrm::~TBrCtasFrm() = default;

// ---- layout -------------------------------------------------------------------------------

void TBrCtasFrm::buildUi() {
    auto* root = new QHBoxLayout(this);
    auto* main = new QVBoxLayout;
    root->addLayout(main, 1);

    LTitulo = new QLabel(Q(AccountListTitle(classFilter_)), this);
    QFont tf = LTitulo->font();
    tf.setBold(true);
    tf.setPointSize(tf.pointSize() + 3);
    LTitulo->setFont(tf);
    LCount = new QLabel(this);
    auto* top = new QHBoxLayout;
    auto* titles = new QVBoxLayout;
    titles->addWidget(LTitulo);
    titles->addWidget(LCount);
    top->addLayout(titles, 1);
    top->addWidget(new QLabel(QString::fromUtf8("Sección"), this));
    cbSeccion = new QComboBox(this);
    cbSeccion->addItem("Todas");
    for (int i = 1; i <= 9; ++i) cbSeccion->addItem(QString("%1. . . ").arg(i));
    top->addWidget(cbSeccion);
    ChImputables = new QCheckBox("Solo imputables", this);
    connect(ChImputables, &QCheckBox::toggled, this, [this](bool on) {
        imputableOnly_ = on;
        Reload();
    });
    top->addWidget(ChImputables);
    ChImportes = new QCheckBox("Ver Importes", this);
    ChImportes->setChecked(mode_ == Mode::Browse);
    ChImportes->setVisible(mode_ == Mode::Select);
    connect(ChImportes, &QCheckBox::toggled, this, [this] {
        applyAmountColumns();
        Reload();
    });
    top->addWidget(ChImportes);
    main->addLayout(top);

    Grid = MakeGrid(this);
    listModel_ = new AccountListModel(this);
    Grid->setModel(listModel_);
    Grid->setItemDelegateForColumn(AccountListModel::ColCuenta, new IndentDelegate(Grid));
    Grid->horizontalHeader()->setSectionResizeMode(AccountListModel::ColCuenta,
                                                   QHeaderView::Stretch);
    Grid->setColumnWidth(AccountListModel::ColCodigo, 110);
    Grid->setColumnWidth(AccountListModel::ColToken, 50);
    for (int c = AccountListModel::ColInicio; c <= AccountListModel::ColFinal; ++c)
        Grid->setColumnWidth(c, 105);
    connect(Grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TBrCtasFrm::currentChanged);
    connect(Grid, &QTableView::doubleClicked, this, [this] {
        if (mode_ == Mode::Select) BtOkClick();
        else BtModificarClick();
    });
    main->addWidget(Grid, 3);

    LPath = new QLabel(this);
    main->addWidget(LPath);

    Tabs = new QTabWidget(this);
    auto* mayor = new QWidget(Tabs);
    auto* ml = new QVBoxLayout(mayor);
    GridMayor = MakeGrid(mayor);
    ledgerModel_ = new LedgerModel(this);
    GridMayor->setModel(ledgerModel_);
    GridMayor->horizontalHeader()->setSectionResizeMode(LedgerModel::ColAsiento,
                                                        QHeaderView::Stretch);
    GridMayor->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* actMod = new QAction("Modificar", GridMayor);
    actMod->setShortcut(QKeySequence("Ctrl+M"));
    actMod->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(actMod, &QAction::triggered, this, &TBrCtasFrm::MayorModificarClick);
    auto* actDel = new QAction("Borrar", GridMayor);
    actDel->setShortcut(QKeySequence("Ctrl+B"));
    actDel->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(actDel, &QAction::triggered, this, &TBrCtasFrm::MayorBorrarClick);
    GridMayor->addAction(actMod);
    GridMayor->addAction(actDel);
    ml->addWidget(GridMayor);
    auto* tot = new QHBoxLayout;
    tot->addWidget(new QLabel("TOTALES. . . . . . . .", mayor), 1);
    LTotDebe = new QLabel(mayor);
    LTotHaber = new QLabel(mayor);
    LTotSaldo = new QLabel(mayor);
    for (QLabel* l : {LTotDebe, LTotHaber, LTotSaldo}) {
        l->setMinimumWidth(110);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        tot->addWidget(l);
    }
    ml->addLayout(tot);
    Tabs->addTab(mayor, "Asientos");

    auto* saldos = new QWidget(Tabs);
    auto* sl = new QVBoxLayout(saldos);
    GridSaldos = MakeGrid(saldos);
    balanceModel_ = new YearBalanceModel(this);
    GridSaldos->setModel(balanceModel_);
    GridSaldos->horizontalHeader()->setSectionResizeMode(YearBalanceModel::ColEjercicio,
                                                         QHeaderView::Stretch);
    sl->addWidget(GridSaldos);
    auto* st = new QHBoxLayout;
    st->addWidget(new QLabel("TOTALES. . . . . . . .", saldos), 1);
    LTotSal0 = new QLabel(saldos);
    LTotSal1 = new QLabel(saldos);
    LTotSal2 = new QLabel(saldos);
    for (QLabel* l : {LTotSal0, LTotSal1, LTotSal2}) {
        l->setMinimumWidth(110);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        st->addWidget(l);
    }
    sl->addLayout(st);
    Tabs->addTab(saldos, "Saldos");

    PnlDatos = new QWidget(Tabs);
    auto* dl = new QVBoxLayout(PnlDatos);
    LDatos = new QLabel(PnlDatos);
    LDatos->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LDatos->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    dl->addWidget(LDatos);
    connect(Tabs, &QTabWidget::currentChanged, this, [this] { RefreshDetail(); });
    main->addWidget(Tabs, 2);

    if (mode_ == Mode::Browse) {
        auto* side = new QWidget(this);
        buildCommands(side);
        root->addWidget(side);
    } else {
        Tabs->hide();
        LPath->hide();
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        BtOk = new QPushButton("Ok", this);
        BtOk->setDefault(true);
        BtCancel = new QPushButton("Cancel", this);
        connect(BtOk, &QPushButton::clicked, this, &TBrCtasFrm::BtOkClick);
        connect(BtCancel, &QPushButton::clicked, this, &TBrCtasFrm::BtCancelClick);
        buttons->addWidget(BtOk);
        buttons->addWidget(BtCancel);
        main->addLayout(buttons);
    }
    applyFont();
    applyAmountColumns();
}

void TBrCtasFrm::buildCommands(QWidget* side) {
    auto* l = new QVBoxLayout(side);
    struct Cmd {
        const char* text;
        const char* key;
        void (TBrCtasFrm::*slot)();
    };
    const Cmd cmds[] = {
        {"C.Genérica", "F2", &TBrCtasFrm::BtCGenericaClick},
        {"Proveedor", "F3", &TBrCtasFrm::BtProveedorClick},
        {"Cliente", "F4", &TBrCtasFrm::BtClienteClick},
        {"Modificar", "F5", &TBrCtasFrm::BtModificarClick},
        {"Borrar", "F6", &TBrCtasFrm::BtBorrarClick},
        {"Modificar Rango", "Ctrl+R", &TBrCtasFrm::BtRangoClick},
        {"Por Código", "F7", &TBrCtasFrm::BtPorCodigoClick},
        {"Por Nombre", "F8", &TBrCtasFrm::BtPorNombreClick},
        {"Siguiente", "F10", &TBrCtasFrm::BtSiguienteClick},
        {"Informe Mayor...", "", &TBrCtasFrm::BtInformeMayorClick},
        {"&Procesos útiles", "", &TBrCtasFrm::BtProcesosClick},
        {"Generar plan básico", "", &TBrCtasFrm::BtPlanBasicoClick},
    };
    for (const Cmd& c : cmds) {
        auto* b = new QPushButton(QString::fromUtf8(c.text), side);
        b->setObjectName(QString::fromUtf8(c.text));
        connect(b, &QPushButton::clicked, this, c.slot);
        l->addWidget(b);
        if (*c.key) {
            auto* a = new QAction(this);
            a->setShortcut(QKeySequence(QString::fromUtf8(c.key)));
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            connect(a, &QAction::triggered, this, c.slot);
            addAction(a);
            b->setToolTip(QString::fromUtf8(c.key));
        }
    }
    l->addSpacing(12);
    struct Filter {
        const char* text;
        const char* key;
        AccountClassFilter filter;
    };
    const Filter filters[] = {
        {"Proveedores", "Ctrl+P", AccountClassFilter::Providers},
        {"Clientes", "Ctrl+C", AccountClassFilter::Customers},
        {"Cuentas Genéricas", "Ctrl+G", AccountClassFilter::General},
        {"Todas las Cuentas", "Ctrl+T", AccountClassFilter::All},
    };
    for (const Filter& f : filters) {
        auto* b = new QPushButton(QString::fromUtf8(f.text), side);
        b->setToolTip(f.key);
        const AccountClassFilter filter = f.filter;
        connect(b, &QPushButton::clicked, this, [this, filter] { classFilterChosen(filter); });
        l->addWidget(b);
        auto* a = new QAction(this);
        a->setShortcut(QKeySequence(f.key));
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, [this, filter] { classFilterChosen(filter); });
        addAction(a);
    }
    l->addStretch(1);
}

void TBrCtasFrm::applyFont() {
    const Settings& s = ctx_.settings;
    QFont f(Q(s.FontCuentas));
    if (s.FontSizeCuentas > 0) f.setPointSize(s.FontSizeCuentas);
    Grid->setFont(f);
    GridMayor->setFont(f);
    GridSaldos->setFont(f);
    listModel_->setTextColor(FromBgr(s.FontColorCuentas));
}

void TBrCtasFrm::applyAmountColumns() {
    const bool show = mode_ == Mode::Browse || ChImportes->isChecked();
    for (int c = AccountListModel::ColInicio; c <= AccountListModel::ColFinal; ++c)
        Grid->setColumnHidden(c, !show);
}

// ---- loading ------------------------------------------------------------------------------

db::Transaction TBrCtasFrm::readTransaction() {
    if (!conn_ || !conn_->isOpen()) conn_ = db::Connection::open(ctx_.companyPath);
    return conn_->begin({db::Isolation::ReadCommitted, true, -1});
}

int TBrCtasFrm::yearSelector() {
    db::Transaction tr = readTransaction();
    return YearSelector(tr, ctx_.currentEj.id);
}

void TBrCtasFrm::SetClassFilter(AccountClassFilter filter) {
    classFilter_ = filter;
    LTitulo->setText(Q(AccountListTitle(filter)));
    // The browser's own class commands move the section; the picker keeps "Todas".
    const int section = mode_ == Mode::Browse
                            ? SectionForClassFilter(filter, cbSeccion->currentIndex())
                            : cbSeccion->currentIndex();
    if (section != cbSeccion->currentIndex()) {
        const QSignalBlocker block(cbSeccion);
        cbSeccion->setCurrentIndex(section);
    }
}

void TBrCtasFrm::SetImputableOnly(bool on) {
    imputableOnly_ = on;
    const QSignalBlocker block(ChImputables);
    ChImputables->setChecked(on);
}

void TBrCtasFrm::SetSearchText(const QString& text) { search_ = text.toUpper(); }

void TBrCtasFrm::Reload(const QString& code) {
    QString target = code;
    if (target.isEmpty())
        if (const AccountListRow* r = currentRow()) target = Q(r->cod);
    const bool amounts = mode_ == Mode::Browse || ChImportes->isChecked();
    AccountListQuery q;
    q.year = amounts ? ctx_.currentEj.id : 0;
    q.imputableOnly = imputableOnly_;
    q.clase = classFilter_;
    q.section = cbSeccion->currentIndex();
    q.search = S(search_);
    std::vector<AccountListRow> rows;
    try {
        // The balances come from the per-month sums: fold the deltas the saves left since the
        // last fold (a few, usually) so the list reads a few rows per account.
        if (q.year != 0) {
            WaitCursor busy; // after entries were loaded in bulk there may be many
            reports::CompactMonthlyBalances(ctx_.companyPath);
        }
        db::Transaction tr = readTransaction();
        rows = LoadAccountList(tr, q);
        tr.commit();
    } catch (const std::exception& e) {
        ShowError(this, QString::fromUtf8(e.what()));
    }
    listModel_->setRows(std::move(rows));
    LCount->setText(QString("%1 cuentas").arg(listModel_->rowCount()));
    if (target.isEmpty() || !PositionOn(target)) {
        if (listModel_->rowCount() > 0) Grid->selectRow(0);
    }
    if (mode_ == Mode::Browse) {
        RefreshDetail();
        // An empty chart: the standard chart is offered once, then the list is reloaded.
        if (listModel_->rowCount() == 0 && !standardChartOffered_ && q.section == 0 &&
            q.clase == AccountClassFilter::All && search_.isEmpty()) {
            standardChartOffered_ = true;
            bool generated = false;
            try {
                generated = OfferStandardChart(ctx_.companyPath, false, ctx_.companyData.nasiclase,
                                               [this](const std::string& question) {
                                                   return AskYesNo(this, Q(question));
                                               });
            } catch (const std::exception& e) {
                ShowError(this, QString::fromUtf8(e.what()));
            }
            if (generated) Reload();
        }
    }
}

bool TBrCtasFrm::PositionOn(const QString& code) {
    const std::string display = ToDisplayCode(S(code));
    const auto& rows = listModel_->rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].cod == display) {
            Grid->selectRow(static_cast<int>(i));
            Grid->scrollTo(listModel_->index(static_cast<int>(i), 0));
            return true;
        }
    }
    return false;
}

const AccountListRow* TBrCtasFrm::currentRow() const {
    const QModelIndex idx = Grid->currentIndex();
    if (!idx.isValid() || idx.row() >= listModel_->rowCount()) return nullptr;
    return &listModel_->rows()[static_cast<size_t>(idx.row())];
}

int TBrCtasFrm::rowCount() const { return listModel_->rowCount(); }

void TBrCtasFrm::currentChanged() {
    const AccountListRow* r = currentRow();
    LPath->setText(r ? Q(r->fullpath) : QString());
    lastMove_ = QDateTime::currentMSecsSinceEpoch();
    detailDue_ = true;
}

void TBrCtasFrm::timerTick() {
    if (detailDue_ && QDateTime::currentMSecsSinceEpoch() - lastMove_ >= 1000) RefreshDetail();
}

void TBrCtasFrm::RefreshDetail() {
    detailDue_ = false;
    if (mode_ != Mode::Browse) return;
    const AccountListRow* r = currentRow();
    // The party tab only exists for accounts of a class other than 0.
    const int datosIndex = Tabs->indexOf(PnlDatos);
    const bool wantDatos = r && r->clase != 0;
    if (wantDatos && datosIndex < 0) Tabs->addTab(PnlDatos, "Datos de la cuenta");
    if (!wantDatos && datosIndex >= 0) Tabs->removeTab(datosIndex);
    if (!r) {
        ledgerModel_->setRows({});
        balanceModel_->setRows({});
        return;
    }
    const AccountListRow row = *r;
    try {
        const int selector = yearSelector();
        if (Tabs->currentIndex() == 0) loadLedger(row, selector);
        else if (Tabs->currentIndex() == 1) loadBalances(row, selector);
        else loadPartyData(row);
    } catch (const std::exception& e) {
        ShowError(this, QString::fromUtf8(e.what()));
    }
}

void TBrCtasFrm::loadLedger(const AccountListRow& row, int selector) {
    db::Transaction tr = readTransaction();
    ledgerModel_->setRows(LoadLedger(tr, row.cod, selector));
    const LedgerTotals t = LoadLedgerTotals(tr, row.cod, selector);
    tr.commit();
    SetTotal(LTotDebe, t.debe, TotalKind::DebitCredit);
    SetTotal(LTotHaber, t.haber, TotalKind::DebitCredit);
    SetTotal(LTotSaldo, t.saldo, TotalKind::Balance);
    if (BalanceIsStale(row.imp, t.saldo, row.final)) setBalancesStale(true);
}

void TBrCtasFrm::loadBalances(const AccountListRow& row, int selector) {
    db::Transaction tr = readTransaction();
    auto rows = LoadYearBalances(tr, row.cod, selector);
    tr.commit();
    Amount s0, s1, s2;
    for (const YearBalanceRow& r : rows) {
        s0 += r.sal0;
        s1 += r.sal1;
        s2 += r.sal2;
    }
    balanceModel_->setRows(std::move(rows));
    SetTotal(LTotSal0, s0, TotalKind::BalanceOrZero);
    SetTotal(LTotSal1, s1, TotalKind::BalanceOrZero);
    SetTotal(LTotSal2, s2, TotalKind::BalanceOrZero);
}

void TBrCtasFrm::loadPartyData(const AccountListRow& row) {
    PartyData p;
    bool found = false;
    if ((row.clase == 1 || row.clase == 2) && row.idaux > 0) {
        db::Transaction tr = readTransaction();
        found = LoadPartyData(tr, row.idaux, p);
        tr.commit();
    }
    LDatos->setVisible(found);
    if (!found) {
        LDatos->clear();
        return;
    }
    const QString porib = QString::number(p.porib / 100.0, 'f', 2);
    QStringList lines = {
        "CODIGO: " + Q(row.cod),
        "NOMBRE: " + Q(row.cuenta),
        "DOMICILIO: " + Q(p.dom),
        "COD.POSTAL: " + Q(p.cp),
        "CIUDAD: " + Q(p.loc),
        "PROVINCIA: " + Q(p.provincia),
        "CUIT: " + Q(p.doc),
        "Ing.Brutos: " + Q(p.ib) + "   " + porib + " %",
        "Ganancias: " + Q(p.gan),
        "Respons. IVA: " + Q(p.respiva),
        QString::fromUtf8("Teléf: ") + Q(p.tel),
        "Contacto: " + Q(p.contacto),
        "E-Mail: " + Q(p.email),
        QString::fromUtf8("Página Web: ") + Q(p.web),
        QString::fromUtf8("Modo cálculo: ") + QString::number(p.calc),
        QString::fromUtf8("Indice Aj. ") + QString::number(row.aju),
        "Conceptos: " + Q(PartyConceptsText(p.activ, p.deha)),
    };
    LDatos->setText(lines.join('\n'));
}

void TBrCtasFrm::sectionChanged(int) { Reload(); }

void TBrCtasFrm::classFilterChosen(AccountClassFilter filter) {
    SetClassFilter(filter);
    Reload();
}

// ---- commands -----------------------------------------------------------------------------

bool TBrCtasFrm::checkLevel(bool allowed) {
    if (!allowed) ShowMessage(this, QString::fromUtf8(kNotAuthorized));
    return allowed;
}

void TBrCtasFrm::afterChange(const QString& code) { Reload(code); }

void TBrCtasFrm::BtCGenericaClick() {
    if (!checkLevel(UserMay(ChartAction::Create, ctx_.userLevel))) return;
    const AccountListRow* r = currentRow();
    QString proposed;
    bool imputable = true;
    if (r) {
        try {
            db::Transaction tr = readTransaction();
            proposed = Q(ProposeNextCode(tr, r->cod));
            tr.commit();
        } catch (const std::exception& e) {
            ShowError(this, QString::fromUtf8(e.what()));
            return;
        }
        imputable = r->imp || CodeLevel(S(proposed)) > 3;
    }
    TEdCta2Frm ed(ctx_, this);
    ed.SetupAdd(proposed, imputable);
    ed.exec();
    if (ed.saved()) afterChange(ed.savedCode());
}

void TBrCtasFrm::BtProveedorClick() { newParty(1); }

void TBrCtasFrm::BtClienteClick() { newParty(2); }

void TBrCtasFrm::newParty(int clase) {
    if (!checkLevel(UserMay(ChartAction::Create, ctx_.userLevel))) return;
    auto& hook = BrowserHooks().partyEditor;
    if (!hook) {
        ShowMessage(this, QString::fromUtf8("En construcción"));
        return;
    }
    QString proposed;
    try {
        db::Transaction tr = readTransaction();
        proposed = Q(ProposePartyCode(tr, clase));
        tr.commit();
    } catch (const std::exception& e) {
        ShowError(this, QString::fromUtf8(e.what()));
        return;
    }
    if (hook(this, ctx_, clase, {}, proposed)) Reload();
}

void TBrCtasFrm::BtModificarClick() {
    if (!checkLevel(UserMay(ChartAction::Change, ctx_.userLevel))) return;
    const AccountListRow* r = currentRow();
    if (!r) return;
    const QString code = Q(r->cod);
    auto& hook = BrowserHooks().partyEditor;
    if ((r->clase == 1 || r->clase == 2) && hook) {
        if (hook(this, ctx_, r->clase, code, {})) Reload(code);
        return;
    }
    TEdCta2Frm ed(ctx_, this);
    if (!ed.SetupChange(code)) {
        Reload();
        return;
    }
    ed.exec();
    if (ed.saved()) afterChange(ed.savedCode());
}

void TBrCtasFrm::BtBorrarClick() {
    if (!checkLevel(UserMay(ChartAction::Delete, ctx_.userLevel))) return;
    const AccountListRow* cur = currentRow();
    if (!cur) return;
    const AccountListRow row = *cur;
    const int index = Grid->currentIndex().row();
    try {
        std::string refusal;
        {
            db::Transaction tr = readTransaction();
            refusal = BrowserDeleteRefusal(tr, row, YearSelector(tr, ctx_.currentEj.id));
            tr.commit();
        }
        if (!refusal.empty()) {
            ShowNotice(this, Q(refusal));
            return;
        }
        if (!AskYesNo(this, Q(DeleteQuestion(row)))) return;
        const std::string message = db::WithTransaction(
            ctx_.companyPath, [&](db::Transaction& tr) { return DeleteAccount(tr, row.cod); });
        if (!message.empty()) ShowNotice(this, Q(message));
    } catch (const std::exception& e) {
        ShowError(this, QString::fromUtf8(e.what()));
    }
    Reload(QStringLiteral("-"));  // no account to keep: positioned by row below
    if (listModel_->rowCount() > 0)
        Grid->selectRow(std::min(index, listModel_->rowCount() - 1));
}

void TBrCtasFrm::BtRangoClick() {
    if (!checkLevel(UserMay(ChartAction::Change, ctx_.userLevel))) return;
    TRangoCtasFrm dlg(ctx_, this);
    if (dlg.exec() == QDialog::Accepted) Reload();
}

bool TBrCtasFrm::FindByCode(const QString& text) {
    lastFind_ = text.trimmed();
    lastFindByCode_ = true;
    Grid->selectRow(-1);
    Grid->setCurrentIndex({});
    return FindNext();
}

bool TBrCtasFrm::FindByName(const QString& text) {
    lastFind_ = text.trimmed();
    lastFindByCode_ = false;
    Grid->setCurrentIndex({});
    return FindNext();
}

bool TBrCtasFrm::FindNext() {
    if (lastFind_.isEmpty()) return false;
    const auto& rows = listModel_->rows();
    const int start = Grid->currentIndex().isValid() ? Grid->currentIndex().row() + 1 : 0;
    for (int i = start; i < static_cast<int>(rows.size()); ++i) {
        const AccountListRow& r = rows[static_cast<size_t>(i)];
        const bool match = lastFindByCode_
                               ? Q(r.cod).startsWith(lastFind_)
                               : Q(r.cuenta).contains(lastFind_, Qt::CaseInsensitive);
        if (match) {
            Grid->selectRow(i);
            Grid->scrollTo(listModel_->index(i, 0));
            return true;
        }
    }
    return false;
}

void TBrCtasFrm::BtPorCodigoClick() {
    bool ok = false;
    const QString text = QInputDialog::getText(this, "CUENTAS",
                                               QString::fromUtf8("Introduzca el código a localizar"),
                                               QLineEdit::Normal, {}, &ok);
    if (ok) FindByCode(text);
}

void TBrCtasFrm::BtPorNombreClick() {
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, "CUENTAS", "Introduzca el nombre de la cuenta a localizar", QLineEdit::Normal, {}, &ok);
    if (ok) FindByName(text);
}

void TBrCtasFrm::BtSiguienteClick() { FindNext(); }

void TBrCtasFrm::MayorModificarClick() {
    const QModelIndex idx = GridMayor->currentIndex();
    if (!idx.isValid()) return;
    const LedgerRow row = ledgerModel_->rows()[static_cast<size_t>(idx.row())];
    auto& hook = BrowserHooks().editEntry;
    if (!hook) {
        ShowMessage(this, QString::fromUtf8("En construcción"));
        return;
    }
    if (hook(this, ctx_, row.idasi)) {
        setBalancesStale(true);
        Reload();
    }
}

void TBrCtasFrm::MayorBorrarClick() {
    const QModelIndex idx = GridMayor->currentIndex();
    if (!idx.isValid()) return;
    const LedgerRow row = ledgerModel_->rows()[static_cast<size_t>(idx.row())];
    try {
        FiscalYear ej;
        {
            db::Transaction tr = readTransaction();
            db::Statement s = tr.prepare(
                "select id, descrip, fech1, fech2, activ, idrefun, idcierre from ejerc where id = ?");
            s.open({row.idej});
            if (s.next()) {
                ej.id = static_cast<int>(s.getInt("ID"));
                ej.descrip = s.getText("DESCRIP");
                ej.fech1 = s.getDate("FECH1");
                ej.fech2 = s.getDate("FECH2");
                const std::string a = s.getText("ACTIV");
                ej.activ = a.empty() ? '-' : a[0];
                ej.idrefun = static_cast<int>(s.getInt("IDREFUN"));
                ej.idcierre = static_cast<int>(s.getInt("IDCIERRE"));
            }
            s.close();
            tr.commit();
        }
        const std::string refusal = entries::CheckDelete(ej, entries::DeleteFrom::Ledger);
        if (!refusal.empty()) {
            ShowNotice(this, Q(refusal));
            return;
        }
        if (!AskYesNo(this, Q(entries::DeleteQuestion(row.nro, row.descripasi)))) return;
        entries::DeleteEntry(ctx_.companyPath, row.idasi);
        setBalancesStale(true);
    } catch (const std::exception& e) {
        ShowError(this, QString::fromUtf8(e.what()));
    }
    Reload();
}

void TBrCtasFrm::BtInformeMayorClick() {
    const AccountListRow* r = currentRow();
    if (!r) return;
    auto& hook = BrowserHooks().ledgerReport;
    if (!hook) {
        ShowMessage(this, QString::fromUtf8("En construcción"));
        return;
    }
    hook(this, ctx_, Q(ToInternalCode(r->cod)));
}

void TBrCtasFrm::BtProcesosClick() {
    TProcesosFrm dlg(ctx_, true, this);
    dlg.exec();
    if (dlg.tokensGenerated()) Reload();
}

void TBrCtasFrm::BtPlanBasicoClick() {
    if (listModel_->rowCount() > 1) {
        ShowNotice(this, QString::fromUtf8(kStandardChartOnlyAtStart));
        return;
    }
    bool generated = false;
    try {
        int count = 0;
        {
            db::Transaction tr = readTransaction();
            count = static_cast<int>(tr.queryInt("select count(id) from cuentas"));
            tr.commit();
        }
        if (count > 1) {
            ShowNotice(this, QString::fromUtf8(kStandardChartOnlyAtStart));
            return;
        }
        generated = OfferStandardChart(ctx_.companyPath, true, ctx_.companyData.nasiclase,
                                       [this](const std::string& q) { return AskYesNo(this, Q(q)); });
    } catch (const std::exception& e) {
        ShowError(this, QString::fromUtf8(e.what()));
    }
    if (generated) {
        SetClassFilter(AccountClassFilter::All);
        SetImputableOnly(false);
        search_.clear();
        const QSignalBlocker block(cbSeccion);
        cbSeccion->setCurrentIndex(0);
        Reload();
    }
}

void TBrCtasFrm::BtOkClick() {
    const AccountListRow* r = currentRow();
    if (!r) return;
    if (requireImputable_ && !r->imp) {
        ShowNotice(this, "La cuenta " + Q(r->cuenta) + " no es imputable.");
        return;
    }
    selection_ = *r;
    emit accepted();
}

void TBrCtasFrm::BtCancelClick() {
    selection_.reset();
    emit rejected();
}

// ---- keys and closing ---------------------------------------------------------------------

void TBrCtasFrm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F11 && BrowserHooks().toggleSidePanel) {
        BrowserHooks().toggleSidePanel();
        return;
    }
    if (mode_ == Mode::Select) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            BtOkClick();
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            BtCancelClick();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void TBrCtasFrm::closeEvent(QCloseEvent* event) {
    if (mode_ == Mode::Browse) {
        ctx_.settings.cbSecIdx = cbSeccion->currentIndex();
        try {
            if (!ctx_.appDir.empty()) SaveSettings(KeshIniPath(ctx_.appDir), ctx_.settings);
            if (ctx_.companyData.nctasmode != 0) {
                db::WithTransaction(ctx_.companyPath, [](db::Transaction& tr) {
                    tr.execute("update empresa set nctasmode = 0");
                });
                ctx_.companyData.nctasmode = 0;
            }
        } catch (const std::exception& e) {
            ShowError(this, QString::fromUtf8(e.what()));
        }
        conn_.reset();
        if (balancesStale() && ctx_.settings.CalcBalance0) {
            if (RecalculateBalancesWithWait(this, ctx_.companyPath) >= 0) setBalancesStale(false);
        }
        ctx_.accountsBrowserOpen = false;
    }
    QWidget::closeEvent(event);
}
