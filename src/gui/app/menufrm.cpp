#include "gui/app/menufrm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>

#include "accounts/balance.h"
#include "app/backup_daily.h"
#include "app/settings.h"
#include "app/sqlhelpers.h"
#include "app/termination.h"
#include "db/fiscalyears.h"
#include "entries/browse.h"
#include "gui/accounts/openaccounts.h"
#include "gui/accounts/procesosfrm.h"
#include "gui/accounts/registeraccounts.h"
#include "gui/app/abrirempresafrm.h"
#include "gui/app/acercafrm.h"
#include "gui/app/contrasenafrm.h"
#include "gui/app/datosempresafrm.h"
#include "gui/app/guiutil.h"
#include "gui/app/nuevaempresafrm.h"
#include "gui/app/preferenciasfrm.h"
#include "gui/app/usuariosfrm.h"
#include "gui/entries/asitipofrm.h"
#include "gui/entries/brasifrm.h"
#include "gui/entries/reenumfrm.h"
#include "gui/accounts/accountshooks.h"
#include "gui/reports/frmpapel.h"
#include "gui/vouchers/accountchooser.h"
#include "gui/vouchers/conceptosfrm.h"
#include "gui/vouchers/tipoperfrm.h"
#include "gui/widgets/dialogs.h"
#include "gui/yearend/actualizarbasesfrm.h"
#include "gui/yearend/cierrefrm.h"
#include "gui/yearend/respaldo.h"

using namespace kesh;
using namespace kesh::gui;

namespace {

constexpr int kItemHeight = 19;

// Tool-bar pictures: a rounded tile with a short mark, in one colour per menu.
QIcon TileIcon(const QString& mark, const QColor& color) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(color);
    p.setPen(color.darker(140));
    p.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 4, 4);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(mark.size() > 1 ? 10 : 13);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, mark);
    return QIcon(pm);
}

QIcon TriangleIcon() {
    QPixmap pm(12, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0, 0, 128));
    p.setPen(Qt::NoPen);
    const QPointF pts[3] = {{2, 6}, {10, 12}, {2, 18}};
    p.drawPolygon(pts, 3);
    return QIcon(pm);
}

int screenWidth(const QWidget* w) {
    const QScreen* s = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 1280;
}

} // namespace

TMenuFrm::TMenuFrm(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("KESH"));
    mdi_ = new QMdiArea;
    mdi_->setBackground(QColor(0xE8, 0xEC, 0xF2));
    buildMenus();
    buildToolBar();
    buildLeftPanel();

    splitter_ = new QSplitter(Qt::Horizontal);
    splitter_->addWidget(pLeft);
    splitter_->addWidget(mdi_);
    splitter_->setStretchFactor(1, 1);
    splitter_->setCollapsible(0, true);
    setCentralWidget(splitter_);

    auto* f11 = new QShortcut(QKeySequence(Qt::Key_F11), this);
    f11->setContext(Qt::WindowShortcut);
    connect(f11, &QShortcut::activated, this, &TMenuFrm::ToggleLeftPanel);
    // "Informe Mayor..." of the accounts browser: the ledger of the account under the cursor.
    kesh::gui::BrowserHooks().ledgerReport = [](QWidget* p, kesh::AppContext& c, const QString& code) {
        kesh::gui::OpenAccountLedger(p, c, code.toStdString());
    };

    timer_ = new QTimer(this);
    timer_->setInterval(500);
    connect(timer_, &QTimer::timeout, this, &TMenuFrm::timerTick);
    timer_->start();
    kesh::gui::RegisterAccountsScreens(*this);
    kesh::gui::RegisterBillingScreens();
    applyEnablingRule();
}

TMenuFrm::~TMenuFrm() = default;

db::Connection& TMenuFrm::mainConnection() {
    if (!db0_ || !db0_->isOpen()) db0_ = db::Connection::open(ctx_.companyPath);
    return *db0_;
}

int TMenuFrm::LeftPanelWidth(int screenWidth) {
    if (screenWidth <= 1000) return 140;
    return 140 + static_cast<int>((std::min(screenWidth, 1500) - 1000) * 0.15);
}

// ---------------------------------------------------------------- construction

QAction* TMenuFrm::addEntry(QMenu* menu, const QString& caption, void (TMenuFrm::*slot)()) {
    QAction* a = menu->addAction(caption);
    connect(a, &QAction::triggered, this, slot);
    return a;
}

