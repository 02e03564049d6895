#include "gui/reports/reportdialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "accounts/codes.h"
#include "app/settings.h"
#include "db/database.h"
#include "gui/accounts/accountpicker.h"
#include "gui/widgets/dialogs.h"

namespace kesh::gui {

std::function<std::optional<std::string>(bool)> ChooseAccountHook;

QDate ToQDate(Date d) {
    if (d.isZero()) return {};
    return QDate(d.year(), d.month(), d.day());
}

Date FromQDate(const QDate& d) {
    if (!d.isValid()) return {};
    return Date::fromYmd(d.year(), d.month(), d.day());
}

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QDateEdit* DateEdit(QWidget* parent, Date d, const QString& format = QStringLiteral("dd/MM/yyyy")) {
    auto* e = new QDateEdit(parent);
    e->setDisplayFormat(format);
    e->setCalendarPopup(true);
    e->setDate(d.isZero() ? QDate::currentDate() : ToQDate(d));
    return e;
}

std::string NameOf(const AppContext& ctx, const std::string& code) {
    if (code.empty()) return {};
    try {
        return db::WithTransaction(ctx.companyPath, [&](db::Transaction& tr) {
            return tr.queryText("select cuenta from cuentas where cod = ?", {code});
        });
    } catch (const db::DbError&) {
        return {};
    }
}

QHBoxLayout* OkCancel(QDialog* d, QPushButton*& ok, QPushButton*& cancel, const QString& okText) {
    ok = new QPushButton(okText, d);
    cancel = new QPushButton(QStringLiteral("Cancelar"), d);
    ok->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    QObject::connect(cancel, &QPushButton::clicked, d, &QDialog::reject);
    return row;
}

// A check box showing a stored option.
QCheckBox* Check(QWidget* parent, const QString& text, bool value) {
    auto* c = new QCheckBox(text, parent);
    c->setChecked(value);
    return c;
}

} // namespace

QString AccountButtonText(const std::string& code, const std::string& name) {
    if (code.empty()) return {};
    QString shown = Q(ToDisplayCode(code));
    return shown.leftJustified(10, ' ') + " " + Q(name);
}

void SaveKeshIni(QWidget* parent, const AppContext& ctx) {
    if (ctx.appDir.empty()) return;
    try {
        SaveSettings(KeshIniPath(ctx.appDir), ctx.settings);
    } catch (const std::exception& e) {
        ShowError(parent, Q(e.what()));
    }
}

// ---- account chooser ------------------------------------------------------------------------

std::optional<std::string> ChooseAccount(QWidget* parent, AppContext& ctx, bool imputableOnly,
                                         const std::string& startCode) {
    if (ChooseAccountHook) return ChooseAccountHook(imputableOnly);
    const QString code = PickAccount(parent, ctx, Q(startCode), imputableOnly);
    if (code.isEmpty()) return std::nullopt;
    return code.toStdString();
}

// ---- account range ----------------------------------------------------------------------------

AccountRangeBox::AccountRangeBox(AppContext& ctx, const QString& allCaption, QWidget* parent)
    : QGroupBox(QStringLiteral("Rango de cuentas"), parent), ctx_(ctx) {
    CmCuentaIni = new QPushButton(this);
    CmCuentaFin = new QPushButton(this);
    BtCopiarFin = new QPushButton(QStringLiteral("↑"), this);
    BtCopiarIni = new QPushButton(QStringLiteral("↓"), this);
    BtCopiarFin->setToolTip(QStringLiteral("Copiar Cuenta"));
    BtCopiarIni->setToolTip(QStringLiteral("Copiar Cuenta"));
    checkallctas = new QCheckBox(allCaption, this);
    auto* g = new QFormLayout(this);
    auto* ini = new QHBoxLayout;
    ini->addWidget(CmCuentaIni, 1);
    ini->addWidget(BtCopiarFin);
    auto* fin = new QHBoxLayout;
    fin->addWidget(CmCuentaFin, 1);
    fin->addWidget(BtCopiarIni);
    g->addRow(QStringLiteral("Inicio"), ini);
    g->addRow(QStringLiteral("Fin"), fin);
    g->addRow(checkallctas);
    checkallctas->setChecked(ctx_.settings.Todascuentas);
    connect(CmCuentaIni, &QPushButton::clicked, this, [this] { choose(true); });
    connect(CmCuentaFin, &QPushButton::clicked, this, [this] { choose(false); });
    connect(BtCopiarFin, &QPushButton::clicked, this, [this] {
        ctx_.reportRange.fromCode = ctx_.reportRange.toCode;
        checkallctas->setChecked(false);
        refresh();
    });
    connect(BtCopiarIni, &QPushButton::clicked, this, [this] {
        ctx_.reportRange.toCode = ctx_.reportRange.fromCode;
        checkallctas->setChecked(false);
        refresh();
    });
    connect(checkallctas, &QCheckBox::toggled, this, &AccountRangeBox::allAccounts);
    refresh();
}

