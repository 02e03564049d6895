#include "gui/reports/frmpapel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

#include "accounts/codes.h"
#include "app/settings.h"
#include "db/database.h"
#include "gui/reports/fontselectform.h"
#include "gui/reports/frmpreview.h"
#include "gui/reports/reportdialogs.h"
#include "gui/accounts/recalc.h"
#include "gui/widgets/dialogs.h"
#include "print/reportprint.h"

namespace kesh::gui {

using reports::Group;

std::function<QString(const QString&)> TFrmPapel::pdfPathHook;
std::function<int(QDialog&)> TFrmPapel::dialogHook;
std::function<void(TfrmPreview*)> TFrmPapel::previewHook;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QSpinBox* Spin(QWidget* parent, int lo, int hi) {
    auto* s = new QSpinBox(parent);
    s->setRange(lo, hi);
    return s;
}

QString Mm(double v) { return QString::number(v, 'f', v == int(v) ? 0 : 1); }

// "Espere por favor..." while the report's cursor opens, and while a PDF or a print run goes
// through the whole report (with the pages done so far and "Cancelar": a long ledger takes
// a while). It is application-modal, so the setup screen takes no input meanwhile.
class WaitWindow {
public:
    explicit WaitWindow(QWidget* parent, bool cancellable = false) : w_(parent) {
        w_.setWindowTitle(QStringLiteral("Espere por favor..."));
        w_.setWindowModality(Qt::ApplicationModal);
        auto* l = new QVBoxLayout(&w_);
        text_ = new QLabel(QStringLiteral("Procesando informe"), &w_);
        text_->setMinimumWidth(260);
        l->addWidget(text_);
        if (cancellable) {
            auto* cancel = new QPushButton(QStringLiteral("Cancelar"), &w_);
            l->addWidget(cancel, 0, Qt::AlignRight);
            QObject::connect(cancel, &QPushButton::clicked, &w_, &QDialog::reject);
        }
        // Escape and the window's close box cancel as well.
        QObject::connect(&w_, &QDialog::rejected, [this] {
            cancelled_ = true;
            text_->setText(QStringLiteral("Cancelando..."));
            w_.show();
        });
        w_.show();
        QApplication::processEvents();
    }
    void hide() { w_.hide(); }
    // Shows the pages done and lets the window take its clicks; false once cancelled.
    print::ReportDocument::Progress progress() {
        return [this](int pages) {
            if (!cancelled_ && pages % 10 == 0)
                text_->setText(QStringLiteral("Procesando informe: %1 páginas").arg(pages));
            QApplication::processEvents();
            return !cancelled_;
        };
    }

private:
    QDialog w_;
    QLabel* text_;
    bool cancelled_ = false;
};

} // namespace