void TMenuFrm::buildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* m = bar->addMenu(QStringLiteral("&Empresa"));
    actNueva = addEntry(m, QStringLiteral("&Nueva..."), &TMenuFrm::NuevaClick);
    actAbrir = addEntry(m, QStringLiteral("&Abrir..."), &TMenuFrm::AbrirClick);
    m->addSeparator();
    actSalir = addEntry(m, QStringLiteral("&Salir"), &TMenuFrm::SalirClick);

    m = bar->addMenu(QStringLiteral("&Contabilidad"));
    actCuentas = addEntry(m, QStringLiteral("&Cuentas..."), &TMenuFrm::CuentasClick);
    actAsientos = addEntry(m, QStringLiteral("&Asientos..."), &TMenuFrm::AsientosClick);
    actAsientosTipo = addEntry(m, QStringLiteral("Asientos &Tipo..."), &TMenuFrm::AsientosTipoClick);
    actIndices = addEntry(m, QStringLiteral("&Indices de ajuste..."), &TMenuFrm::IndicesClick);
    actCierre = addEntry(m, QStringLiteral("Asientos de Cierre..."), &TMenuFrm::CierreClick);
    actImportarAsientos = addEntry(m, QStringLiteral("Importar asientos..."), &TMenuFrm::ImportarAsientosClick);
    actCuadroBalance = addEntry(m, QStringLiteral("Cuadro Balance..."), &TMenuFrm::CuadroBalanceClick);
    actCuadroBalance->setVisible(false);
    m->addSeparator();
    mnuPaquete = m->addMenu(QStringLiteral("Paquete de asientos..."));
    actPaqGenerar = addEntry(mnuPaquete, QStringLiteral("&Generar..."), &TMenuFrm::PaqGenerarClick);
    actPaqImportar = addEntry(mnuPaquete, QStringLiteral("I&mportar..."), &TMenuFrm::PaqImportarClick);
    mnuInformes = m->addMenu(QStringLiteral("Informes"));
    actInfPlan = addEntry(mnuInformes, QStringLiteral("&Plan de Cuentas..."), &TMenuFrm::InfPlanClick);
    actInfBalance = addEntry(mnuInformes, QStringLiteral("&Balance..."), &TMenuFrm::InfBalanceClick);
    actInfDiario = addEntry(mnuInformes, QStringLiteral("&Diario..."), &TMenuFrm::InfDiarioClick);
    actInfDiarioResumido = addEntry(mnuInformes, QStringLiteral("Diario Resumido..."), &TMenuFrm::InfDiarioResumidoClick);
    actInfMayor = addEntry(mnuInformes, QStringLiteral("&Mayor..."), &TMenuFrm::InfMayorClick);
    actInfSumas = addEntry(mnuInformes, QStringLiteral("Sumas y Saldos..."), &TMenuFrm::InfSumasClick);
    actInfAjuste = addEntry(mnuInformes, QStringLiteral("Ajuste por Inflación..."), &TMenuFrm::InfAjusteClick);
    actInfAnalisis = addEntry(mnuInformes, QStringLiteral("Análisis de Cuenta..."), &TMenuFrm::InfAnalisisClick);

    mnuCompras = bar->addMenu(QStringLiteral("C&ompras"));
    actComConceptos = addEntry(mnuCompras, QStringLiteral("Conceptos de &Facturación..."), &TMenuFrm::ComConceptosClick);
    actProveedores = addEntry(mnuCompras, QStringLiteral("&Proveedores..."), &TMenuFrm::ProveedoresClick);
    actComTipos = addEntry(mnuCompras, QStringLiteral("Tipos de operación..."), &TMenuFrm::ComTiposClick);
    actAsientosCompras = addEntry(mnuCompras, QStringLiteral("&Asientos de Compras..."), &TMenuFrm::AsientosComprasClick);
    QMenu* inf = mnuCompras->addMenu(QStringLiteral("Informes"));
    actLibroIvaCompras = addEntry(inf, QStringLiteral("&Libro IVA Compras..."), &TMenuFrm::LibroIvaComprasClick);
    QMenu* gen = inf->addMenu(QStringLiteral("&Generador de Informes"));
    actGenProveedores = addEntry(gen, QStringLiteral("P&roveedores..."), &TMenuFrm::GenProveedoresClick);
    actGenCompras = addEntry(gen, QStringLiteral("Compras..."), &TMenuFrm::GenComprasClick);

    mnuVentas = bar->addMenu(QStringLiteral("&Ventas"));
    actVenConceptos = addEntry(mnuVentas, QStringLiteral("Conceptos de &Facturación..."), &TMenuFrm::VenConceptosClick);
    actClientes = addEntry(mnuVentas, QStringLiteral("&Clientes..."), &TMenuFrm::ClientesClick);
    actVenTipos = addEntry(mnuVentas, QStringLiteral("Tipos de Operación..."), &TMenuFrm::VenTiposClick);
    actAsientosVentas = addEntry(mnuVentas, QStringLiteral("&Asientos de Ventas..."), &TMenuFrm::AsientosVentasClick);
    inf = mnuVentas->addMenu(QStringLiteral("Informes"));
    actLibroIvaVentas = addEntry(inf, QStringLiteral("&Libro IVA Ventas..."), &TMenuFrm::LibroIvaVentasClick);
    actPosicionIva = addEntry(inf, QStringLiteral("&Posición IVA..."), &TMenuFrm::PosicionIvaClick);
    gen = inf->addMenu(QStringLiteral("&Generador de Informes"));
    actGenClientes = addEntry(gen, QStringLiteral("C&lientes..."), &TMenuFrm::GenClientesClick);
    actGenVentas = addEntry(gen, QStringLiteral("&Ventas..."), &TMenuFrm::GenVentasClick);
    actDiscontinuidad = addEntry(inf, QStringLiteral("&Discontinuidad de Comprobantes..."), &TMenuFrm::DiscontinuidadClick);

    m = bar->addMenu(QStringLiteral("&Utilidades"));
    actCopiarDatos = addEntry(m, QStringLiteral("&Copiar datos entre Ejercicios..."), &TMenuFrm::CopiarDatosClick);
    actActualizarBases = addEntry(m, QStringLiteral("Actualizar bases de datos..."), &TMenuFrm::ActualizarBasesClick);
    QMenu* imp = m->addMenu(QStringLiteral("Importar"));
    actImportarKardo = addEntry(imp, QStringLiteral("&Importar de Kardo2001..."), &TMenuFrm::ImportarKardoClick);
    actImportarVexal = addEntry(imp, QStringLiteral("Importar de Vexal..."), &TMenuFrm::ImportarVexalClick);
    actImportarComprobantes = addEntry(imp, QStringLiteral("Importar Comprobantes ..."), &TMenuFrm::ImportarComprobantesClick);
    actProcesosUtiles = addEntry(m, QStringLiteral("Procesos útiles..."), &TMenuFrm::ProcesosUtilesClick);
    actProcesosUtiles->setVisible(false);
    m->addSeparator();
    actCrearRespaldo = addEntry(m, QStringLiteral("Crear respaldo..."), &TMenuFrm::CrearRespaldoClick);
    actRecuperarRespaldo = addEntry(m, QStringLiteral("Recuperar Respaldo..."), &TMenuFrm::RecuperarRespaldoClick);
    m->addSeparator();
    actUsuarios = addEntry(m, QStringLiteral("&Usuarios..."), &TMenuFrm::UsuariosClick);
    actContrasenas = addEntry(m, QStringLiteral("C&ontraseñas..."), &TMenuFrm::ContrasenasClick);
    m->addSeparator();
    actBorrarAsientos = addEntry(m, QStringLiteral("Borrar Asientos..."), &TMenuFrm::BorrarAsientosClick);
    actPreferencias = addEntry(m, QStringLiteral("Preferencias..."), &TMenuFrm::PreferenciasClick);

    m = bar->addMenu(QStringLiteral("&Ayuda"));
    actContenido = addEntry(m, QStringLiteral("&Contenido"), &TMenuFrm::ContenidoClick);
    actAcercaDe = addEntry(m, QStringLiteral("Acerca de KESH..."), &TMenuFrm::AcercaDeClick);
}

