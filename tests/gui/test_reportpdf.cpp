// Report pages rendered to PDF and read back as text, and band colours sampled from
// rendered bands: the common frame, page numbering, counts, totals and band events.
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "print/layouts.h"
#include "print/reportprint.h"
#include "reports/reportjob.h"
#include "support/reportfixture.h"
#include "support/testsupport.h"
#include "pdftext.h"

using kesh::test::PdfText;
using namespace kesh;
using namespace kesh::print;
using namespace kesh::reports;

namespace {

QString PdfInfo(const QString& pdf) {
    QProcess p;
    p.start("pdfinfo", {pdf});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

AppContext Company() {
    AppContext app;
    app.companyData.nombre = "Ferretería El Ñandú S.R.L.";
    app.companyData.domicilio = "Av. Mitre 123";
    app.companyData.codpostal = "1870";
    app.companyData.ciudad = "Avellaneda";
    app.companyData.cuit = "30-12345678-9";
    app.companyData.ingbrut = "901-123456-7";
    return app;
}

// n entries of `lines` lines each (debits then one credit), numbered from 1.
std::vector<JournalRow> Entries(int n, int lines) {
    std::vector<JournalRow> rows;
    for (int e = 1; e <= n; ++e)
        for (int l = 1; l <= lines; ++l) {
            JournalRow r;
            r.fecha = Date::fromYmd(2025, 1, 1 + e % 28);
            r.nro = e;
            r.descrip = "Asiento de prueba " + std::to_string(e);
            r.cod2 = "1.1";
            r.cuent = "Caja";
            if (l < lines) r.debe = Amount::fromUnits(10);
            else r.haber = Amount::fromUnits(10 * (lines - 1));
            rows.push_back(r);
        }
    return rows;
}

LedgerRow Line(const char* cod, int nro, int debe, int haber, int acud = 0, int acuh = 0) {
    LedgerRow r;
    r.cod = cod;
    r.cod2 = cod;
    r.cuenta = std::string("Cuenta ") + cod;
    r.fech = Date::fromYmd(2025, 3, 1);
    r.nro = nro;
    r.descripasi = nro > 0 ? "Movimiento" : "TOTALES 03/2025";
    r.debe = Amount::fromUnits(debe);
    r.haber = Amount::fromUnits(haber);
    r.saldo = r.debe - r.haber;
    r.acudebe = Amount::fromUnits(acud);
    r.acuhaber = Amount::fromUnits(acuh);
    r.acusaldo = r.acudebe - r.acuhaber;
    return r;
}

// Background colour of every band a layout emits, sampled at its top left corner.
std::vector<QColor> BandColours(BandLayout& layout) {
    std::vector<QColor> colours;
    Band b;
    while (layout.next(b)) {
        if (b.height <= 0) continue;
        const double dpi = 50;
        QImage img(int(200 / 25.4 * dpi), int(b.height / 25.4 * dpi) + 2, QImage::Format_RGB32);
        img.fill(Qt::black);
        QPainter p(&img);
        b.paint(Canvas(&p, dpi, 0, 0, 200, b.height));
        p.end();
        colours.push_back(img.pixelColor(img.width() - 3, 1));
    }
    return colours;
}

} // namespace

class TestReportPdf : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString out(const char* name) { return dir_.filePath(name); }