bool AccountRangeBox::complete() const {
    return !CmCuentaIni->text().trimmed().isEmpty() && !CmCuentaFin->text().trimmed().isEmpty();
}

void AccountRangeBox::choose(bool start) {
    std::string& end = start ? ctx_.reportRange.fromCode : ctx_.reportRange.toCode;
    end = ChooseAccount(this, ctx_, false, end).value_or("");
    checkallctas->setChecked(false);
    refresh();
}

void AccountRangeBox::allAccounts(bool on) {
    if (on) {
        try {
            auto [lo, hi] = db::WithTransaction(ctx_.companyPath, [](db::Transaction& tr) {
                return reports::ChartCodeRange(tr);
            });
            ctx_.reportRange.fromCode = lo;
            ctx_.reportRange.toCode = hi;
        } catch (const db::DbError& e) {
            ShowError(this, Q(e.what()));
        }
    }
    refresh();
}

void AccountRangeBox::refresh() {
    CmCuentaIni->setText(AccountButtonText(ctx_.reportRange.fromCode,
                                           NameOf(ctx_, ctx_.reportRange.fromCode)));
    CmCuentaFin->setText(AccountButtonText(ctx_.reportRange.toCode,
                                           NameOf(ctx_, ctx_.reportRange.toCode)));
    emit changed();
}

// ---- period -------------------------------------------------------------------------------

PeriodBox::PeriodBox(AppContext& ctx, const QString& title, const QString& from, const QString& to,
                     const QString& noLimit, QWidget* parent)
    : QGroupBox(title, parent), ctx_(ctx) {
    DesdeFech = DateEdit(this, ctx.reportRange.fromDate);
    HastaFech = DateEdit(this, ctx.reportRange.toDate);
    SinLimfech = new QCheckBox(noLimit, this);
    auto* f = new QFormLayout(this);
    f->addRow(from, DesdeFech);
    f->addRow(to, HastaFech);
    f->addRow(SinLimfech);
    connect(SinLimfech, &QCheckBox::toggled, this, &PeriodBox::applyNoLimit);
}

void PeriodBox::applyNoLimit() {
    const bool on = SinLimfech->isChecked();
    if (on) {
        try {
            const bool ticked = false;
            auto span = db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) {
                return reports::DataDateSpan(tr, ctx_.currentEj, ticked);
            });
            DesdeFech->setDate(ToQDate(span.from));
            HastaFech->setDate(ToQDate(span.to));
        } catch (const db::DbError& e) {
            ShowError(this, Q(e.what()));
        }
    }
    DesdeFech->setEnabled(!on);
    HastaFech->setEnabled(!on);
}

void PeriodBox::store() {
    ctx_.reportRange.fromDate = FromQDate(DesdeFech->date());
    ctx_.reportRange.toDate = FromQDate(HastaFech->date());
}

// ---- journal ------------------------------------------------------------------------------