void TMenuFrm::buildToolBar() {
    Panel1 = new QToolBar(QStringLiteral("Panel1"));
    Panel1->setMovable(false);
    Panel1->setFloatable(false);
    Panel1->setFixedHeight(32);
    Panel1->setIconSize(QSize(24, 24));
    addToolBar(Qt::TopToolBarArea, Panel1);

    BtnLat = new QToolButton;
    BtnLat->setObjectName(QStringLiteral("BtnLat"));
    BtnLat->setIcon(TriangleIcon());
    BtnLat->setCheckable(true);
    BtnLat->setChecked(true);
    BtnLat->setAutoRaise(true);
    BtnLat->setToolTip(QStringLiteral("Abrir ventana ejercicios <F11>"));
    connect(BtnLat, &QToolButton::clicked, this, [this] { ApplyLeftPanelWidth(); });
    Panel1->addWidget(BtnLat);

    const QColor empresa(0x2E, 0x5E, 0x8C), conta(0x2E, 0x7D, 0x32), compras(0xB2, 0x5B, 0x00),
        ventas(0x6A, 0x1B, 0x9A), util(0x45, 0x5A, 0x64);
    struct Tb {
        const char* hint;
        const char* mark;
        QColor color;
        QAction* action;
        bool needsYear;
    };
    const Tb buttons[] = {
        {"Crear nueva empresa", "N", empresa, actNueva, false},
        {"Abrir empresa existente", "A", empresa, actAbrir, false},
        {"Cuentas", "Ct", conta, actCuentas, false},
        {"Asientos", "As", conta, actAsientos, true},
        {"Asientos Tipo", "AT", conta, actAsientosTipo, false},
        {"Generar Paquete de Asientos", "PG", conta, actPaqGenerar, true},
        {"Importar Paquete de Asientos", "PI", conta, actPaqImportar, true},
        {"Conceptos de Facturación Compras", "FC", compras, actComConceptos, true},
        {"Proveedores", "Pr", compras, actProveedores, true},
        {"Asientos de Compras", "AC", compras, actAsientosCompras, true},
        {"Conceptos de Facturación Ventas", "FV", ventas, actVenConceptos, true},
        {"Clientes", "Cl", ventas, actClientes, true},
        {"Asientos de Ventas", "AV", ventas, actAsientosVentas, true},
        {"Preferencias", "P", util, actPreferencias, false},
        {"Acerca de", "?", util, actAcercaDe, false},
    };
    for (const Tb& b : buttons) {
        auto* tb = new QToolButton;
        tb->setIcon(TileIcon(QString::fromUtf8(b.mark), b.color));
        tb->setToolTip(QString::fromUtf8(b.hint));
        tb->setFixedSize(30, 30);
        tb->setAutoRaise(true);
        QAction* a = b.action;
        connect(tb, &QToolButton::clicked, a, &QAction::trigger);
        Panel1->addWidget(tb);
        toolButtons.push_back(tb);
        if (b.needsYear) yearButtons_.push_back(tb);
    }
}

