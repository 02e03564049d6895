// A long journal and ledger laid out while their rows are still being read: the preview shows
// page 1 before the rest is read, streamed pages are the pages of the rows read at once,
// closing the preview half way frees the company, and a reading cut half way ends in a
// Spanish message (in the preview and when writing a PDF), never in a crash.
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>

#include "gui/reports/frmpapel.h"
#include "gui/reports/frmpreview.h"
#include "gui/widgets/dialogs.h"
#include "print/reportprint.h"
#include "reports/reportjob.h"
#include "support/reportfixture.h"
#include "support/testsupport.h"
#include "pdftext.h"

using kesh::test::PdfText;
using namespace kesh;
using namespace kesh::gui;

namespace {

const char* kLost =
    "No se pudo terminar de leer el informe: se perdió la conexión con la base de datos.";

} // namespace

class TestReportStream : public QObject {
    Q_OBJECT
    test::ReportFixture fx_;
    QTemporaryDir appDir_;
    AppContext ctx_;
    reports::ReportParams params_;
    size_t journalRows_ = 0;

    TfrmPreview* openPreview(const std::string& key) {
        TfrmPreview* seen = nullptr;
        TFrmPapel::previewHook = [&](TfrmPreview* p) { seen = p; };
        TFrmPapel f(ctx_, params_, key);
        f.BtnPreviewClick();
        TFrmPapel::previewHook = nullptr;
        return seen;
    }

    std::unique_ptr<print::ReportDocument> document(const std::string& key, bool streamed) {
        const print::ReportTexts texts{reports::ReportTitle(key), "Ejercicio 2025",
                                       "11/12/2026  10:30"};
        if (streamed)
            return print::MakeReportDocument(
                key, reports::OpenReportStream(fx_.path, key, ctx_, params_), ctx_, {}, texts);
        return print::MakeReportDocument(key, db::WithTransaction(fx_.path, [&](db::Transaction& tr) {
                                             return reports::GatherReport(tr, key, ctx_, params_);
                                         }),
                                         ctx_, {}, texts);
    }

private slots:
    void initTestCase() {
        fx_ = test::MakeReportFixture("reportstream");
        test::AddLongEntries(fx_.path, fx_.year2025, 400);
        std::filesystem::create_directories(appDir_.filePath("Datos").toStdString());
    }
    void init() {
        ctx_ = fx_.Context2025(appDir_.path().toStdString());
        ctx_.settings.DSumasIguales = true;
        ctx_.settings.Marrastrasaldos = true;
        ctx_.settings.MTotMes = true;
        params_ = reports::ReportParams{};
        journalRows_ = db::WithTransaction(fx_.path, [&](db::Transaction& tr) {
            return reports::FetchJournal(tr, reports::JournalOptionsOf(ctx_, params_)).size();
        });
        TFrmPapel::pdfPathHook = nullptr;
        DialogScript::begin();
    }
    void cleanup() {
        DialogScript::end();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(test::OtherAttachments(fx_.path), 0);
    }

    void previewShowsPageOneBeforeTheRestIsRead() {
        TfrmPreview* preview = openPreview("Diario");
        QVERIFY(preview);
        QCOMPARE(preview->currentPage(), 1);
        QVERIFY(preview->document().pageCount() >= 1);
        QVERIFY(!preview->layoutFinished());
        QVERIFY2(preview->document().rowsRead() < journalRows_ / 10,
                 qPrintable(QString::number(preview->document().rowsRead())));
        QVERIFY(preview->status().startsWith(" PROCESANDO..."));
        QCOMPARE(test::OtherAttachments(fx_.path), 1); // the report's own cursor

        // "última página" waits for the end without holding the window.
        preview->BtUltima->click();
        QVERIFY(!preview->layoutFinished());
        QVERIFY(preview->status().contains("(se mostrará la última página al terminar)"));
        QTRY_VERIFY_WITH_TIMEOUT(preview->layoutFinished(), 60000);
        QCOMPARE(preview->status(), QString(" TERMINADO"));
        QCOMPARE(preview->document().rowsRead(), journalRows_);
        QVERIFY(preview->document().pageCount() > 10);
        QCOMPARE(preview->currentPage(), preview->document().pageCount());
        QCOMPARE(preview->LTotPags->text().toInt(), preview->document().pageCount());
        QCOMPARE(test::OtherAttachments(fx_.path), 0); // closed after the last row
        preview->close();
    }

