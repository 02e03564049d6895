// The "Conceptos de Facturación" dialog: what it shows from the stored lists and what
// "Aceptar" writes back, on a real company file.

#include <QtTest>

#include <QButtonGroup>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "app/context.h"
#include "app/sqlhelpers.h"
#include "db/database.h"
#include "gui/vouchers/accountchooser.h"
#include "gui/vouchers/conceptosfrm.h"
#include "gui/widgets/dialogs.h"
#include "support/testsupport.h"
#include "vouchers/concepts.h"

using namespace kesh::vouchers;
namespace dlg = kesh::gui::DialogScript;

class TestBillingConcepts : public QObject {
    Q_OBJECT
private:
    std::string company(const char* name) {
        const std::string path = kesh::test::CopyTemplate("kesh0.fdb", name);
        kesh::db::WithTransaction(path, [](kesh::db::Transaction& tr) {
            tr.execute("insert into cuentas (cod, cuenta, imp) values ('0001', 'ACTIVO', 0)");
            tr.execute("insert into cuentas (cod, cuenta, imp) values "
                       "('00010001000100010012', 'IVA Crédito Fiscal Importaciones', 1)");
            tr.execute("insert into cuentas (cod, cuenta, imp) values ('00010002', 'Caja', 1)");
        });
        return path;
    }
    // Types into the in-place editor of a cell and commits it.
    void typeInto(TConceptosFrm& frm, int row, int col, const QString& text) {
        frm.Grid->setCurrentCell(row, col);
        frm.Grid->editItem(frm.Grid->item(row, col));
        auto* ed = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (!ed) ed = frm.Grid->viewport()->findChild<QLineEdit*>();
        QVERIFY(ed);
        ed->selectAll();
        // QTest types ASCII only; accented text goes in as a paste would.
        bool ascii = true;
        for (QChar c : text) ascii = ascii && c.unicode() < 128;
        if (ascii) QTest::keyClicks(ed, text);
        else ed->insert(text);
        QTest::keyClick(ed, Qt::Key_Return);
        QCoreApplication::processEvents();  // the delegate commits on a queued call
    }

private slots:
    void init() { dlg::begin(); }
    void cleanup() {
        dlg::end();
        kesh::gui::SetAccountChooser({});
    }

    void showsTheTemplateRowsInScreenOrder() {
        const std::string path = company("gui_concepts_show");
        kesh::AppContext ctx;
        ctx.companyPath = path;
        TConceptosFrm frm(nullptr, ctx, VoucherSide::Purchases);
        QCOMPARE(frm.windowTitle(), QStringLiteral("Conceptos de Facturación Compras"));
        QCOMPARE(frm.Grid->rowCount(), 12);
        QCOMPARE(frm.Grid->item(0, 0)->text(), QStringLiteral("Total"));
        QCOMPARE(frm.Grid->item(1, 0)->text(), QStringLiteral("Neto no gravado"));
        QCOMPARE(frm.Grid->item(2, 0)->text(), QStringLiteral("Neto gravado"));
        QCOMPARE(frm.Grid->item(3, 0)->text(), QStringLiteral("IVA 21%"));
        QCOMPARE(frm.Grid->item(3, 1)->text(), QStringLiteral("  21.00"));
        QCOMPARE(frm.Grid->item(4, 1)->text(), QStringLiteral("  10.50"));
        QCOMPARE(frm.Grid->item(3, 2)->checkState(), Qt::Checked);
        QCOMPARE(frm.Grid->item(0, 3)->text(), QStringLiteral(" C"));
        QCOMPARE(frm.Grid->item(2, 3)->text(), QStringLiteral(" D"));
        QCOMPARE(frm.RgModo->checkedId(), 0);
    }