void TMenuFrm::buildLeftPanel() {
    pLeft = new QWidget;
    pLeft->setObjectName(QStringLiteral("pLeft"));
    pLeft->setMinimumWidth(1);
    auto* lay = new QVBoxLayout(pLeft);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);

    // Fiscal years.
    yearBlock_ = new QWidget;
    auto* yl = new QVBoxLayout(yearBlock_);
    yl->setContentsMargins(2, 0, 2, 2);
    yl->setSpacing(2);
    auto* title = new QFrame;
    title->setStyleSheet(QStringLiteral("background:#1F3F6F; color:white;"));
    auto* tl = new QHBoxLayout(title);
    tl->setContentsMargins(6, 2, 2, 2);
    auto* tlabel = new QLabel(QStringLiteral("EJERCICIOS"));
    QFont bold = tlabel->font();
    bold.setBold(true);
    tlabel->setFont(bold);
    tl->addWidget(tlabel, 1);
    auto* closeBtn = new QToolButton;
    closeBtn->setText(QStringLiteral("×"));
    closeBtn->setAutoRaise(true);
    closeBtn->setStyleSheet(QStringLiteral("color:white;"));
    closeBtn->setToolTip(QStringLiteral("Cerrar ventana ejercicios <F11>"));
    connect(closeBtn, &QToolButton::clicked, this, [this] { setLeftWidth(1); });
    tl->addWidget(closeBtn);
    yl->addWidget(title);

    LCurrEj = new QLabel;
    LCurrEj->setObjectName(QStringLiteral("LCurrEj"));
    LCurrEj->setWordWrap(true);
    yl->addWidget(LCurrEj);

    EjList = new QListWidget;
    EjList->setObjectName(QStringLiteral("EjList"));
    QFont lf(QStringLiteral("Calibri"));
    lf.setPointSize(9);
    EjList->setFont(lf);
    EjList->setStyleSheet(QStringLiteral("QListWidget { color: blue; } QListWidget::item { height: 19px; }"));
    EjList->setMouseTracking(true);
    EjList->setTextElideMode(Qt::ElideNone);
    EjList->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(EjList, &QListWidget::itemClicked, this, [this](QListWidgetItem*) { SelectCurrentYear(); });
    connect(EjList, &QListWidget::itemChanged, this, &TMenuFrm::yearItemChanged);
    connect(EjList, &QListWidget::itemEntered, this, [this](QListWidgetItem*) {
        EjList->setFocus();
        if (!EjList->currentItem() && EjList->count() > 0) EjList->setCurrentRow(0);
    });
    yl->addWidget(EjList, 1);

    auto* btnRow = new QHBoxLayout;
    btnRow->setSpacing(1);
    auto* btAgregar = new QPushButton(QStringLiteral("Agregar"));
    btAgregar->setToolTip(QStringLiteral("Agregar ejercicio"));
    auto* btModificar = new QPushButton(QStringLiteral("Modificar"));
    btModificar->setToolTip(QStringLiteral("Modificar ejercicio"));
    auto* btBorrar = new QPushButton(QStringLiteral("Borrar"));
    btBorrar->setToolTip(QStringLiteral("Borrar ejercicio"));
    connect(btAgregar, &QPushButton::clicked, this, &TMenuFrm::BtAgregarClick);
    connect(btModificar, &QPushButton::clicked, this, &TMenuFrm::BtModificarClick);
    connect(btBorrar, &QPushButton::clicked, this, &TMenuFrm::BtBorrarClick);
    for (QPushButton* b : {btAgregar, btModificar, btBorrar}) {
        b->setStyleSheet(QStringLiteral("padding: 2px 1px;"));
        b->setMinimumWidth(10);
    }
    btnRow->addWidget(btAgregar);
    btnRow->addWidget(btModificar);
    btnRow->addWidget(btBorrar);
    yl->addLayout(btnRow);

    // The edit panel for adding and changing a year, shown over the list.
    PnlEdit = new QFrame;
    PnlEdit->setObjectName(QStringLiteral("PnlEdit"));
    PnlEdit->setFrameShape(QFrame::StyledPanel);
    PnlEdit->setMinimumHeight(170);
    auto* el = new QVBoxLayout(PnlEdit);
    editTitle_ = new QLabel;
    editTitle_->setFont(bold);
    el->addWidget(editTitle_);
    auto* form = new QFormLayout;
    EdDescrip = new QLineEdit;
    EdDescrip->setMaxLength(40);
    EdFecha1 = new QDateEdit;
    EdFecha2 = new QDateEdit;
    for (QDateEdit* d : {EdFecha1, EdFecha2}) {
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setCalendarPopup(true);
    }
    form->addRow(QStringLiteral("Descripción"), EdDescrip);
    form->addRow(QStringLiteral("Fecha inicial"), EdFecha1);
    form->addRow(QStringLiteral("Fecha final"), EdFecha2);
    el->addLayout(form);
    ChGenApe = new QCheckBox(QStringLiteral("Generar Asiento de Apertura"));
    el->addWidget(ChGenApe);
    auto* eb = new QHBoxLayout;
    BtEjAceptar = new QPushButton(QStringLiteral("Aceptar"));
    auto* btEjCancelar = new QPushButton(QStringLiteral("Cancelar"));
    connect(BtEjAceptar, &QPushButton::clicked, this, &TMenuFrm::BtEjAceptarClick);
    connect(btEjCancelar, &QPushButton::clicked, this, &TMenuFrm::BtEjCancelarClick);
    eb->addWidget(BtEjAceptar);
    eb->addWidget(btEjCancelar);
    el->addLayout(eb);
    PnlEdit->hide();
    yl->addWidget(PnlEdit);
    lay->addWidget(yearBlock_);

    // Company data.
    companyBlock_ = new QWidget;
    auto* cl = new QVBoxLayout(companyBlock_);
    cl->setContentsMargins(2, 0, 2, 2);
    auto* ctitle = new QLabel(QStringLiteral("DATOS DE LA EMPRESA"));
    ctitle->setFont(bold);
    ctitle->setStyleSheet(QStringLiteral("background:#1F3F6F; color:white; padding:2px 6px;"));
    cl->addWidget(ctitle);
    // Captions above their values: the panel is narrow and addresses are long.
    auto* cform = new QFormLayout;
    cform->setRowWrapPolicy(QFormLayout::WrapAllRows);
    cform->setVerticalSpacing(0);
    auto addValue = [&](const char* caption, std::string CompanyData::*field) {
        auto* v = new QLabel;
        v->setWordWrap(true);
        v->setStyleSheet(QStringLiteral("color:#1F3F6F; padding-left:6px;"));
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        auto* c = new QLabel(QString::fromUtf8(caption));
        QFont small = c->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        c->setFont(small);
        c->setStyleSheet(QStringLiteral("color:#606870;"));
        cform->addRow(c, v);
        if (field) companyValues_.emplace_back(v, field);
        return v;
    };
    addValue("Empresa:", &CompanyData::nombre);
    addValue("Domicilio", &CompanyData::domicilio);
    addValue("Localidad", &CompanyData::ciudad);
    addValue("Cod.Postal", &CompanyData::codpostal);
    addValue("Telefono", &CompanyData::telefonos);
    sucValue_ = addValue("Suc", nullptr);
    addValue("Cuit", &CompanyData::cuit);
    addValue("Ing.Brutos", &CompanyData::ingbrut);
    addValue("Ganancias", &CompanyData::ganancias);
    addValue("Email", &CompanyData::email);
    addValue("Observaciones", &CompanyData::obs);
    cl->addLayout(cform);
    auto* btDatos = new QPushButton(QStringLiteral("Modificar"));
    btDatos->setToolTip(QStringLiteral("Modificar datos de la empresa"));
    connect(btDatos, &QPushButton::clicked, this, &TMenuFrm::DatosEmpresaClick);
    cl->addWidget(btDatos);
    cl->addStretch(1);
    userLabel_ = new QLabel(QStringLiteral(" Usuario: "));
    cl->addWidget(userLabel_);
    lay->addWidget(companyBlock_);
    lay->addStretch(1);
}

// ---------------------------------------------------------------- start-up