TFrmPapel::TFrmPapel(AppContext& ctx, reports::ReportParams& params, const std::string& key,
                     QWidget* parent)
    : QDialog(parent), ctx_(ctx), params_(params), key_(key) {
    setWindowTitle(Q(reports::ReportCaption(key)));

    // ---- first tab: "Opciones de impresión"
    auto* opt = new QWidget;
    EdTitulo = new QLineEdit(opt);
    EdSubtitulo = new QLineEdit(opt);
    EdPie = new QLineEdit(opt);
    EdSubtitulo->setMaxLength(120);
    EdPie->setMaxLength(80);
    PrnCombo = new QComboBox(opt);
    PrnCombo->addItems(QPrinterInfo::availablePrinterNames());
    chPrn0 = new QCheckBox(QStringLiteral("Impresora predeterminada"), opt);
    chPrn0->setChecked(true);
    CmPapel = new QComboBox(opt);
    for (int i = 0; i < reports::kPaperCount; ++i) CmPapel->addItem(QString::fromUtf8(reports::PaperAt(i).item));
    EdAncho = new QLineEdit(opt);
    EdLargo = new QLineEdit(opt);
    CmOrientacion = new QComboBox(opt);
    CmOrientacion->addItems({QStringLiteral("Vertical"), QStringLiteral("Horizontal")});
    EdMargensup = Spin(opt, 0, 200);
    EdMargenInf = Spin(opt, 0, 200);
    EdMargenIzq = Spin(opt, 0, 200);
    EdMargenDer = Spin(opt, 0, 200);
    CheckNumerar = new QCheckBox(QStringLiteral("Numerar páginas co- \nmenzando con el Nº"), opt);
    EdPagina = Spin(opt, 0, 999999);
    CheckPuntos = new QCheckBox(QStringLiteral("Insertar linea punteada entre lineas"), opt);
    CheckFecha = new QCheckBox(QStringLiteral("Imprimir fecha y hora de impresión"), opt);
    CheckLogo = new QCheckBox(QStringLiteral("Imprimir logo de la Empresa"), opt);
    EdInterlin = Spin(opt, 9, 25);
    BtnConfig = new QPushButton(QStringLiteral("Configurar informe"), opt);

    auto* texts = new QFormLayout;
    texts->addRow(QStringLiteral("Título"), EdTitulo);
    texts->addRow(QStringLiteral("Subtítulo"), EdSubtitulo);
    texts->addRow(QStringLiteral("Leyenda al pie"), EdPie);
    auto* printer = new QFormLayout;
    printer->addRow(QStringLiteral("Impresora"), PrnCombo);
    printer->addRow(chPrn0);
    printer->addRow(QStringLiteral("Papel"), CmPapel);
    printer->addRow(QStringLiteral("Ancho (mm)"), EdAncho);
    printer->addRow(QStringLiteral("Largo (mm)"), EdLargo);
    printer->addRow(QStringLiteral("Orientación"), CmOrientacion);
    auto* margins = new QGroupBox(QStringLiteral("Márgenes"), opt);
    auto* mf = new QFormLayout(margins);
    mf->addRow(QStringLiteral("Superior"), EdMargensup);
    mf->addRow(QStringLiteral("Inferior"), EdMargenInf);
    mf->addRow(QStringLiteral("Izquier"), EdMargenIzq);
    mf->addRow(QStringLiteral("Derecho"), EdMargenDer);
    auto* checks = new QGridLayout;
    checks->addWidget(CheckNumerar, 0, 0);
    checks->addWidget(EdPagina, 0, 1);
    checks->addWidget(CheckPuntos, 1, 0, 1, 2);
    checks->addWidget(CheckFecha, 2, 0, 1, 2);
    checks->addWidget(CheckLogo, 3, 0, 1, 2);
    checks->addWidget(new QLabel(QStringLiteral("Separación de lineas (9 - 25)"), opt), 4, 0);
    checks->addWidget(EdInterlin, 4, 1);
    auto* ol = new QGridLayout(opt);
    ol->addLayout(texts, 0, 0, 1, 2);
    ol->addLayout(printer, 1, 0);
    ol->addWidget(margins, 1, 1);
    ol->addLayout(checks, 2, 0);
    ol->addWidget(BtnConfig, 2, 1, Qt::AlignBottom);

    // ---- second tab: "Tipos de letra"
    auto* fonts = new QWidget;
    auto* fl = new QFormLayout(fonts);
    for (int i = 0; i < reports::kGroupCount; ++i) {
        BtnGroup[i] = new QPushButton(fonts);
        BtnGroup[i]->setMinimumHeight(32);
        fl->addRow(QString::fromUtf8(reports::GroupCaption(Group(i))), BtnGroup[i]);
        connect(BtnGroup[i], &QPushButton::clicked, this, [this, i] { BtnGroupClick(i); });
    }

    Pages = new QTabWidget(this);
    Pages->addTab(opt, QStringLiteral("Opciones de impresión"));
    Pages->addTab(fonts, QStringLiteral("Tipos de letra"));

    // ---- bottom panel "Exportar a"
    auto* bottom = new QGroupBox(QStringLiteral("Exportar a"), this);
    BtnPreview = new QPushButton(QStringLiteral("Vista previa"), bottom);
    BtnPrint = new QPushButton(QStringLiteral("Imprimir"), bottom);
    BtnExcel = new QPushButton(QStringLiteral("Excel"), bottom);
    BtnPdf = new QPushButton(QStringLiteral("PDF"), bottom);
    BtnCerrar = new QPushButton(QStringLiteral("Cerrar"), bottom);
    BtnAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    BtnAceptar->setVisible(false);
    auto* bl = new QHBoxLayout(bottom);
    for (QPushButton* b : {BtnPreview, BtnPrint, BtnExcel, BtnPdf, BtnCerrar}) {
        b->setAutoDefault(false);
        bl->addWidget(b);
    }
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(Pages);
    lay->addWidget(bottom);

    connect(BtnPreview, &QPushButton::clicked, this, &TFrmPapel::BtnPreviewClick);
    connect(BtnPrint, &QPushButton::clicked, this, &TFrmPapel::BtnPrintClick);
    connect(BtnPdf, &QPushButton::clicked, this, &TFrmPapel::BtnPdfClick);
    connect(BtnCerrar, &QPushButton::clicked, this, &TFrmPapel::BtnCerrarClick);
    connect(BtnAceptar, &QPushButton::clicked, this, &TFrmPapel::BtnAceptarClick);
    connect(BtnConfig, &QPushButton::clicked, this, &TFrmPapel::BtnConfigClick);
    connect(CheckNumerar, &QCheckBox::toggled, EdPagina, &QWidget::setEnabled);
    connect(CmPapel, &QComboBox::currentIndexChanged, this, &TFrmPapel::paperChanged);
    connect(EdAncho, &QLineEdit::textEdited, this, &TFrmPapel::sizeTyped);
    connect(EdLargo, &QLineEdit::textEdited, this, &TFrmPapel::sizeTyped);
    connect(CmOrientacion, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (showing_) return;
        settings_.orientacion = i;
        paperChanged(CmPapel->currentIndex());
    });

    // Showing the screen, in the order the program always did it.
    params_.trialFromLevel = 1;
    params_.trialToLevel = 5;
    try {
        if (!ctx_.appDir.empty()) {
            settings_ = reports::LoadReportSettingsFile(ReportIniPath(ctx_.appDir), key_);
            if (std::filesystem::exists(KeshIniPath(ctx_.appDir)))
                ctx_.settings = LoadSettings(KeshIniPath(ctx_.appDir));
        }
    } catch (const std::exception& e) {
        ShowError(this, Q(e.what())); // an unreadable file: defaults, as for a missing one
    }
    EdTitulo->setText(Q(reports::ReportTitle(key_)));
    EdSubtitulo->setText(Q(settings_.subtitulo));
    showSettings();
    const reports::ReportKeyInfo info = reports::KeyInfo(key_);
    BtnConfig->setEnabled(info.configEnabled);
    BtnExcel->setEnabled(false); // the spreadsheet export is not part of this program yet
    if (key_ == "AnalisisDeCuenta") {
        params_.analysisDaily = false;
        try {
            db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) {
                params_.analysisCode = reports::FirstImputableAccount(tr);
                EdSubtitulo->setText(Q(reports::AnalysisSubtitle(
                    params_.analysisCode, reports::AccountName(tr, params_.analysisCode),
                    ctx_.currentEj.descrip)));
            });
        } catch (const db::DbError& e) {
            ShowError(this, Q(e.what()));
        }
        EdTitulo->setText(Q(reports::AnalysisTitle(false, {})));
    }
}