    QString Render(const std::string& key, ReportRows rows, const AppContext& app,
                   const ReportSettings& s, const char* file, int* pages = nullptr) {
        auto doc = MakeReportDocument(key, std::move(rows), app, s,
                                      {ReportTitle(key), "Ejercicio 2025", "11/12/2026  10:30"});
        doc->paginate();
        if (pages) *pages = doc->pageCount();
        doc->writePdf(out(file));
        return PdfText(out(file));
    }

private slots:
    void journalOfTheFixtureCompany() {
        test::ReportFixture fx = test::MakeReportFixture("pdf_journal");
        AppContext app = Company();
        app.currentEj.id = fx.year2025;
        app.reportRange.fromDate = Date::fromYmd(2025, 1, 1);
        app.reportRange.toDate = Date::fromYmd(2025, 12, 31);
        app.settings.DSumasIguales = true;
        ReportRows rows = db::WithTransaction(fx.path, [&](db::Transaction& tr) {
            return GatherReport(tr, "Diario", app, ReportParams{});
        });
        ReportSettings s;
        s.pagina = 5;
        s.textPie = "Rubricado en Avellaneda";
        s.incFecha = true;
        const QString text = Render("Diario", rows, app, s, "diario.pdf");
        QVERIFY2(text.contains("LIBRO DIARIO"), qPrintable(text));
        QVERIFY(text.contains("Ejercicio 2025"));
        QVERIFY(text.contains("Página 5"));
        QVERIFY(!text.contains("Página 6"));
        QVERIFY(text.contains("Empresa:"));
        QVERIFY(text.contains("Ferretería El Ñandú S.R.L."));
        QVERIFY(text.contains("Av. Mitre 123 - 1870 - Avellaneda"));
        QVERIFY(text.contains("CUIT:"));
        QVERIFY(text.contains("I.Brut:"));
        QVERIFY(text.contains("Asiento de Apertura"));
        QVERIFY(text.contains("1.210,00"));
        QCOMPARE(text.count("Sumas iguales"), 4);
        QVERIFY(text.contains(QRegularExpression(
            "KESH - Registros procesados: 4 asiento\\(s\\) y 8 movimientos - 11/12/2026\\s+10:30")));
        QVERIFY(text.contains("Rubricado en Avellaneda"));

        // Without "Sumas iguales" and without numbering: same counts, no sums, no label.
        app.settings.DSumasIguales = false;
        s.numerar = false;
        s.incFecha = false;
        const QString plain = Render("Diario", rows, app, s, "diario2.pdf");
        QVERIFY(!plain.contains("Sumas iguales"));
        QVERIFY(!plain.contains("Página"));
        QVERIFY(plain.contains("KESH - Registros procesados: 4 asiento(s) y 8 movimientos"));
        QVERIFY(!plain.contains("10:30"));
    }

    void emptyReportPrintsFrameAndZeroCounts() {
        AppContext app = Company();
        const QString text = Render("Diario", std::vector<JournalRow>{}, app, ReportSettings{},
                                    "vacio.pdf");
        QVERIFY(text.contains("LIBRO DIARIO"));
        QVERIFY(text.contains("Página 1"));
        QVERIFY(text.contains("KESH - Registros procesados: 0 asiento(s) y 0 movimientos"));

        // A text longer than its place is cut there instead of running over the next one.
        app.companyData.domicilio = "Avenida del Libertador General San Martín 14.500, piso 12, oficina B";
        const QString longer = Render("Diario", std::vector<JournalRow>{}, app, ReportSettings{},
                                      "largo_domicilio.pdf");
        QVERIFY2(longer.contains(QRegularExpression("Domic:\\s+Avenida del Libertador[^\\n]*…\\s+I\\.Brut:\\s+901-123456-7")),
                 qPrintable(longer));
    }

    void manyPagesNumberedInOrderWithRunningCounts() {
        AppContext app = Company();
        app.settings.DSumasIguales = true;
        ReportSettings s;
        s.pagina = 3;
        int pages = 0;
        const QString text = Render("Diario", Entries(300, 4), app, s, "largo.pdf", &pages);
        QVERIFY(pages > 8);
        QVERIFY(PdfInfo(out("largo.pdf")).contains(QRegularExpression(QString("Pages:\\s+%1\\n").arg(pages))));
        for (int p = 0; p < pages; ++p)
            QVERIFY2(text.contains(QString("Página %1").arg(3 + p)), qPrintable(QString::number(p)));
        QVERIFY(!text.contains(QString("Página %1").arg(3 + pages)));
        // Every entry has one header and one footer even when its lines cross a page break.
        QCOMPARE(text.count("Sumas iguales"), 300);
        QCOMPARE(text.count("Asiento de prueba 17 "), 0); // (names are unique: no reprint)
        QCOMPARE(text.count(QRegularExpression("Asiento de prueba 17\\b")), 1);
        // The last page's count covers everything; an earlier page counts only its part.
        QVERIFY(text.contains("KESH - Registros procesados: 300 asiento(s) y 1200 movimientos"));
        const QString first = PdfText(out("largo.pdf"), "-f 1 -l 1");
        QVERIFY(!first.contains("300 asiento(s)"));
        QVERIFY(first.contains("KESH - Registros procesados: "));
    }

    void pagesPaintedOnDemandMatchTheStreamedPdf() {
        AppContext app = Company();
        auto doc = MakeReportDocument("Diario", Entries(200, 3), app, ReportSettings{},
                                      {"LIBRO DIARIO", "", ""});
        QVERIFY(!doc->paginate(2));
        QCOMPARE(doc->pageCount(), 2);
        doc->paginate();
        const int pages = doc->pageCount();
        // A page painted out of order (last, then first) is the same image both times.
        const QImage last1 = doc->renderPage(pages - 1, 40);
        const QImage first = doc->renderPage(0, 40);
        const QImage last2 = doc->renderPage(pages - 1, 40);
        QCOMPARE(last1, last2);
        QVERIFY(first != last1);
    }