bool TMenuFrm::Startup() {
    try {
        ctx_.appDir = ResolveAppDir(ProgramDir());
        // A data folder of its own (KESH_HOME) gets the templates it lacks from the program's.
        if (ctx_.appDir != ProgramDir()) SeedAppDir(ctx_.appDir, ProgramDir());
        ctx_.settings = kesh::LoadSettings(KeshIniPath(ctx_.appDir));
        ctx_.companyPath = ctx_.settings.Base0;
    } catch (const std::exception& e) {
        ShowError(this, ErrorText(e));
        return false;
    }
    ctx_.accountsBrowserOpen = false;
    ctx_.entriesBrowserOpen = false;
    if (!loginAtStartup()) return false;

    Panel1->setVisible(screenWidth(this) > 900);
    try {
        ctx_.companyPath = db::StartupCompanyPath(ctx_.appDir, ctx_.settings.Base0);
    } catch (const std::exception& e) {
        ShowError(this, ErrorText(e));
        return false;
    }
    SaveSettings();
    userLabel_->setText(QStringLiteral(" Usuario: ") + Q(ctx_.userName));
    ApplyLeftPanelWidth();
    if (OpenCompany()) return true;
    // A company on a server that cannot be reached: fall back to the demo company.
    const std::string demo = db::StartupCompanyPath(ctx_.appDir, std::string());
    if (ctx_.companyPath == demo) return false;
    ctx_.companyPath = demo;
    SaveSettings();
    return OpenCompany();
}

bool TMenuFrm::loginAtStartup() {
    try {
        users_ = UserStore::load(UsersIniPath());
    } catch (const std::exception& e) {
        ShowError(this, ErrorText(e));
        return false;
    }
    LoginResult r = LoginWithoutDialog(users_, WindowsUserName());
    if (!r.ok) {
        ctx_.userLevel = 2; // while the dialog is up
        TContrasenaFrm dlg(users_, TContrasenaFrm::Mode::Login, this);
        if (dlg.exec() != QDialog::Accepted) return false;
        r = dlg.loginResult();
        if (!r.ok) return false;
    }
    ctx_.userIndex = r.userIndex;
    ctx_.userLevel = r.userLevel;
    ctx_.userName = r.userName;
    SaveSettings();
    return true;
}

void TMenuFrm::SaveSettings() {
    ctx_.settings.Base0 = ctx_.companyPath;
    ctx_.settings.currusr = ctx_.userIndex;
    try {
        kesh::SaveSettings(KeshIniPath(ctx_.appDir), ctx_.settings);
    } catch (const std::exception& e) {
        ShowError(this, ErrorText(e));
    }
}

bool TMenuFrm::CheckLevel(int maxLevel) {
    if (LevelAllows(ctx_.userLevel, maxLevel)) return true;
    ShowMessage(this, QString::fromUtf8(kNotAuthorized));
    return false;
}

// ---------------------------------------------------------------- opening a company

bool TMenuFrm::OpenCompany() { return OpenCompanyKeeping(0); }

bool TMenuFrm::OpenCompanyKeeping(int yearId) {
    db::CompanyState st;
    std::optional<db::Connection> conn;
    try {
        if (db0_) db0_->close();
        conn = db::Connection::open(ctx_.companyPath);
        st = db::LoadCompanyState(ctx_.companyPath, yearId);
    } catch (const std::exception& e) {
        ShowError(this, QStringLiteral("No se pudo abrir la empresa %1:\n%2").arg(Q(ctx_.companyPath), ErrorText(e)));
        return false;
    }
    db0_ = std::move(conn);
    years_ = std::move(st.years);
    ctx_.companyData = st.record.data;
    ctx_.reportRange = st.range;
    fillYearList();
    fillCompanyPanel();

    ctx_.currentEj = FiscalYear{};
    int row = 0;
    for (size_t i = 0; i < years_.size(); ++i)
        if (years_[i].id == st.current.id) row = static_cast<int>(i);
    if (EjList->count() > 0) {
        EjList->setCurrentRow(row);
        SelectCurrentYear();
    }
    resizeYearBlock();
    EjList->setFocus();

    if (db::ShouldOfferStandardChart(st) && offerStandardChart) offerStandardChart();

    if (ctx_.accountsBrowserOpen && reopenAccountsBrowser) reopenAccountsBrowser();
    if (ctx_.entriesBrowserOpen && reopenEntriesBrowser) reopenEntriesBrowser();
    applyEnablingRule();
    LCurrEj->setText(EjList->currentItem() ? EjList->currentItem()->text().trimmed() : QString());
    return true;
}

void TMenuFrm::fillYearList() {
    clearingMarks_ = true;
    EjList->clear();
    for (const FiscalYear& y : years_) {
        auto* item = new QListWidgetItem(Q(db::FiscalYearItemText(y)));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(y.ticked() ? Qt::Checked : Qt::Unchecked);
        item->setSizeHint(QSize(0, kItemHeight));
        EjList->addItem(item);
    }
    clearingMarks_ = false;
}

void TMenuFrm::fillCompanyPanel() {
    for (auto& [label, field] : companyValues_) label->setText(Q(ctx_.companyData.*field));
    sucValue_->setText(QStringLiteral("%1").arg(ctx_.companyData.sucursal, 3, 10, QLatin1Char('0')));
}

void TMenuFrm::resizeYearBlock() {
    const int h = EjList->count() * kItemHeight + 24 + 30 + 40 + LCurrEj->sizeHint().height();
    EjList->setMinimumHeight(std::max(EjList->count(), 1) * kItemHeight + 6);
    yearBlock_->setMinimumHeight(PnlEdit->isVisible() ? h + PnlEdit->sizeHint().height() : h);
    companyBlock_->setVisible(height() >= 460);
}

