#pragma once
// "Preparar informe": the report setup screen every accounting report goes through. It
// loads the report key's print settings from report.ini, lets the user change printer,
// paper, margins, numbering, texts and fonts, opens the report's option dialog, and then
// previews, prints or writes the report to PDF. Settings are written back on every output
// and when the screen closes.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include <functional>
#include <memory>

#include "app/context.h"
#include "print/bandengine.h"
#include "reports/reportjob.h"
#include "reports/reportsettings.h"

namespace kesh::gui {

class TfrmPreview;

class TFrmPapel : public QDialog {
    Q_OBJECT
public:
    TFrmPapel(AppContext& ctx, reports::ReportParams& params, const std::string& key,
              QWidget* parent = nullptr);

    // The one-entry journal of the entries browser: no option dialog.
    void setEntryId(int id);
    const std::string& reportKey() const { return key_; }
    const reports::ReportSettings& settings() const { return settings_; }

    QTabWidget* Pages;
    QLineEdit *EdTitulo, *EdSubtitulo, *EdPie;
    QComboBox* PrnCombo;
    QCheckBox* chPrn0;
    QComboBox* CmPapel;
    QLineEdit *EdAncho, *EdLargo;
    QComboBox* CmOrientacion;
    QSpinBox *EdMargensup, *EdMargenInf, *EdMargenIzq, *EdMargenDer;
    QCheckBox* CheckNumerar;
    QSpinBox* EdPagina;
    QCheckBox *CheckPuntos, *CheckFecha, *CheckLogo;
    QSpinBox* EdInterlin;
    QPushButton* BtnConfig;
    QPushButton* BtnGroup[reports::kGroupCount];
    QPushButton *BtnPreview, *BtnPrint, *BtnExcel, *BtnPdf, *BtnCerrar, *BtnAceptar;

    void BtnPreviewClick();
    void BtnPrintClick();
    void BtnPdfClick();
    void BtnCerrarClick();
    void BtnAceptarClick();
    void BtnConfigClick();
    void BtnGroupClick(int group);

    // Stores the screen, writes report.ini and kesh.ini, gathers the rows and lays them out.
    // Shows the error and returns nothing when the gathering fails.
    std::unique_ptr<print::ReportDocument> prepare();

    // Test hooks: the PDF file name chooser ("" = cancelled), the option dialog (given the
    // dialog before it runs; return its result instead of exec), the font selector, and the
    // preview window just opened.
    static std::function<QString(const QString& suggested)> pdfPathHook;
    static std::function<int(QDialog&)> dialogHook;
    static std::function<void(TfrmPreview*)> previewHook;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void done(int r) override;

private:
    void showSettings();
    void storeScreen();
    void writeFiles();
    void paperChanged(int index);
    void sizeTyped();
    void refreshGroupButtons();
    int runDialog(QDialog& d);

    AppContext& ctx_;
    reports::ReportParams& params_;
    std::string key_;
    reports::ReportSettings settings_;
    bool showing_ = false;
    bool written_ = false;
};

// The report commands of the menus: open the setup screen for a report key. The report
// options held while the program runs live here.
reports::ReportParams& RunningReportParams();
void OpenReport(QWidget* parent, AppContext& ctx, const std::string& key);
// The entries browser's "Informe": the journal of one entry.
void OpenEntryReport(QWidget* parent, AppContext& ctx, int entryId);
// The accounts browser's "Informe Mayor...": the ledger of one account over the data's span.
void OpenAccountLedger(QWidget* parent, AppContext& ctx, const std::string& code);

} // namespace kesh::gui