    void ledgerBroughtForwardRunningBalanceAndTotals() {
        AppContext app = Company();
        app.settings.Marrastrasaldos = true;
        std::vector<LedgerRow> rows{Line("00010001", 5, 10, 0, 100, 40)};
        const QString text = Render("Mayor", rows, app, ReportSettings{}, "mayor.pdf");
        QVERIFY(text.contains("Anterior. . ."));
        QVERIFY(text.contains("70,00 D"));
        QVERIFY(text.contains("110,00"));
        QVERIFY(text.contains("40,00"));
        QVERIFY(text.contains(QRegularExpression("Totales\\. \\. \\.\\s+110,00\\s+40,00\\s+70,00 D")));

        // Without it: no brought-forward band, the balance is the line's own.
        app.settings.Marrastrasaldos = false;
        const QString plain = Render("Mayor", rows, app, ReportSettings{}, "mayor2.pdf");
        QVERIFY(!plain.contains("Anterior"));
        QVERIFY(plain.contains(QRegularExpression("Totales\\. \\. \\.\\s+10,00\\s+0,00\\s+10,00 D")));
    }

    void ledgerMonthlyTotalRowAndZeroBalance() {
        AppContext app = Company();
        std::vector<LedgerRow> rows{Line("00010001", 1, 50, 0), Line("00010001", 2, 0, 50),
                                    Line("00010001", 0, 50, 50)};
        const QString text = Render("Mayor", rows, app, ReportSettings{}, "mayor3.pdf");
        // The total row shows its own balance and leaves the running balance alone; a zero
        // balance prints "0,00" in the lines, the total row and the account totals.
        QVERIFY(text.contains(QRegularExpression("TOTALES 03/2025\\s+50,00\\s+50,00\\s+0,00\\s*\\n")));
        QVERIFY(text.contains(QRegularExpression("Totales\\. \\. \\.\\s+50,00\\s+50,00\\s+0,00")));
        QCOMPARE(text.count("01/03/2025"), 2);
    }

    void ledgerAccountsOnSeparatePages() {
        AppContext app = Company();
        app.settings.Mhojasseparadas = true;
        std::vector<LedgerRow> rows{Line("00010001", 1, 5, 0), Line("00010002", 2, 0, 5),
                                    Line("00010003", 3, 0, 5)};
        int pages = 0;
        const QString text = Render("Mayor", rows, app, ReportSettings{}, "hojas.pdf", &pages);
        QCOMPARE(pages, 3);
        QVERIFY(PdfText(out("hojas.pdf"), "-f 2 -l 2").contains("00010002"));
        QVERIFY(text.contains("KESH - Registros procesados: 3 cuenta(s) y 3 movimientos"));
    }

    void detailLinesAlternateStartingWithTheFirstColour() {
        ReportSettings s;
        s.group(Group::Cuerpo).back = 0x0000FF;  // red
        s.group(Group::Cuerpo).back2 = 0xFF0000; // blue
        s.group(Group::Empre).back = 0x00FF00;   // green: entry headers
        auto ctx = MakePrintContext(s, CompanyData{}, "", "", "");
        auto journal = JournalLayout(ctx, Entries(2, 2), false);
        const std::vector<QColor> c = BandColours(*journal);
        QCOMPARE(int(c.size()), 6);
        QCOMPARE(c[0], QColor(Qt::green));
        QCOMPARE(c[1], QColor(Qt::red));
        QCOMPARE(c[2], QColor(Qt::blue));
        QCOMPARE(c[3], QColor(Qt::green));
        QCOMPARE(c[4], QColor(Qt::red));

        // Trial balance: every account's first month takes the second colour.
        std::vector<TrialRow> trial;
        for (const char* cod : {"0001", "0002"})
            for (int m = 1; m <= 3; ++m) {
                TrialRow r;
                r.cod = cod;
                r.mes = m;
                r.an = 2025;
                trial.push_back(r);
            }
        s.group(Group::Total).back = 0x00FF00;
        auto tctx = MakePrintContext(s, CompanyData{}, "", "", "");
        auto tl = TrialLayout(tctx, trial, Date::fromYmd(2025, 1, 1), Date::fromYmd(2025, 3, 31));
        const std::vector<QColor> t = BandColours(*tl);
        const std::vector<QColor> expected{Qt::green, Qt::blue, Qt::red, Qt::blue,
                                           Qt::green, Qt::blue, Qt::red, Qt::blue};
        QCOMPARE(int(t.size()), int(expected.size()));
        for (size_t i = 0; i < t.size(); ++i) QCOMPARE(t[i], expected[i]);

        // Account analysis by day: weekends take the second colour.
        std::vector<AnalysisRow> days;
        for (const char* d : {"VIE 07/02/2025", "SAB 08/02/2025", "DOM 09/02/2025", "LUN 10/02/2025"})
            days.push_back({d, {}, {}, {}, 0, 0, 0});
        auto al = AnalysisLayout(tctx, days);
        const std::vector<QColor> a = BandColours(*al);
        QCOMPARE(a[0], QColor(Qt::red));
        QCOMPARE(a[1], QColor(Qt::blue));
        QCOMPARE(a[2], QColor(Qt::blue));
        QCOMPARE(a[3], QColor(Qt::red));
    }