void TMenuFrm::applyEnablingRule() {
    const bool on = ctx_.currentEj.id != 0;
    for (QAction* a : {actAsientos, actCierre, mnuPaquete->menuAction(), mnuInformes->menuAction(),
                       mnuCompras->menuAction(), mnuVentas->menuAction()})
        a->setEnabled(on);
    for (QToolButton* b : yearButtons_) b->setEnabled(on);
}

// ---------------------------------------------------------------- fiscal years

void TMenuFrm::SelectCurrentYear() {
    QListWidgetItem* item = EjList->currentItem();
    if (EjList->count() == 0 || !item) return;
    const int id = db::FiscalYearItemId(S(item->text()));
    ctx_.currentEj = FiscalYear{};
    try {
        if (auto y = db::ReadFiscalYear(ctx_.companyPath, id)) ctx_.currentEj = *y;
        // The main connection starts afresh on the new year.
        if (db0_) db0_->close();
        db0_ = db::Connection::open(ctx_.companyPath);
    } catch (const std::exception& e) {
        ShowError(this, ErrorText(e));
    }
    for (const std::string& w : db::FiscalYearWarnings(ctx_.currentEj, Clock::today()))
        ShowMessage(this, Q(w));
    LCurrEj->setText(item->text().trimmed());
    applyEnablingRule();
}

void TMenuFrm::yearItemChanged(QListWidgetItem* item) {
    if (clearingMarks_ || !item) return;
    const int id = db::FiscalYearItemId(S(item->text()));
    try {
        db::SetFiscalYearActive(ctx_.companyPath, id, item->checkState() == Qt::Checked);
    } catch (const std::exception& e) {
        ShowError(this, ErrorText(e));
        return;
    }
    if (rememberedIndex_ >= 0 && rememberedIndex_ < EjList->count()) {
        EjList->setCurrentRow(rememberedIndex_);
        SelectCurrentYear();
    }
}

void TMenuFrm::BtAgregarClick() {
    editAdding_ = true;
    editId_ = 0;
    editTitle_->setText(QStringLiteral("AGREGAR EJERCICIO"));
    EdDescrip->clear();
    const auto [d1, d2] = db::DefaultNewYearDates(ctx_.currentEj, Clock::today());
    EdFecha1->setDate(ToQDate(d1));
    EdFecha2->setDate(ToQDate(d2));
    ChGenApe->setChecked(false);
    ChGenApe->setVisible(ctx_.currentEj.idcierre != 0);
    PnlEdit->setMinimumHeight(170);
    PnlEdit->show();
    resizeYearBlock();
    EdDescrip->setFocus();
}

void TMenuFrm::BtModificarClick() {
    QListWidgetItem* item = EjList->currentItem();
    if (!item) {
        ShowMessage(this, QStringLiteral("Debe seleccionar un ejercicio."));
        return;
    }
    editAdding_ = false;
    editId_ = db::FiscalYearItemId(S(item->text()));
    editTitle_->setText(QStringLiteral("MODIFICAR EJERCICIO"));
    try {
        db::Transaction tr = mainConnection().begin();
        auto y = db::ReadFiscalYear(tr, editId_);
        tr.commit();
        if (!y) return;
        EdDescrip->setText(Q(y->descrip));
        EdFecha1->setDate(ToQDate(y->fech1));
        EdFecha2->setDate(ToQDate(y->fech2));
    } catch (const std::exception& e) {
        ShowError(this, ErrorText(e));
        return;
    }
    ChGenApe->setChecked(false);
    ChGenApe->hide();
    PnlEdit->setMinimumHeight(150);
    PnlEdit->show();
    resizeYearBlock();
    EdDescrip->setFocus();
}

void TMenuFrm::BtEjAceptarClick() {
    const std::string descrip = S(EdDescrip->text());
    if (std::string msg = db::CheckFiscalYearInput(descrip); !msg.empty()) {
        ShowMessage(this, Q(msg));
        EdDescrip->setFocus();
        return;
    }
    const int index = std::max(EjList->currentRow(), 0);
    const int keepId = ctx_.currentEj.id;
    const Date f1 = FromQDate(EdFecha1->date());
    const Date f2 = FromQDate(EdFecha2->date());
    try {
        db::Transaction tr = mainConnection().begin();
        if (editAdding_) {
            const int closing = ChGenApe->isVisible() && ChGenApe->isChecked() ? ctx_.currentEj.idcierre : 0;
            db::AddFiscalYear(tr, descrip, f1, f2, closing);
        } else {
            db::ChangeFiscalYear(tr, editId_, descrip, f1, f2);
        }
        tr.commit();
    } catch (const std::exception& e) {
        ShowError(this, QStringLiteral("Error al guardar el ejercicio:\n") + ErrorText(e));
        return; // the panel stays open
    }
    PnlEdit->hide();
    OpenCompanyKeeping(keepId);
    if (EjList->count() > 0 && EjList->currentRow() != index && index < EjList->count()) {
        // The year that was current stays current; the list keeps its place.
        clearingMarks_ = true;
        EjList->setCurrentRow(index);
        clearingMarks_ = false;
    }
    resizeYearBlock();
}

void TMenuFrm::BtEjCancelarClick() {
    PnlEdit->hide();
    resizeYearBlock();
}

void TMenuFrm::BtBorrarClick() {
    QListWidgetItem* item = EjList->currentItem();
    if (!item) {
        ShowMessage(this, QStringLiteral("Debe seleccionar un ejercicio."));
        return;
    }
    const int id = db::FiscalYearItemId(S(item->text()));
    const int keepId = ctx_.currentEj.id == id ? 0 : ctx_.currentEj.id;
    try {
        db::Transaction tr = mainConnection().begin();
        if (db::CountEntries(tr, id) > 0) {
            tr.commit();
            ShowMessage(this, QString::fromUtf8(db::kYearHasEntries));
            return;
        }
        if (!AskYesNo(this, QStringLiteral("Quiere borrar el ejercicio [%1]?").arg(item->text())))
            return;
        if (!db::DeleteFiscalYear(tr, id)) {
            ShowMessage(this, QString::fromUtf8(db::kYearHasEntries));
            return;
        }
        tr.commit();
    } catch (const std::exception& e) {
        ShowError(this, ErrorText(e));
        return;
    }
    OpenCompanyKeeping(keepId);
    LCurrEj->setText(EjList->currentItem() ? EjList->currentItem()->text().trimmed() : QString());
}