TFDlgInfDia::TFDlgInfDia(AppContext& ctx, reports::ReportParams& params, bool summary,
                         QWidget* parent)
    : QDialog(parent), ctx_(ctx), params_(params) {
    setWindowTitle(summary ? QStringLiteral("Diario Resumido") : QStringLiteral("Informe: LIBRO DIARIO"));
    PanFecha = new PeriodBox(ctx, QString(), QStringLiteral("Desde la fecha:"),
                             QStringLiteral("Hasta la fecha:"), QStringLiteral("Sin límite de Fecha "), this);
    SumIguales = Check(this, QStringLiteral("Incluir sumas iguales al final de cada asiento"),
                       ctx.settings.DSumasIguales);
    chapertura = Check(this, QStringLiteral("Incluir asiento de apertura"), ctx.settings.DApertura);
    chrefun = Check(this, QStringLiteral("Incluir asiento de refundición de resultados"),
                    ctx.settings.DRefun);
    chcierre = Check(this, QStringLiteral("Incluir asiento de cierre"), ctx.settings.DCierre);
    Panel1 = new QGroupBox(this);
    CmAsi = new QComboBox(Panel1);
    CmAsi->addItems({QStringLiteral("Un solo asiento resumido de todo el periodo"),
                     QStringLiteral("Por mes: Un solo asiento resumido"),
                     QStringLiteral("Por mes: Resumidos Compras y Ventas. Genericos sin resumir")});
    primeras = new QSpinBox(Panel1);
    primeras->setRange(1, 999999);
    primeras->setValue(params.summaryFirst);
    auto* pf = new QFormLayout(Panel1);
    pf->addRow(QStringLiteral("Asientos a generar"), CmAsi);
    pf->addRow(QStringLiteral("Número del primer asiento"), primeras);
    Panel1->setVisible(summary);
    if (summary) {
        CmAsi->setCurrentIndex(1); // the list starts at 1 every time the dialog opens
    } else {
        chrefun->setEnabled(false);
        chcierre->setEnabled(false);
    }
    connect(CmAsi, &QComboBox::currentIndexChanged, this, &TFDlgInfDia::CmAsiChange);
    for (QCheckBox* c : {SumIguales, chapertura, chrefun, chcierre})
        connect(c, &QCheckBox::toggled, PanFecha, &PeriodBox::applyNoLimit);

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(PanFecha);
    for (QWidget* w : std::initializer_list<QWidget*>{SumIguales, chapertura, chrefun, chcierre, Panel1})
        lay->addWidget(w);
    lay->addLayout(OkCancel(this, BtnOk, BtnCancel, QStringLiteral("Aceptar")));
    connect(BtnOk, &QPushButton::clicked, this, &TFDlgInfDia::BtnOkClick);
}

void TFDlgInfDia::CmAsiChange(int index) {
    if (index == 0) {
        chrefun->setChecked(true);
        chcierre->setChecked(true);
    }
    chrefun->setEnabled(index != 0);
    chcierre->setEnabled(index != 0);
}

void TFDlgInfDia::BtnOkClick() {
    if (Panel1->isVisible() || Panel1->isVisibleTo(this)) {
        params_.summaryMode = CmAsi->currentIndex();
        params_.summaryFirst = primeras->value();
    }
    PanFecha->store();
    ctx_.settings.DSumasIguales = SumIguales->isChecked();
    ctx_.settings.DApertura = chapertura->isChecked();
    ctx_.settings.DRefun = chrefun->isChecked();
    ctx_.settings.DCierre = chcierre->isChecked();
    accept();
}

// ---- ledger / trial balance -----------------------------------------------------------------

TDlgInfoMayor::TDlgInfoMayor(AppContext& ctx, reports::ReportParams& params, bool trial,
                             QWidget* parent)
    : QDialog(parent), ctx_(ctx), params_(params), trial_(trial) {
    setWindowTitle(trial ? QStringLiteral("Configuración Informe Sumas y Saldos")
                         : QStringLiteral("Configuración Informe MAYOR"));
    Rango = new AccountRangeBox(ctx, QStringLiteral("Todas las cuentas"), this);
    Periodo = new PeriodBox(ctx, QStringLiteral("Período"), QStringLiteral("Desde fecha:"),
                            QStringLiteral("Hasta fecha:"), QStringLiteral("Sin límite de fechas"), this);
    UnaPorHoj = Check(this, QStringLiteral("Cuentas en hojas separadas"), ctx.settings.Mhojasseparadas);
    ArrastSaldos = Check(this, QStringLiteral("Arrastrar Saldos"), ctx.settings.Marrastrasaldos);
    Totmes = Check(this, QStringLiteral("Totales mensuales"), ctx.settings.MTotMes);
    UnaPorHoj->setVisible(!trial);
    ArrastSaldos->setVisible(!trial);
    Niveles = new QGroupBox(QStringLiteral("Niveles (1 - 5)"), this);
    DeNivel = new QSpinBox(Niveles);
    aNivel = new QSpinBox(Niveles);
    DeNivel->setRange(0, 9);
    aNivel->setRange(0, 9);
    DeNivel->setValue(params.trialFromLevel);
    aNivel->setValue(params.trialToLevel);
    auto* nf = new QFormLayout(Niveles);
    nf->addRow(QStringLiteral("Desde nivel"), DeNivel);
    nf->addRow(QStringLiteral("Hasta nivel"), aNivel);
    Niveles->setVisible(trial);

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(Rango);
    lay->addWidget(Periodo);
    for (QWidget* w : std::initializer_list<QWidget*>{UnaPorHoj, ArrastSaldos, Totmes, Niveles})
        lay->addWidget(w);
    lay->addLayout(OkCancel(this, BtnOk, BtnCancel, QStringLiteral("Aceptar")));
    connect(BtnOk, &QPushButton::clicked, this, &TDlgInfoMayor::BtnOkClick);
    connect(Rango, &AccountRangeBox::changed, this, &TDlgInfoMayor::check);
    connect(DeNivel, &QSpinBox::valueChanged, this, &TDlgInfoMayor::check);
    connect(aNivel, &QSpinBox::valueChanged, this, &TDlgInfoMayor::check);
    check();
}