    void editsAreSavedAsTheStoredLists() {
        const std::string path = company("gui_concepts_save");
        kesh::gui::SetAccountChooser(
            [](QWidget*, kesh::AppContext&, const std::string&) -> std::optional<std::string> {
                return std::string("00010001000100010012");
            });
        kesh::AppContext ctx;
        ctx.companyPath = path;
        TConceptosFrm frm(nullptr, ctx, VoucherSide::Sales);
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        typeInto(frm, 5, TConceptosFrm::ColAlicuota, QStringLiteral("10,5"));  // concept 4
        QCOMPARE(frm.Grid->item(5, 1)->text(), QStringLiteral("  10.5"));
        typeInto(frm, 6, TConceptosFrm::ColAlicuota, QStringLiteral("21"));    // concept 5
        typeInto(frm, 7, TConceptosFrm::ColAlicuota, QString());              // concept 6
        typeInto(frm, 11, TConceptosFrm::ColConcepto,
                 QStringLiteral("Percepción Ganancias Sociedades"));         // cut at 20
        typeInto(frm, 10, TConceptosFrm::ColConcepto, QString());             // not applied
        frm.Grid->cellClicked(6, TConceptosFrm::ColCalculo);                  // group off
        frm.Grid->cellClicked(2, TConceptosFrm::ColCrDe);                     // Neto: C -> D
        frm.Grid->cellClicked(0, TConceptosFrm::ColCuenta);                   // Total's account
        frm.Grid->cellClicked(5, TConceptosFrm::ColConcepto);                 // nothing
        frm.RgModo->button(2)->setChecked(true);
        frm.BtnOk->click();
        QCOMPARE(frm.result(), int(QDialog::Accepted));
        QVERIFY(dlg::shown().empty());

        const ConceptLists l = ReadConceptLists(path, VoucherSide::Sales);
        QCOMPARE(l.rates, std::string("0000" "0000" "2100" "1050" "1050" "2100" "0000"
                                      "0000" "0000" "0000" "0000" "0000"));
        QCOMPARE(l.flags, std::string("001111111110").replace(5, 1, "0"));
        QCOMPARE(ConceptName(l.names, 11), std::string("Percepción Gananci"
                                                       "as"));
        QCOMPARE(ConceptName(l.names, 10), std::string("Otros Impuestos"));
        QCOMPARE(l.sides, std::string("DCCCCCCCCCCD"));
        QCOMPARE(ConceptAccount(l.codes, 12), std::string("00010001000100010012"));
        QCOMPARE(l.mode, 2);
        QCOMPARE(kesh::Utf8Length(l.names), std::size_t(240));
    }

    void rightAtTheEndOfANameGoesToItsRate() {
        const std::string path = company("gui_concepts_right");
        kesh::AppContext ctx;
        ctx.companyPath = path;
        TConceptosFrm frm(nullptr, ctx, VoucherSide::Purchases);
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        frm.Grid->setCurrentCell(10, TConceptosFrm::ColConcepto);
        frm.Grid->editItem(frm.Grid->item(10, TConceptosFrm::ColConcepto));
        auto* ed = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(ed);
        ed->end(false);
        QTest::keyClicks(ed, QStringLiteral(" 2"));
        QTest::keyClick(ed, Qt::Key_Right);
        QCoreApplication::processEvents();
        QCOMPARE(frm.Grid->currentColumn(), int(TConceptosFrm::ColAlicuota));
        QCOMPARE(frm.Grid->item(10, 0)->text(), QStringLiteral("Otros Impuestos 2"));
    }

    void cancelWritesNothing() {
        const std::string path = company("gui_concepts_cancel");
        const ConceptLists before = ReadConceptLists(path, VoucherSide::Purchases);
        kesh::AppContext ctx;
        ctx.companyPath = path;
        TConceptosFrm frm(nullptr, ctx, VoucherSide::Purchases);
        frm.Grid->cellClicked(3, TConceptosFrm::ColCrDe);
        frm.BtnCancel->click();
        QVERIFY(ReadConceptLists(path, VoucherSide::Purchases) == before);
    }

    void listsOfAnotherLayoutShowAnEmptyGridAndSaveWellFormed() {
        const std::string path = company("gui_concepts_broken");
        kesh::db::WithTransaction(path, [](kesh::db::Transaction& tr) {
            tr.execute("update empresa set CAlicuotas = '2100', CCodigos = ''");
        });
        kesh::AppContext ctx;
        ctx.companyPath = path;
        TConceptosFrm frm(nullptr, ctx, VoucherSide::Purchases);
        QCOMPARE(frm.Grid->item(0, 0)->text(), QString());
        QCOMPARE(frm.Grid->item(3, 0)->text(), QString());
        frm.BtnOk->click();
        const ConceptLists l = ReadConceptLists(path, VoucherSide::Purchases);
        QCOMPARE(l.rates.size(), std::size_t(48));
        QCOMPARE(l.codes.size(), std::size_t(240));
        QCOMPARE(ConceptName(l.names, 1), std::string("Total"));
        QCOMPARE(ConceptName(l.names, 12), std::string("Neto no gravado"));
    }
};

QTEST_MAIN(TestBillingConcepts)
#include "test_billing_concepts.moc"