    void balanceLevelSumsAndHiddenLevels() {
        AppContext app = Company();
        app.reportRange.fromDate = Date::fromYmd(2025, 1, 1);
        app.reportRange.toDate = Date::fromYmd(2025, 12, 31);
        AccountRow r;
        r.cod2 = "1.1.1";
        r.cuenta2 = "Caja chica";
        r.niv = 3;
        r.haber = Amount::fromUnits(1500);
        r.saldo = Amount::fromUnits(-1500);
        const QString text = Render("Balance", std::vector<AccountRow>{r}, app, ReportSettings{},
                                    "balance.pdf");
        QVERIFY(text.contains("1.500,00 H"));
        QVERIFY(text.contains(QRegularExpression("Suma Nivel 3\\.+\\s+1\\.500,00 C")));
        QVERIFY(text.contains("Periodo : 01/2025 - 12/2025"));
        QVERIFY(text.contains("KESH - 1 registros procesados"));
        app.settings.Bnivel[3] = false;
        const QString hidden = Render("Balance", std::vector<AccountRow>{r}, app, ReportSettings{},
                                      "balance2.pdf");
        QVERIFY(!hidden.contains("Caja chica"));
        QVERIFY(hidden.contains(QRegularExpression("Suma Nivel 3\\.+\\s+0,00")));
        QVERIFY(hidden.contains("KESH - 0 registros procesados"));
    }

    void keshcliWritesTheSamePdfAndTheRowsHeadless() {
        test::ReportFixture fx = test::MakeReportFixture("pdf_cli");
        const QString pdf = out("cli.pdf"), csv = out("cli.csv");
        QProcess p;
        p.start(QString::fromStdString((test::AppDir() / "keshcli").string()),
                {"report", QString::fromStdString(fx.path), "Mayor", "--ejercicio", "Ejercicio 2025",
                 "--desde", "10/01/2025", "--hasta", "31/12/2025", "--arrastrar", "--pagina", "5",
                 "--pdf", pdf, "--csv", csv});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        const QString text = PdfText(pdf);
        QVERIFY2(text.contains("LIBRO MAYOR"), qPrintable(text));
        QVERIFY(text.contains("Página 5"));
        QVERIFY(text.contains("Ferretería El Ñandú S.R.L."));
        QVERIFY(text.contains(QRegularExpression("Anterior\\. \\. \\.\\s+700,00\\s+700,00 D")));
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString rows = QString::fromUtf8(f.readAll());
        QVERIFY(rows.startsWith("COD;COD2;CUENTA;FECH;"));
        QVERIFY(rows.contains("00010001;1.1;Caja;10/01/2025;;2;Depósito;deposito;0.00;500.00;200.00;700.00;0.00;700.00"));

        // A bad option is a usage error, with nothing written.
        p.start(QString::fromStdString((test::AppDir() / "keshcli").string()),
                {"report", QString::fromStdString(fx.path), "Mayor", "--desde", "31/02/2025",
                 "--pdf", out("nada.pdf")});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains("fecha inválida en --desde"));
        QVERIFY(!QFile::exists(out("nada.pdf")));
    }

    void customPaperIsPortraitWithItsOwnSize() {
        ReportSettings s;
        s.tipoPapel = kPaperCustom;
        s.ancho = 100;
        s.largo = 150;
        s.orientacion = 1;
        Render("PlandeCuentas", std::vector<AccountRow>{}, Company(), s, "custom.pdf");
        const QString info = PdfInfo(out("custom.pdf"));
        QVERIFY2(info.contains("283 x 425"), qPrintable(info));
        s.tipoPapel = kPaperA4;
        Render("PlandeCuentas", std::vector<AccountRow>{}, Company(), s, "land.pdf");
        QVERIFY(PdfInfo(out("land.pdf")).contains("842 x 595"));
    }
};

QTEST_MAIN(TestReportPdf)
#include "test_reportpdf.moc"