void TFrmPapel::setEntryId(int id) {
    params_.entryId = id;
    BtnConfig->setVisible(id <= 0);
}

void TFrmPapel::showSettings() {
    showing_ = true;
    const reports::ReportSettings& s = settings_;
    EdPie->setText(Q(s.textPie));
    if (s.prnIndex >= 0 && s.prnIndex < PrnCombo->count()) PrnCombo->setCurrentIndex(s.prnIndex);
    CmPapel->setCurrentIndex(s.tipoPapel);
    const bool custom = s.tipoPapel == reports::kPaperCustom;
    CmOrientacion->setCurrentIndex(custom ? 0 : (s.orientacion == 1 ? 1 : 0));
    const reports::PageGeometry g = reports::GeometryOf(s);
    EdAncho->setText(Mm(custom ? s.ancho : g.widthMm));
    EdLargo->setText(Mm(custom ? s.largo : g.heightMm));
    EdMargensup->setValue(int(s.margenSup + 0.5));
    EdMargenInf->setValue(int(s.margenInf + 0.5));
    EdMargenIzq->setValue(int(s.margenIzq + 0.5));
    EdMargenDer->setValue(int(s.margenDer + 0.5));
    CheckNumerar->setChecked(s.numerar);
    EdPagina->setValue(s.pagina);
    EdPagina->setEnabled(s.numerar);
    CheckPuntos->setChecked(s.puntos);
    CheckFecha->setChecked(s.incFecha);
    CheckLogo->setChecked(s.incLogo);
    EdInterlin->setValue(std::clamp(s.interlin, 9, 25));
    refreshGroupButtons();
    showing_ = false;
}

void TFrmPapel::refreshGroupButtons() {
    for (int i = 0; i < reports::kGroupCount; ++i) PaintGroupButton(BtnGroup[i], settings_.groups[i]);
}