void TDlgInfoMayor::check() {
    bool ok = Rango->complete();
    if (trial_) {
        const int a = DeNivel->value(), b = aNivel->value();
        ok = ok && a > 0 && a < 6 && b > 0 && b < 6 && a <= b &&
             Periodo->DesdeFech->date().isValid() && Periodo->HastaFech->date().isValid();
    }
    BtnOk->setEnabled(ok);
}

void TDlgInfoMayor::BtnOkClick() {
    if (trial_) {
        params_.trialFromLevel = DeNivel->value();
        params_.trialToLevel = aNivel->value();
    }
    accept();
}

void TDlgInfoMayor::done(int r) {
    // Closing by any means keeps the dates (and the ledger's boxes) and writes kesh.ini.
    Periodo->store();
    if (!trial_) {
        ctx_.settings.Mhojasseparadas = UnaPorHoj->isChecked();
        ctx_.settings.Marrastrasaldos = ArrastSaldos->isChecked();
        ctx_.settings.MTotMes = Totmes->isChecked();
    }
    SaveKeshIni(this, ctx_);
    QDialog::done(r);
}

// ---- balance / chart listing ------------------------------------------------------------------

TFDlgInfBal::TFDlgInfBal(AppContext& ctx, bool plan, QWidget* parent)
    : QDialog(parent), ctx_(ctx), plan_(plan) {
    setWindowTitle(plan ? QStringLiteral("Configuración del Informe Plan de Cuentas")
                        : QStringLiteral("Configuración del Informe Balance"));
    Rango = new AccountRangeBox(ctx, QStringLiteral("Rango completo"), this);
    GrNiveles = new QGroupBox(QStringLiteral("Niveles a incluir"), this);
    auto* nl = new QHBoxLayout(GrNiveles);
    ChkNivel[0] = nullptr;
    for (int i = 1; i <= 5; ++i) {
        ChkNivel[i] = new QCheckBox(QString::number(i), GrNiveles);
        ChkNivel[i]->setChecked(ctx.settings.Bnivel[i]);
        nl->addWidget(ChkNivel[i]);
        connect(ChkNivel[i], &QCheckBox::toggled, this, &TFDlgInfBal::check);
    }
    Periodo = new PeriodBox(ctx, QStringLiteral("Período"), QStringLiteral("Desde la fecha"),
                            QStringLiteral("Hasta la fecha"), QStringLiteral("Sin límite de fechas"), this);
    Periodo->SinLimfech->setChecked(ctx.settings.Todasfechas);
    chkMode = Check(this, QStringLiteral("Solo cuentas con movimientos"), ctx.settings.BModo == 1);
    GrClases = new QGroupBox(QStringLiteral("Clases de cuentas a incluir"), this);
    ChkGen = Check(GrClases, QStringLiteral("Genéricas"), ctx.settings.BGen);
    ChkCli = Check(GrClases, QStringLiteral("De Clientes"), ctx.settings.BCli);
    ChkProv = Check(GrClases, QStringLiteral("De Proveedores"), ctx.settings.BProv);
    auto* cl = new QVBoxLayout(GrClases);
    cl->addWidget(ChkGen);
    cl->addWidget(ChkCli);
    cl->addWidget(ChkProv);
    GrNiveles->setVisible(!plan);
    Periodo->setVisible(!plan);
    chkMode->setVisible(!plan);
    GrClases->setVisible(plan);

    auto* lay = new QVBoxLayout(this);
    for (QWidget* w : std::initializer_list<QWidget*>{Rango, GrNiveles, Periodo, chkMode, GrClases})
        lay->addWidget(w);
    lay->addLayout(OkCancel(this, BtnOk, BtnCancel, QStringLiteral("Aceptar")));
    connect(BtnOk, &QPushButton::clicked, this, &TFDlgInfBal::BtnOkClick);
    connect(Rango, &AccountRangeBox::changed, this, &TFDlgInfBal::check);
    connect(Periodo->DesdeFech, &QDateEdit::dateChanged, this, &TFDlgInfBal::check);
    connect(Periodo->HastaFech, &QDateEdit::dateChanged, this, &TFDlgInfBal::check);
}