// ---------------------------------------------------------------- timer, panel, closing

void TMenuFrm::timerTick() {
    // Tick marks are only an echo of the click; the stored flags stay as written.
    clearingMarks_ = true;
    for (int i = 0; i < EjList->count(); ++i) EjList->item(i)->setCheckState(Qt::Unchecked);
    clearingMarks_ = false;
    if (EjList->count() > 0 && !EjList->currentItem()) EjList->setCurrentRow(0);
    rememberedIndex_ = EjList->currentRow();
    const int w = pLeft->width();
    if (w > 30 && !BtnLat->isChecked()) BtnLat->setChecked(true);
    if (w < 30 && BtnLat->isChecked()) BtnLat->setChecked(false);
    setWindowTitle(QStringLiteral("KESH [%1][%2]").arg(Q(ctx_.companyPath), LCurrEj->text()));
    companyBlock_->setVisible(height() >= 460);
}

void TMenuFrm::setLeftWidth(int w) {
    QList<int> sizes = splitter_->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    splitter_->setSizes({w, std::max(total - w, 1)});
    pLeft->setVisible(w > 1);
}

void TMenuFrm::ApplyLeftPanelWidth() {
    setLeftWidth(BtnLat->isChecked() ? LeftPanelWidth(screenWidth(this)) : 1);
}

void TMenuFrm::ToggleLeftPanel() {
    const bool open = pLeft->isVisible() && pLeft->width() > 4;
    setLeftWidth(open ? 1 : 150);
}

void TMenuFrm::closeEvent(QCloseEvent* e) {
    if (closing_) {
        e->accept();
        return;
    }
    closing_ = true;
    timer_->stop();
    try {
        if (ctx_.settings.CalcBalance2) {
            if (recalcBalances)
                recalcBalances();
            else
                RecalculateBalances(ctx_.companyPath);
        }
    } catch (...) {
        // Closing goes on: the recalculation can be run again from the menu.
    }
    takeDailyCopy();
    e->accept();
}

void TMenuFrm::takeDailyCopy() {
    // Every connection to the file is closed first (the browsers' with their windows), so
    // the copy is a complete, consistent database.
    for (QMdiSubWindow* w : mdi_->subWindowList()) {
        w->close();
        delete w;
    }
    db0_.reset();
    if (!ctx_.companyPath.empty()) TakeDailyCopy(ctx_.appDir, ctx_.companyPath, Clock::today(), ctx_.settings.FirebirdDir);
}

// ---------------------------------------------------------------- menu commands

void TMenuFrm::enConstruccion() { ShowMessage(this, QStringLiteral("En construcción")); }

void TMenuFrm::NuevaClick() {
    if (!CheckLevel(level::kNuevaEmpresa)) return;
    TNuevaEmpresaFrm dlg(ctx_.appDir, this);
    if (dlg.exec() != QDialog::Accepted) return;
    ctx_.companyPath = dlg.createdPath();
    try {
        db::PrependToLocalList(LocalListPath(ctx_.appDir), ctx_.companyPath);
    } catch (const std::exception& e) {
        ShowError(this, ErrorText(e));
    }
    SaveSettings();
    setWindowTitle(QStringLiteral("KESH [%1]  ").arg(Q(ctx_.companyPath)));
    OpenCompany();
}

void TMenuFrm::AbrirClick() {
    TAbrirEmpresaFrm dlg(ctx_.appDir, this);
    const std::string previous = ctx_.companyPath;
    if (dlg.exec() == QDialog::Accepted) ctx_.companyPath = dlg.companyPath();
    SaveSettings();
    if (OpenCompany() || ctx_.companyPath == previous) return;
    // The chosen company could not be opened (the message was shown): the one still on
    // screen stays the open company, in the caption and in kesh.ini.
    ctx_.companyPath = previous;
    SaveSettings();
    OpenCompany();
}