void TFrmPapel::paperChanged(int index) {
    if (showing_ || index < 0) return;
    settings_.tipoPapel = index;
    if (index == reports::kPaperCustom) {
        QSignalBlocker b(CmOrientacion);
        CmOrientacion->setCurrentIndex(0);
        return;
    }
    const reports::Paper& p = reports::PaperAt(index);
    const bool land = CmOrientacion->currentIndex() == 1;
    EdAncho->setText(Mm(land ? p.heightMm : p.widthMm));
    EdLargo->setText(Mm(land ? p.widthMm : p.heightMm));
}

void TFrmPapel::sizeTyped() {
    // Typing a size means a paper of that size.
    QSignalBlocker b(CmPapel);
    CmPapel->setCurrentIndex(reports::kPaperCustom);
    settings_.tipoPapel = reports::kPaperCustom;
    CmOrientacion->setCurrentIndex(0);
}

void TFrmPapel::storeScreen() {
    reports::ReportSettings& s = settings_;
    s.pagina = EdPagina->value();
    s.numerar = CheckNumerar->isChecked();
    s.puntos = CheckPuntos->isChecked();
    s.incFecha = CheckFecha->isChecked();
    s.incLogo = CheckLogo->isChecked();
    s.textPie = EdPie->text().left(80).toStdString();
    s.subtitulo = EdSubtitulo->text().left(120).toStdString();
    s.interlin = EdInterlin->value();
    bool ok = false;
    double v = EdAncho->text().replace(',', '.').toDouble(&ok);
    if (ok && v > 0) s.ancho = v;
    v = EdLargo->text().replace(',', '.').toDouble(&ok);
    if (ok && v > 0) s.largo = v;
    s.margenSup = EdMargensup->value();
    s.margenInf = EdMargenInf->value();
    s.margenIzq = EdMargenIzq->value();
    s.margenDer = EdMargenDer->value();
    s.prnIndex = PrnCombo->currentIndex() < 0 ? 0 : PrnCombo->currentIndex();
    s.orientacion = CmOrientacion->currentIndex();
    s.tipoPapel = CmPapel->currentIndex();
}

void TFrmPapel::writeFiles() {
    if (ctx_.appDir.empty()) return;
    try {
        reports::SaveReportSettingsFile(ReportIniPath(ctx_.appDir), key_, settings_);
    } catch (const std::exception& e) {
        ShowError(this, Q(e.what()));
    }
    SaveKeshIni(this, ctx_);
}

std::unique_ptr<print::ReportDocument> TFrmPapel::prepare() {
    WaitWindow wait(this);
    storeScreen();
    writeFiles();
    try {
        reports::PrepareReportData(ctx_.companyPath, key_);
        // The rows are read while the pages are laid out; opening runs the procedure only up
        // to its first row.
        reports::ReportStream rows =
            reports::OpenReportStream(ctx_.companyPath, key_, ctx_, params_);
        wait.hide();
        return print::MakeReportDocument(key_, std::move(rows), ctx_, settings_,
                                         {EdTitulo->text().toStdString(),
                                          EdSubtitulo->text().toStdString(), print::PrintedAtNow()});
    } catch (const db::DbError& e) {
        wait.hide();
        ShowError(this, Q(e.withContext("al preparar el informe").what()));
    } catch (const std::exception& e) {
        wait.hide();
        ShowError(this, Q(e.what()));
    }
    return nullptr;
}

void TFrmPapel::BtnPreviewClick() {
    auto doc = prepare();
    if (!doc) return;
    auto* preview = new TfrmPreview(std::move(doc), parentWidget());
    if (!chPrn0->isChecked()) preview->setPrinterName(PrnCombo->currentText());
    preview->showMaximized();
    if (previewHook) previewHook(preview);
    accept();
}

void TFrmPapel::BtnPrintClick() {
    auto doc = prepare();
    if (!doc) return;
    try {
        QPrinter printer(QPrinter::HighResolution);
        if (!chPrn0->isChecked() && PrnCombo->currentIndex() >= 0)
            printer.setPrinterName(PrnCombo->currentText());
        WaitWindow wait(this, true);
        doc->printAll(printer, print::ReportDocument::Rows::Forget, wait.progress());
    } catch (const print::ReportCancelled&) {
        return; // the screen stays for another try
    } catch (const std::exception& e) {
        ShowError(this, Q(e.what()));
        return;
    }
    accept();
}

