// The report setup screen, its option dialogs, the font selector and the preview window,
// driven as a user would, against a fixture company.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>

#include "accounts/balance.h"
#include "app/inifile.h"
#include "app/settings.h"
#include "gui/reports/fontselectform.h"
#include "gui/reports/frmpapel.h"
#include "gui/reports/frmpreview.h"
#include "gui/reports/reportdialogs.h"
#include "gui/widgets/dialogs.h"
#include "support/reportfixture.h"
#include "support/testsupport.h"
#include "db/database.h"
#include "gui/accounts/brctasfrm.h"
#include "frametest.h"
#include "pdftext.h"
#include "screenshot.h"

using kesh::test::PdfText;
using namespace kesh;
using namespace kesh::gui;

class TestFrmPapel : public QObject {
    Q_OBJECT
    test::ReportFixture fx_;
    QTemporaryDir appDir_;
    AppContext ctx_;
    reports::ReportParams params_;

private slots:
    void initTestCase() {
        fx_ = test::MakeReportFixture("frmpapel");
        std::filesystem::create_directories(appDir_.filePath("Datos").toStdString());
    }
    void init() {
        ctx_ = fx_.Context2025(appDir_.path().toStdString());
        params_ = reports::ReportParams{};
        TFrmPapel::pdfPathHook = nullptr;
        TFrmPapel::dialogHook = nullptr;
        TFrmPapel::previewHook = nullptr;
        DialogScript::begin();
    }
    void cleanup() { DialogScript::end(); }

    void settingsChosenComeBackNextTime() {
        {
            TFrmPapel f(ctx_, params_, "Mayor");
            QCOMPARE(f.windowTitle(), QString("Informe: LIBRO MAYOR"));
            QCOMPARE(f.EdTitulo->text(), QString("LIBRO MAYOR"));
            QCOMPARE(f.CmPapel->count(), 22);
            QCOMPARE(f.CmPapel->currentText(), QString("A4 210 x 297 mm"));
            QVERIFY(!f.BtnExcel->isEnabled());
            f.EdPagina->setValue(7);
            f.CheckPuntos->setChecked(true);
            f.EdPie->setText("Hoja móvil");
            f.EdMargenIzq->setValue(25);
            f.CmOrientacion->setCurrentIndex(1);
            f.close();
        }
        IniFile ini = IniFile::load(ReportIniPath(ctx_.appDir));
        QCOMPARE(QString::fromStdString(ini.readString("Mayor", "Pagina")), QString("7"));
        QVERIFY(std::filesystem::exists(KeshIniPath(ctx_.appDir)));
        TFrmPapel again(ctx_, params_, "Mayor");
        QCOMPARE(again.EdPagina->value(), 7);
        QVERIFY(again.CheckPuntos->isChecked());
        QCOMPARE(again.EdPie->text(), QString("Hoja móvil"));
        QCOMPARE(again.EdMargenIzq->value(), 25);
        QCOMPARE(again.CmOrientacion->currentIndex(), 1);
        QCOMPARE(again.EdAncho->text(), QString("297"));
        // Another report keeps its own settings.
        TFrmPapel other(ctx_, params_, "Diario");
        QCOMPARE(other.EdPagina->value(), 1);
    }

    void typingASizeSwitchesToCustomPaperAndPortrait() {
        TFrmPapel f(ctx_, params_, "Diario");
        f.CmPapel->setCurrentIndex(2);
        QCOMPARE(f.EdAncho->text(), QString("297"));
        QCOMPARE(f.EdLargo->text(), QString("420"));
        f.CmOrientacion->setCurrentIndex(1);
        f.EdAncho->clear();
        QTest::keyClicks(f.EdAncho, "100");
        QCOMPARE(f.CmPapel->currentText(), QString("Personalizado"));
        QCOMPARE(f.CmOrientacion->currentText(), QString("Vertical"));
        f.EdLargo->setText("150");
        f.close();
        const reports::ReportSettings s =
            reports::LoadReportSettingsFile(ReportIniPath(ctx_.appDir), "Diario");
        QCOMPARE(s.tipoPapel, 21);
        QCOMPARE(s.ancho, 100.0);
        QCOMPARE(s.largo, 150.0);
    }