    void printingWhileReadingPrintsEveryPageAtTheEnd() {
        TfrmPreview* preview = openPreview("Mayor");
        QVERIFY(preview);
        QVERIFY(!preview->layoutFinished());
        int printedTo = 0, calls = 0;
        TfrmPreview::printHook = [&](print::ReportDocument&, int, int to, int) {
            printedTo = to;
            ++calls;
        };
        preview->BtImprimirClick();
        QVERIFY(!preview->BtImprimir->isEnabled());
        QCOMPARE(calls, 0);
        QTRY_VERIFY_WITH_TIMEOUT(calls == 1, 60000);
        TfrmPreview::printHook = nullptr;
        QCOMPARE(printedTo, preview->document().pageCount());
        QVERIFY(preview->BtImprimir->isEnabled());
        preview->close();
    }

    void streamedPagesAreThePagesOfTheRowsReadAtOnce() {
        QTemporaryDir out;
        for (const std::string key : {"Diario", "Mayor"}) {
            auto streamed = document(key, true);
            auto whole = document(key, false);
            // Laid out a page at a time as the preview does, against all at once.
            while (!streamed->paginate(1)) {}
            whole->paginate();
            QCOMPARE(streamed->pageCount(), whole->pageCount());
            const int n = whole->pageCount();
            QVERIFY(n > 5);
            for (int page : {0, n / 2, n - 1})
                QVERIFY2(streamed->renderPage(page, 40) == whole->renderPage(page, 40),
                         qPrintable(QString("%1 página %2").arg(key.c_str()).arg(page + 1)));

            // The single pass of the PDF button, forgetting rows as it goes, writes the same
            // text as the rows read first.
            const QString a = out.filePath(QString("%1_stream.pdf").arg(key.c_str()));
            const QString b = out.filePath(QString("%1_whole.pdf").arg(key.c_str()));
            document(key, true)->writePdf(a, print::ReportDocument::Rows::Forget);
            whole->writePdf(b);
            const QString text = PdfText(a);
            QVERIFY(text.contains(QString("Página %1").arg(n)));
            QCOMPARE(text, PdfText(b));
        }
    }

    void closingThePreviewHalfWayFreesTheCompany() {
        QPointer<TfrmPreview> preview = openPreview("Diario");
        QVERIFY(preview);
        QVERIFY(!preview->layoutFinished());
        QCOMPARE(test::OtherAttachments(fx_.path), 1);
        QTest::keyClick(preview, Qt::Key_Escape);
        QCOMPARE(test::OtherAttachments(fx_.path), 0); // the cursor closed with the window
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!preview);
        // Nothing of the report is left holding the company: it takes a new entry.
        db::WithTransaction(fx_.path, [&](db::Transaction& tr) {
            tr.execute("insert into asientos (idej, num, fecha, descrip) values (?, 9999, ?, ?)",
                       {fx_.year2025, Date::fromYmd(2025, 12, 31), "Después de cerrar"});
            tr.execute("delete from asientos where num = 9999");
        });
    }

    void aLostConnectionInThePreviewIsAMessageAndThePagesReadStay() {
        TfrmPreview* preview = openPreview("Diario");
        QVERIFY(preview);
        const int before = preview->document().pageCount();
        test::CutOtherConnections(fx_.path);
        QTRY_VERIFY_WITH_TIMEOUT(preview->layoutFinished(), 60000);
        QCOMPARE(preview->status(), QString(" INCOMPLETO"));
        QCOMPARE(int(DialogScript::shown().size()), 1);
        QVERIFY2(DialogScript::last().startsWith(kLost), qPrintable(DialogScript::last()));
        const int pages = preview->document().pageCount();
        QVERIFY(pages >= before);
        QVERIFY(preview->document().rowsRead() < journalRows_);
        // The pages laid out can still be looked at and printed.
        preview->BtUltima->click();
        QCOMPARE(preview->currentPage(), pages);
        QVERIFY(!preview->document().renderPage(pages - 1, 40).isNull());
        QVERIFY(preview->BtImprimir->isEnabled());
        preview->close();
    }

    void aLostConnectionWhileWritingThePdfLeavesNoFile() {
        const QString pdf = appDir_.filePath("Datos/Diario.pdf");
        // The cursor is open when the file is chosen: cut it there.
        TFrmPapel::pdfPathHook = [&](const QString&) {
            test::CutOtherConnections(fx_.path);
            return pdf;
        };
        TFrmPapel f(ctx_, params_, "Diario");
        f.show();
        f.BtnPdfClick();
        QVERIFY(f.isVisible());
        QCOMPARE(DialogScript::last(), QString(kLost));
        QVERIFY(!QFile::exists(pdf));
        f.close();
    }
};

QTEST_MAIN(TestReportStream)
#include "test_reportstream.moc"