void TFrmPapel::BtnPdfClick() {
    const QString suggested = Q(reports::DefaultPdfPath(ctx_.appDir, key_));
    auto doc = prepare();
    if (!doc) return;
    QString path;
    if (pdfPathHook) {
        path = pdfPathHook(suggested);
    } else {
        QFileDialog dlg(this, QString(), suggested, QStringLiteral("Documento PDF (*.pdf)"));
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setDefaultSuffix(QStringLiteral("pdf"));
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
            path = dlg.selectedFiles().front();
    }
    if (path.isEmpty()) return;
    try {
        WaitWindow wait(this, true);
        doc->writePdf(path, print::ReportDocument::Rows::Forget, wait.progress());
    } catch (const print::ReportCancelled&) {
        return; // no file is left; the screen stays for another try
    } catch (const std::exception& e) {
        ShowError(this, Q(e.what()));
        return;
    }
    accept();
}

void TFrmPapel::BtnCerrarClick() { close(); }

void TFrmPapel::BtnAceptarClick() {
    // Enter: shows the stored settings again and closes without output.
    showSettings();
    close();
}

int TFrmPapel::runDialog(QDialog& d) { return dialogHook ? dialogHook(d) : d.exec(); }

void TFrmPapel::BtnConfigClick() {
    if (key_ == "Diario" || key_ == "ASRESUMEN") {
        TFDlgInfDia d(ctx_, params_, key_ == "ASRESUMEN", this);
        runDialog(d);
    } else if (key_ == "Mayor" || key_ == "SumasySaldos") {
        TDlgInfoMayor d(ctx_, params_, key_ == "SumasySaldos", this);
        runDialog(d);
    } else if (key_ == "Balance" || key_ == "PlandeCuentas") {
        TFDlgInfBal d(ctx_, key_ == "PlandeCuentas", this);
        runDialog(d);
    } else if (key_ == "AnalisisDeCuenta") {
        TDlgResCtaForm d(ctx_, params_, this);
        if (runDialog(d) == QDialog::Accepted) {
            EdTitulo->setText(Q(d.title()));
            EdSubtitulo->setText(Q(d.subtitle()));
        }
    }
}

void TFrmPapel::BtnGroupClick(int group) {
    TFontSelectForm f(Group(group), settings_.groups[group], this);
    runDialog(f);
    settings_.groups[group] = f.value();
    refreshGroupButtons();
}

void TFrmPapel::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        BtnAceptarClick();
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        BtnCerrarClick();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TFrmPapel::closeEvent(QCloseEvent* e) {
    storeScreen();
    writeFiles();
    QDialog::closeEvent(e);
}

void TFrmPapel::done(int r) {
    storeScreen();
    writeFiles();
    QDialog::done(r);
}

// ---- report commands --------------------------------------------------------------------------

reports::ReportParams& RunningReportParams() {
    static reports::ReportParams params;
    return params;
}

void OpenReport(QWidget* parent, AppContext& ctx, const std::string& key) {
    reports::ReportParams& p = RunningReportParams();
    p.entryId = 0;
    // The balance prints from the stored balance table; a failed regeneration was already
    // reported and the report still opens on what the table holds.
    if (key == "Balance" && ctx.settings.CalcBalance1)
        RecalculateBalancesWithWait(parent, ctx.companyPath);
    TFrmPapel f(ctx, p, key, parent);
    f.exec();
}

void OpenEntryReport(QWidget* parent, AppContext& ctx, int entryId) {
    reports::ReportParams& p = RunningReportParams();
    TFrmPapel f(ctx, p, "Diario", parent);
    f.setEntryId(entryId);
    f.exec();
    p.entryId = 0;
}

void OpenAccountLedger(QWidget* parent, AppContext& ctx, const std::string& code) {
    reports::ReportParams& p = RunningReportParams();
    ctx.reportRange.fromCode = ctx.reportRange.toCode = code;
    try {
        auto span = db::WithTransaction(ctx.companyPath, [&](db::Transaction& tr) {
            return reports::DataDateSpan(tr, ctx.currentEj, false);
        });
        ctx.reportRange.fromDate = span.from;
        ctx.reportRange.toDate = span.to;
        p.ledgerStart = span.from;
    } catch (const db::DbError& e) {
        ShowError(parent, Q(e.what()));
        return;
    }
    OpenReport(parent, ctx, "Mayor");
}

} // namespace kesh::gui