void TMenuFrm::SalirClick() { close(); }
void TMenuFrm::CuentasClick() { kesh::gui::OpenAccountsBrowser(mdi_, ctx_); }
void TMenuFrm::AsientosClick() { OpenEntriesBrowser(int(entries::View::Genericos)); }
void TMenuFrm::AsientosTipoClick() {
    gui::TAsiTipoFrm f(ctx_, gui::TAsiTipoFrm::Mode::Manage, this);
    f.exec();
}
void TMenuFrm::IndicesClick() { enConstruccion(); }
void TMenuFrm::CierreClick() {
    TCierreFrm f(ctx_, [this, id = ctx_.currentEj.id] { OpenCompanyKeeping(id); }, this);
    f.exec();
}
void TMenuFrm::ImportarAsientosClick() { enConstruccion(); }
void TMenuFrm::CuadroBalanceClick() { enConstruccion(); }
void TMenuFrm::PaqGenerarClick() { enConstruccion(); }
void TMenuFrm::PaqImportarClick() { if (CheckLevel(level::kImportarPaquete)) enConstruccion(); }
void TMenuFrm::InfPlanClick() { kesh::gui::OpenReport(this, ctx_, "PlandeCuentas"); }
void TMenuFrm::InfBalanceClick() { kesh::gui::OpenReport(this, ctx_, "Balance"); }
void TMenuFrm::InfDiarioClick() { kesh::gui::OpenReport(this, ctx_, "Diario"); }
void TMenuFrm::InfDiarioResumidoClick() { kesh::gui::OpenReport(this, ctx_, "ASRESUMEN"); }
void TMenuFrm::InfMayorClick() { kesh::gui::OpenReport(this, ctx_, "Mayor"); }
void TMenuFrm::InfSumasClick() { kesh::gui::OpenReport(this, ctx_, "SumasySaldos"); }
void TMenuFrm::InfAjusteClick() { enConstruccion(); }
void TMenuFrm::InfAnalisisClick() { kesh::gui::OpenReport(this, ctx_, "AnalisisDeCuenta"); }
void TMenuFrm::ComConceptosClick() {
    if (!CheckLevel(level::kConceptos)) return;
    ShowConceptos(this, ctx_, vouchers::VoucherSide::Purchases);
    OpenCompany();  // saved or not, as after every change of company-wide data
}
void TMenuFrm::ProveedoresClick() {
    kesh::gui::OpenAccountsBrowser(mdi_, ctx_, AccountClassFilter::Providers);
}
void TMenuFrm::AsientosComprasClick() { OpenEntriesBrowser(int(entries::View::Compras)); }
void TMenuFrm::ComTiposClick() {
    if (CheckLevel(level::kTiposOperacion)) ShowTiposOperacion(this, ctx_.companyPath, 'C');
}
void TMenuFrm::LibroIvaComprasClick() { enConstruccion(); }
void TMenuFrm::GenProveedoresClick() { enConstruccion(); }
void TMenuFrm::GenComprasClick() { enConstruccion(); }
void TMenuFrm::VenConceptosClick() {
    if (!CheckLevel(level::kConceptos)) return;
    ShowConceptos(this, ctx_, vouchers::VoucherSide::Sales);
    OpenCompany();
}
void TMenuFrm::ClientesClick() {
    kesh::gui::OpenAccountsBrowser(mdi_, ctx_, AccountClassFilter::Customers);
}
void TMenuFrm::AsientosVentasClick() { OpenEntriesBrowser(int(entries::View::Ventas)); }
void TMenuFrm::VenTiposClick() {
    if (CheckLevel(level::kTiposOperacion)) ShowTiposOperacion(this, ctx_.companyPath, 'V');
}
void TMenuFrm::LibroIvaVentasClick() { enConstruccion(); }
void TMenuFrm::PosicionIvaClick() { enConstruccion(); }
void TMenuFrm::GenClientesClick() { enConstruccion(); }
void TMenuFrm::GenVentasClick() { enConstruccion(); }
void TMenuFrm::DiscontinuidadClick() { enConstruccion(); }
void TMenuFrm::CopiarDatosClick() { if (CheckLevel(level::kCopiarDatos)) enConstruccion(); }
void TMenuFrm::ActualizarBasesClick() {
    TActualizarBasesFrm f(
        ctx_.appDir, ctx_.settings.FirebirdDir, [this] { if (db0_) db0_->close(); },
        [this, id = ctx_.currentEj.id] { OpenCompanyKeeping(id); }, this);
    f.exec();
}
void TMenuFrm::ImportarKardoClick() { if (CheckLevel(level::kImportarKardo)) enConstruccion(); }
void TMenuFrm::ImportarVexalClick() { enConstruccion(); }
void TMenuFrm::ImportarComprobantesClick() { enConstruccion(); }
void TMenuFrm::ProcesosUtilesClick() { kesh::gui::ShowProcesosUtiles(this, ctx_); }
void TMenuFrm::CrearRespaldoClick() { CrearRespaldo(this, ctx_); }
void TMenuFrm::RecuperarRespaldoClick() { if (CheckLevel(level::kRecuperarRespaldo)) RecuperarRespaldo(this, ctx_); }
void TMenuFrm::BorrarAsientosClick() {
    gui::TBorrarAsiFrm f(ctx_, this);
    // The deletion may take the year's closing entries: the year is read again.
    if (f.exec() == QDialog::Accepted) OpenCompanyKeeping(ctx_.currentEj.id);
}

void TMenuFrm::OpenEntriesBrowser(int view) {
    auto open = [this, view] {
        // "Informe" of the browser: the journal of the entry under the cursor.
        if (gui::TBrAsiFrm* b = gui::TBrAsiFrm::Open(mdi_, ctx_, entries::View(view)))
            b->printEntry = [this](int64_t id) { gui::OpenEntryReport(this, ctx_, int(id)); };
    };
    reopenEntriesBrowser = open;
    open();
}

void TMenuFrm::UsuariosClick() {
    if (!CheckLevel(level::kUsuarios)) return;
    TUsuariosFrm dlg(users_, this);
    dlg.exec();
}

void TMenuFrm::ContrasenasClick() {
    if (!CheckLevel(level::kUsuarios)) return;
    TContrasenaFrm dlg(users_, TContrasenaFrm::Mode::Change, this);
    dlg.exec();
}

void TMenuFrm::PreferenciasClick() {
    TPreferenciasFrm dlg(ctx_.settings, this);
    connect(&dlg, &TPreferenciasFrm::fontsChanged, this, [this] {
        if (repaintBrowsers) repaintBrowsers();
    });
    if (dlg.exec() == QDialog::Accepted) SaveSettings();
    if (repaintBrowsers) repaintBrowsers();
}

void TMenuFrm::ContenidoClick() {
    // The help is installed beside the program; a data folder elsewhere may carry a copy.
    QString index = Q(ProgramDir()) + QStringLiteral("/help/index.html");
    if (!QFileInfo::exists(index)) index = Q(ctx_.appDir) + QStringLiteral("/help/index.html");
    if (!QFileInfo::exists(index)) {
        ShowMessage(this, QStringLiteral("No se encuentra la ayuda: ") + index);
        return;
    }
    kesh::TerminationUnblocked forTheBrowser;
    QDesktopServices::openUrl(QUrl::fromLocalFile(index));
}

void TMenuFrm::AcercaDeClick() {
    TAcercaFrm dlg(this);
    dlg.exec();
}

void TMenuFrm::DatosEmpresaClick() {
    TDatosEmpresaFrm dlg(ctx_.appDir, ctx_.companyPath, ctx_.companyData, this);
    if (dlg.exec() == QDialog::Accepted) OpenCompanyKeeping(ctx_.currentEj.id);
}