    void pdfOfTheTrialBalanceWithPageNumberFive() {
        QString suggested;
        const QString out = appDir_.filePath("sys.pdf");
        TFrmPapel::pdfPathHook = [&](const QString& s) {
            suggested = s;
            return out;
        };
        TFrmPapel f(ctx_, params_, "SumasySaldos");
        f.EdPagina->setValue(5);
        f.EdSubtitulo->setText("Primer bimestre");
        f.BtnPdfClick();
        QCOMPARE(suggested, appDir_.filePath("Datos/Sumas y Saldos.pdf"));
        QCOMPARE(f.result(), int(QDialog::Accepted));
        const QString text = PdfText(out);
        QVERIFY2(text.contains("SUMAS Y SALDOS"), qPrintable(text));
        QVERIFY(text.contains("Primer bimestre"));
        QVERIFY(text.contains("Página 5"));
        QVERIFY(text.contains("Periodo : 01/2025 - 12/2025"));
        QVERIFY(text.contains("2.410,00"));
        QVERIFY(text.contains("KESH - Registros procesados : 10 cuenta(s) y 120 movimientos"));
    }

    // "Cancelar" of the wait window stops a long PDF half way: no file, no error, the setup
    // screen stays for another try, and the next try writes the whole report.
    void pdfRunCanBeCancelled() {
        const QString out = appDir_.filePath("cancelado.pdf");
        TFrmPapel::pdfPathHook = [&](const QString&) { return out; };
        TFrmPapel f(ctx_, params_, "Mayor");
        f.EdInterlin->setValue(25);
        f.EdMargensup->setValue(150);
        QTimer clicker;
        bool clicked = false;
        QObject::connect(&clicker, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (!w->isVisible() || w->windowTitle() != "Espere por favor...") continue;
                for (auto* b : w->findChildren<QPushButton*>())
                    if (b->text() == "Cancelar" && !clicked) {
                        clicked = true;
                        b->click();
                    }
            }
        });
        clicker.start(0);
        f.BtnPdfClick();
        clicker.stop();
        QVERIFY(clicked);
        QVERIFY(!QFile::exists(out));
        QVERIFY(DialogScript::shown().empty());
        QVERIFY(f.result() != int(QDialog::Accepted));

        f.BtnPdfClick();
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QVERIFY(PdfText(out).contains("LIBRO MAYOR"));
    }

    void cancelledPdfChoiceWritesNothingAndKeepsTheScreenOpen() {
        TFrmPapel::pdfPathHook = [](const QString&) { return QString(); };
        TFrmPapel f(ctx_, params_, "Diario");
        f.show();
        f.BtnPdfClick();
        QVERIFY(f.isVisible());
        f.close();
    }

    void enterClosesWithoutOutput() {
        bool asked = false;
        TFrmPapel::pdfPathHook = [&](const QString&) {
            asked = true;
            return QString();
        };
        TFrmPapel f(ctx_, params_, "Balance");
        f.show();
        QTest::keyClick(&f, Qt::Key_Return);
        QVERIFY(!f.isVisible());
        QVERIFY(!asked);
    }

    void previewPagesThroughTheReport() {
        TfrmPreview* seen = nullptr;
        TFrmPapel::previewHook = [&](TfrmPreview* p) { seen = p; };
        TFrmPapel f(ctx_, params_, "Diario");
        f.show();
        test::Screenshot(&f, QStringLiteral("preparar-informe"));
        f.BtnPreviewClick();
        QVERIFY(seen);
        seen->finishLayout();
        seen->showNormal();
        seen->resize(1000, 760);
        test::Screenshot(seen, QStringLiteral("vista-previa"));
        QCOMPARE(seen->status(), QString(" TERMINADO"));
        QCOMPARE(seen->LTotPags->text(), QString("1"));
        QCOMPARE(seen->SpinDePagina->value(), 1);
        QCOMPARE(seen->SpinAPagina->value(), 1);
        QCOMPARE(seen->windowTitle(), QString("Vista previa"));
        int printedFrom = 0, printedTo = 0, copies = 0;
        TfrmPreview::printHook = [&](print::ReportDocument&, int a, int b, int c) {
            printedFrom = a;
            printedTo = b;
            copies = c;
        };
        seen->SpinEditCopies->setValue(3);
        seen->BtImprimirClick();
        TfrmPreview::printHook = nullptr;
        QCOMPARE(printedFrom, 1);
        QCOMPARE(printedTo, 1);
        QCOMPARE(copies, 3);
        QVERIFY(seen->BtImprimir->isEnabled());
        seen->setZoom(400);
        QCOMPARE(seen->zoom(), 300);
        seen->close();
    }

    void previewOfManyPagesNavigatesWithKeys() {
        // A long journal: the chart of a year of the fixture repeated by a big line height.
        TfrmPreview* seen = nullptr;
        TFrmPapel::previewHook = [&](TfrmPreview* p) { seen = p; };
        TFrmPapel f(ctx_, params_, "Mayor");
        f.EdInterlin->setValue(25);
        f.EdMargensup->setValue(150);
        f.BtnPreviewClick();
        QVERIFY(seen);
        seen->finishLayout();
        const int pages = seen->LTotPags->text().toInt();
        QVERIFY(pages >= 2);
        QTest::keyClick(seen, Qt::Key_PageDown);
        QCOMPARE(seen->currentPage(), 2);
        QTest::keyClick(seen, Qt::Key_PageUp);
        QCOMPARE(seen->currentPage(), 1);
        seen->BtUltima->click();
        QCOMPARE(seen->currentPage(), pages);
        seen->close();
    }

    // The range buttons run the accounts browser's search: "Buscar Cuenta", then the browser
    // in choose mode; a cancelled search empties that end and "Aceptar" follows.
    void rangeButtonsUseTheAccountsBrowserSearch() {
        TFrmPapel::dialogHook = [](QDialog& d) {
            auto& m = dynamic_cast<TDlgInfoMayor&>(d);
            [&] {
                test::WhenModal<QDialog>([](QDialog* search) {
                    QCOMPARE(search->windowTitle(), QString("Buscar Cuenta"));
                    search->findChild<QLineEdit*>("EdBuscar")->setText("banco");
                    search->findChild<QPushButton*>()->click();
                    test::WhenModal<QDialog>([](QDialog* list) {
                        auto* br = list->findChild<TBrCtasFrm*>();
                        QVERIFY(br);
                        br->BtOkClick();
                    });
                });
                m.Rango->CmCuentaIni->click();
                QCOMPARE(m.Rango->CmCuentaIni->text(), QString("1.2        Banco"));
                QVERIFY(!m.Rango->checkallctas->isChecked());
                QVERIFY(m.BtnOk->isEnabled());

                test::WhenModal<QDialog>([](QDialog* search) { search->reject(); });
                m.Rango->CmCuentaFin->click();
                QCOMPARE(m.Rango->CmCuentaFin->text(), QString());
                QVERIFY(!m.BtnOk->isEnabled());
            }();
            m.reject();
            return int(QDialog::Rejected);
        };
        TFrmPapel f(ctx_, params_, "Mayor");
        f.BtnConfigClick();
        QCOMPARE(QString::fromStdString(ctx_.reportRange.fromCode), QString("00010002"));
        QCOMPARE(QString::fromStdString(ctx_.reportRange.toCode), QString());
        f.close();
    }

    // With "Cada vez que se solicite el informe Balance" the balance table is rebuilt before
    // the setup screen opens; other reports leave it alone.
    void balanceRegeneratesTheBalanceTableFirst() {
        const std::string path = test::MakeReportFixture("frmpapel_calc").path;
        ctx_.companyPath = path;
        auto stale = [&] {
            db::WithTransaction(path, [](db::Transaction& tr) {
                tr.execute("update balance set final = final + 1");
            });
        };
        auto wrongRows = [&] {
            return db::WithTransaction(path, [](db::Transaction& tr) {
                return tr.queryInt("select count(*) from balance b where b.final <> "
                                   "(select coalesce(sum(iif(p.dh = 'D', p.importe, -p.importe)), 0) "
                                   "from pases p where p.idej = b.idej and p.cod = b.cod)");
            });
        };
        kesh::RecalculateBalances(path);
        stale();
        QVERIFY(wrongRows() > 0);
        // The preference as the preferences screen stores it (the setup screen rereads kesh.ini).
        auto prefer = [&](bool on) {
            ctx_.settings.CalcBalance1 = on;
            SaveSettings(KeshIniPath(ctx_.appDir), ctx_.settings);
        };
        auto openAndClose = [&](const std::string& key) {
            test::WhenModal<TFrmPapel>([](TFrmPapel* f) { f->close(); });
            OpenReport(nullptr, ctx_, key);
        };
        prefer(true);
        openAndClose("Mayor");
        QVERIFY(wrongRows() > 0);
        openAndClose("Balance");
        QCOMPARE(wrongRows(), 0);
        QVERIFY(DialogScript::last().startsWith("se actualizaron "));
        QVERIFY(DialogScript::last().endsWith(" registros del balance."));

        stale();
        prefer(false);
        DialogScript::clearShown();
        openAndClose("Balance");
        QVERIFY(wrongRows() > 0);
        QVERIFY(DialogScript::shown().empty());
    }

    void ledgerOptionsAreKeptAndWrittenEvenWhenCancelled() {
        TFrmPapel::dialogHook = [](QDialog& d) {
            auto& m = dynamic_cast<TDlgInfoMayor&>(d);
            if (m.windowTitle() != "Configuración Informe MAYOR") return 0;
            if (m.Niveles->isVisibleTo(&m)) return 0;
            m.ArrastSaldos->setChecked(true);
            m.Periodo->DesdeFech->setDate(QDate(2025, 1, 10));
            m.reject();
            return int(QDialog::Rejected);
        };
        TFrmPapel f(ctx_, params_, "Mayor");
        f.BtnConfigClick();
        QVERIFY(ctx_.settings.Marrastrasaldos);
        QCOMPARE(ctx_.reportRange.fromDate, Date::fromYmd(2025, 1, 10));
        QVERIFY(LoadSettings(KeshIniPath(ctx_.appDir)).Marrastrasaldos);
        f.close();
    }

    void trialBalanceDialogChecksLevels() {
        TFrmPapel::dialogHook = [](QDialog& d) {
            auto& m = dynamic_cast<TDlgInfoMayor&>(d);
            [&] {
                QVERIFY(m.Niveles->isVisibleTo(&m));
                QVERIFY(!m.ArrastSaldos->isVisibleTo(&m));
                QVERIFY(m.BtnOk->isEnabled());
                m.DeNivel->setValue(3);
                m.aNivel->setValue(2);
                QVERIFY(!m.BtnOk->isEnabled());
                m.aNivel->setValue(6);
                QVERIFY(!m.BtnOk->isEnabled());
                m.aNivel->setValue(4);
                QVERIFY(m.BtnOk->isEnabled());
            }();
            m.BtnOkClick();
            return m.result();
        };
        TFrmPapel f(ctx_, params_, "SumasySaldos");
        QCOMPARE(params_.trialFromLevel, 1);
        f.BtnConfigClick();
        QCOMPARE(params_.trialFromLevel, 3);
        QCOMPARE(params_.trialToLevel, 4);
        f.close();
        TFrmPapel again(ctx_, params_, "SumasySaldos");
        QCOMPARE(params_.trialFromLevel, 1); // back to 1..5 every time the screen opens
        QCOMPARE(params_.trialToLevel, 5);
    }

    void summaryDialogLocksTheClosingBoxesForOneEntry() {
        TFrmPapel::dialogHook = [](QDialog& d) {
            auto& m = dynamic_cast<TFDlgInfDia&>(d);
            [&] {
                QCOMPARE(m.windowTitle(), QString("Diario Resumido"));
                QCOMPARE(m.CmAsi->currentIndex(), 1);
                m.chrefun->setChecked(false);
                m.CmAsi->setCurrentIndex(0);
                QVERIFY(m.chrefun->isChecked());
                QVERIFY(!m.chrefun->isEnabled());
                m.CmAsi->setCurrentIndex(2);
                QVERIFY(m.chcierre->isEnabled());
                m.primeras->setValue(40);
            }();
            m.BtnOkClick();
            return m.result();
        };
        TFrmPapel f(ctx_, params_, "ASRESUMEN");
        f.BtnConfigClick();
        QCOMPARE(params_.summaryMode, 2);
        QCOMPARE(params_.summaryFirst, 40);
        f.close();
    }

    void accountAnalysisStartsMonthlyAndAsksForTheMonth() {
        params_.analysisDaily = true;
        TFrmPapel f(ctx_, params_, "AnalisisDeCuenta");
        QCOMPARE(f.EdTitulo->text(), QString("ANALISIS DE CUENTA - INFORME MENSUAL"));
        QCOMPARE(f.EdSubtitulo->text(),
                 QString("Cuenta: 1.1        Caja   |   Ejercicio: Ejercicio 2025"));
        QVERIFY(!params_.analysisDaily);
        TFrmPapel::dialogHook = [](QDialog& d) {
            auto& m = dynamic_cast<TDlgResCtaForm&>(d);
            m.RbDia->setChecked(true);
            m.BtnOkClick();
            [&] {
                QCOMPARE(DialogScript::last(), QString("Debe introducir el mes a informar."));
                QCOMPARE(m.result(), 0);
            }();
            m.EdMes->setDate(QDate(2025, 2, 1));
            m.BtnOkClick();
            return m.result();
        };
        f.BtnConfigClick();
        QCOMPARE(f.EdTitulo->text(),
                 QString("ANALISIS DE CUENTA - OPERACIONES DIARIAS DEL MES: 02/2025"));
        const QString out = appDir_.filePath("analisis.pdf");
        TFrmPapel::pdfPathHook = [&](const QString&) { return out; };
        f.BtnPdfClick();
        const QString text = PdfText(out);
        QVERIFY2(text.contains("SAB 01/02/2025"), qPrintable(text));
        QVERIFY(text.contains("KESH - 28 registros procesados"));
    }

    void fontSelectorChangesOnlyOnAccept() {
        TFrmPapel f(ctx_, params_, "Diario");
        TFrmPapel::dialogHook = [](QDialog& d) {
            auto& fs = dynamic_cast<TFontSelectForm&>(d);
            [&] {
                QCOMPARE(fs.windowTitle(), QString("Cuerpo del informe"));
                QVERIFY(fs.BtColorFondo2->isEnabled());
                QCOMPARE(fs.CmStyle->count(), 8);
                QVERIFY(fs.Memo->toPlainText().endsWith("\n0123456789"));
            }();
            fs.CmSize->setEditText("12");
            fs.CmStyle->setCurrentRow(5);
            TFontSelectForm::colourHook = [](int) { return 0x0000FF; };
            fs.BtColorFondo2->click();
            TFontSelectForm::colourHook = nullptr;
            fs.accept();
            return fs.result();
        };
        f.BtnGroupClick(int(reports::Group::Cuerpo));
        const reports::StyleGroup g = f.settings().group(reports::Group::Cuerpo);
        QCOMPARE(g.size, 12);
        QCOMPARE(g.style, 5);
        QCOMPARE(g.back2, 0x0000FF);
        QCOMPARE(f.BtnGroup[int(reports::Group::Cuerpo)]->text(), QString("Arial 12"));

        TFrmPapel::dialogHook = [](QDialog& d) {
            auto& fs = dynamic_cast<TFontSelectForm&>(d);
            [&] { QVERIFY(!fs.BtColorFondo1->isEnabled()); }(); // Título has no background
            fs.CmSize->setEditText("30");
            fs.reject();
            return fs.result();
        };
        f.BtnGroupClick(int(reports::Group::Titulo));
        QCOMPARE(f.settings().group(reports::Group::Titulo).size, 10);
        f.close();
    }

    void oneEntryJournalHidesTheOptionDialog() {
        reports::SaveReportSettingsFile(ReportIniPath(ctx_.appDir), "Diario", {}); // A4 again
        const QString out = appDir_.filePath("uno.pdf");
        TFrmPapel::pdfPathHook = [&](const QString&) { return out; };
        TFrmPapel f(ctx_, params_, "Diario");
        f.setEntryId(fx_.entry2025Deposit);
        QVERIFY(!f.BtnConfig->isVisibleTo(&f));
        f.BtnPdfClick();
        const QString text = PdfText(out);
        QVERIFY(text.contains("Depósito"));
        QVERIFY(!text.contains("Asiento de Apertura"));
        QVERIFY(text.contains("KESH - Registros procesados: 1 asiento(s) y 2 movimientos"));
    }

    void aFailingGatheringShowsTheErrorAndStaysOpen() {
        ctx_.companyPath = appDir_.filePath("no-existe.vrn").toStdString();
        TFrmPapel::pdfPathHook = [](const QString&) { return QString("x.pdf"); };
        TFrmPapel f(ctx_, params_, "Diario");
        f.show();
        f.BtnPdfClick();
        QVERIFY(f.isVisible());
        QVERIFY(!DialogScript::shown().empty());
        QVERIFY(DialogScript::last().contains("al preparar el informe"));
        f.close();
    }
};

QTEST_MAIN(TestFrmPapel)
#include "test_frmpapel.moc"