void TFDlgInfBal::check() {
    bool ok = Rango->complete();
    if (!plan_) {
        bool any = false;
        for (int i = 1; i <= 5; ++i) any = any || ChkNivel[i]->isChecked();
        ok = ok && any && Periodo->DesdeFech->date().isValid() && Periodo->HastaFech->date().isValid();
    }
    BtnOk->setEnabled(ok);
}

void TFDlgInfBal::BtnOkClick() {
    Settings& s = ctx_.settings;
    s.Todascuentas = Rango->checkallctas->isChecked();
    if (plan_) {
        s.BGen = ChkGen->isChecked();
        s.BProv = ChkProv->isChecked();
        s.BCli = ChkCli->isChecked();
    } else {
        s.BModo = chkMode->isChecked() ? 1 : 0;
        s.Todasfechas = Periodo->SinLimfech->isChecked();
    }
    accept();
}

void TFDlgInfBal::done(int r) {
    if (!plan_) {
        Periodo->store();
        for (int i = 1; i <= 5; ++i) ctx_.settings.Bnivel[i] = ChkNivel[i]->isChecked();
    }
    SaveKeshIni(this, ctx_);
    QDialog::done(r);
}

// ---- account analysis -------------------------------------------------------------------------

TDlgResCtaForm::TDlgResCtaForm(AppContext& ctx, reports::ReportParams& params, QWidget* parent)
    : QDialog(parent), ctx_(ctx), params_(params), code_(params.analysisCode) {
    setWindowTitle(QStringLiteral("Informe Análisis de cuenta"));
    name_ = NameOf(ctx, code_);
    auto* box = new QGroupBox(QStringLiteral("ANALISIS DE CUENTA"), this);
    BtCuenta = new QPushButton(AccountButtonText(code_, name_), box);
    RbMes = new QRadioButton(QStringLiteral("Emitir una linea por cada mes del ejercicio"), box);
    RbDia = new QRadioButton(QStringLiteral("Emitir una linea por cada día del mes"), box);
    EdMes = new QDateEdit(box);
    EdMes->setDisplayFormat(QStringLiteral("MM/yyyy"));
    EdMes->setMinimumDate(QDate(1900, 1, 1));
    EdMes->setSpecialValueText(QStringLiteral(" "));
    EdMes->setDate(params.analysisMonth.isZero() ? EdMes->minimumDate() : ToQDate(params.analysisMonth));
    (params.analysisDaily ? RbDia : RbMes)->setChecked(true);
    EdMes->setVisible(params.analysisDaily);
    auto* bl = new QVBoxLayout(box);
    bl->addWidget(new QLabel(QStringLiteral("Seleccione la cuenta a informar"), box));
    bl->addWidget(BtCuenta);
    bl->addWidget(RbMes);
    bl->addWidget(RbDia);
    bl->addWidget(EdMes);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(box);
    lay->addLayout(OkCancel(this, BtnOk, BtnCancel, QStringLiteral("Ok")));
    BtnCancel->setText(QStringLiteral("Cancel"));
    BtnOk->setEnabled(!BtCuenta->text().trimmed().isEmpty());
    connect(RbDia, &QRadioButton::toggled, EdMes, &QWidget::setVisible);
    connect(BtCuenta, &QPushButton::clicked, this, [this] {
        auto code = ChooseAccount(this, ctx_, true, code_);
        if (!code) return; // a cancelled search keeps the account shown
        code_ = *code;
        name_ = NameOf(ctx_, code_);
        BtCuenta->setText(AccountButtonText(code_, name_));
        BtnOk->setEnabled(!BtCuenta->text().trimmed().isEmpty());
    });
    connect(BtnOk, &QPushButton::clicked, this, &TDlgResCtaForm::BtnOkClick);
}

void TDlgResCtaForm::BtnOkClick() {
    const bool daily = RbDia->isChecked();
    const Date month = FromQDate(EdMes->date());
    // A month counts as entered from 3 October 1954 on; the empty field reads as 1900.
    if (daily && month < Date::fromYmd(1954, 10, 3)) {
        ShowNotice(this, QStringLiteral("Debe introducir el mes a informar."));
        return;
    }
    params_.analysisCode = code_;
    params_.analysisDaily = daily;
    params_.analysisMonth = month;
    accept();
}

std::string TDlgResCtaForm::title() const {
    return reports::AnalysisTitle(params_.analysisDaily, params_.analysisMonth);
}

std::string TDlgResCtaForm::subtitle() const {
    return reports::AnalysisSubtitle(params_.analysisCode, name_, ctx_.currentEj.descrip);
}

} // namespace kesh::gui
