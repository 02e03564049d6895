// The customer/provider editor on the demo company: a new provider with its tax data and
// concept accounts, the code field's typing rules, refusals, and changing a customer.

#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

#include "accounts/browse.h"
#include "accounts/parties.h"
#include "app/context.h"
#include "db/database.h"
#include "gui/accounts/brctasfrm.h"
#include "gui/vouchers/accountchooser.h"
#include "gui/vouchers/edcliprovfrm.h"
#include "gui/vouchers/tipoperfrm.h"
#include "gui/widgets/dialogs.h"
#include "support/testsupport.h"

using namespace kesh::accounts;
namespace dlg = kesh::gui::DialogScript;

class TestBillingParties : public QObject {
    Q_OBJECT
private:
    kesh::AppContext ctx;
    std::optional<Party> load(const char* code) {
        return kesh::db::WithTransaction(ctx.companyPath, [&](kesh::db::Transaction& tr) {
            return LoadParty(tr, code);
        });
    }

private slots:
    void init() {
        dlg::begin();
        ctx.companyPath = kesh::test::CopyTemplate(
            "demo0.fdb", std::string("gui_parties_") + QTest::currentTestFunction());
    }
    void cleanup() {
        dlg::end();
        kesh::gui::SetAccountChooser({});
    }

    void newProviderWithTaxDataAndConceptAccounts() {
        kesh::gui::SetAccountChooser(
            [](QWidget*, kesh::AppContext&, const std::string& start) -> std::optional<std::string> {
                if (start == "0001000100060001") return std::string("0004000200020001");
                return std::nullopt;
            });
        TEdCliProvFrm frm(nullptr, ctx, kClassProvider, QString(), QStringLiteral("2.1.8.5"));
        QCOMPARE(frm.windowTitle(), QStringLiteral("Agregar Proveedor"));
        QCOMPARE(frm.LValid->text(), QStringLiteral("Ok"));
        QVERIFY(frm.LPath->text().endsWith(QStringLiteral("()")));
        QVERIFY(frm.RbImputable->isChecked());
        QCOMPARE(frm.ConceptCaption(2), QStringLiteral("IVA 21% (21)*"));
        QCOMPARE(frm.ConceptCaption(3), QStringLiteral("IVA 10.5% (10.5)*"));
        QCOMPARE(frm.ConceptCaption(12), QStringLiteral("Total"));

        frm.EdCuenta->setText(QStringLiteral("Librería Belgrano S.R.L."));
        frm.EdToken->setText(QStringLiteral("libbe"));
        frm.CbRespIva->setCurrentText(QStringLiteral("RI"));
        frm.EdCuit->setText(QStringLiteral("30-50001091-3"));
        QVERIFY(!frm.LCuitOk->isVisibleTo(&frm));
        frm.EdCuit->setText(QStringLiteral("30500010912"));
        QVERIFY(frm.LCuitOk->isVisibleTo(&frm));
        emit frm.EdCuit->editingFinished();
        QCOMPARE(frm.EdCuit->text(), QStringLiteral("30-50001091-2"));
        frm.EdLoc->setText(QStringLiteral("Córdoba"));
        frm.EdPorIB->setText(QStringLiteral("3,5"));
        frm.CbCalc->setCurrentIndex(1);

        frm.ChConcepto[0]->setChecked(true);
        QVERIFY(frm.BtCuenta[0]->text().contains(QStringLiteral("de la empresa")));
        frm.BtCuenta[0]->click();  // picks Gastos Varios
        QVERIFY(frm.BtCuenta[0]->text().startsWith(QStringLiteral("4.2.2.1    Gastos Varios")));
        frm.ChConcepto[11]->setChecked(true);
        frm.BtDeHa[0]->click();    // D -> C
        QCOMPARE(frm.BtDeHa[0]->text(), QStringLiteral("C"));
        frm.ChConcepto[1]->setChecked(true);
        frm.ChConcepto[1]->setChecked(false);
        QVERIFY(!frm.BtCuenta[1]->isVisibleTo(&frm));

        QTimer::singleShot(0, [] {
            auto* chooser = qobject_cast<TTipOperFrm*>(QApplication::activeModalWidget());
            QVERIFY(chooser);
            chooser->SelectId(chooser->Grid->item(0, 0)->text().toInt());
            chooser->BtnOk->click();
        });
        frm.BtTipoOper->click();
        QCOMPARE(frm.BtTipoOper->text(), QStringLiteral("Compra de mercaderías"));

        frm.BtnOk->click();
        QCOMPARE(frm.result(), int(QDialog::Accepted));
        QVERIFY(dlg::shown().empty());

        const auto p = load("2.1.8.5");
        QVERIFY(p.has_value());
        QCOMPARE(p->name, std::string("Librería Belgrano S.R.L."));
        QCOMPARE(p->token, std::string("LIBBE"));
        QCOMPARE(p->clase, kClassProvider);
        QCOMPARE(p->doc, std::string("30-50001091-2"));
        QCOMPARE(p->ibRate, 350);
        QCOMPARE(p->calc, 1);
        const PartyConceptLists lists = FormatPartyConcepts(*p);
        QCOMPARE(lists.activ, std::string("100000000001"));
        QCOMPARE(lists.deha, std::string("CDDDDDDDDDDC"));
        QCOMPARE(lists.codigos.substr(0, 20), std::string("0004000200020001    "));
        QCOMPARE(lists.codigos.substr(220), std::string("0002000100080005    "));
        QVERIFY(p->idtipoper > 0);
    }

    void codeFieldTypingRules() {
        TEdCliProvFrm frm(nullptr, ctx, kClassCustomer, QString(), QString());
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        QVERIFY(!frm.BtnOk->isEnabled());
        frm.EdCodigo->setFocus();
        QTest::keyClicks(frm.EdCodigo, QStringLiteral("01"));
        QCOMPARE(frm.EdCodigo->text(), QStringLiteral("1"));
        QVERIFY(frm.BtnOk->isEnabled());
        QTest::keyClicks(frm.EdCodigo, QStringLiteral("x.."));  // letter dropped, one dot kept
        QCOMPARE(frm.EdCodigo->text(), QStringLiteral("1."));
        QTest::keyClicks(frm.EdCodigo, QStringLiteral("1.8.9"));
        QCOMPARE(frm.EdCodigo->text(), QStringLiteral("1.1.8.9"));
        QCOMPARE(frm.LValid->text(), QStringLiteral("Ok"));
        for (int i = 0; i < 3; ++i) QTest::keyClick(frm.EdCodigo, Qt::Key_Backspace);
        QTest::keyClicks(frm.EdCodigo, QStringLiteral("7."));  // 1.1.7 is no account: no dot
        QCOMPARE(frm.EdCodigo->text(), QStringLiteral("1.1.7"));
    }

    void duplicateCodeIsRefusedAndTheEditorStaysOpen() {
        TEdCliProvFrm frm(nullptr, ctx, kClassCustomer, QString(), QStringLiteral("1.1.8.2"));
        QCOMPARE(frm.LValid->text(), QStringLiteral("La Cuenta ya existe."));
        frm.EdCuenta->setText(QStringLiteral("Otro"));
        frm.BtnOk->click();
        QCOMPARE(dlg::last(), QStringLiteral("La Cuenta ya existe."));
        QVERIFY(frm.result() != int(QDialog::Accepted));
        QCOMPARE(load("1.1.8.2")->name, std::string("Supermercados El Trébol S.A."));
    }

    // From the accounts browser: "Proveedor" opens this editor on the proposed code, and the
    // browser's delete removes the account together with its auxctas row.
    void theAccountsBrowserAddsAndDeletesAProvider() {
        kesh::gui::RegisterBillingScreens();
        const auto countAux = [this] {
            return kesh::db::WithTransaction(ctx.companyPath, [](kesh::db::Transaction& tr) {
                return tr.queryInt("select count(*) from auxctas");
            });
        };
        const auto before = countAux();
        kesh::db::WithTransaction(ctx.companyPath, [&](kesh::db::Transaction& tr) {
            ctx.currentEj.id = int(tr.queryInt("select max(id) from ejerc"));
        });
        TBrCtasFrm browser(ctx, TBrCtasFrm::Mode::Browse);
        browser.SetClassFilter(kesh::AccountClassFilter::Providers);
        QString proposed;
        QTimer::singleShot(0, [&] {
            auto* ed = qobject_cast<TEdCliProvFrm*>(QApplication::activeModalWidget());
            QVERIFY(ed);
            proposed = ed->EdCodigo->text();
            ed->EdCuenta->setText(QStringLiteral("Imprenta Rivadavia"));
            ed->ChConcepto[11]->setChecked(true);
            ed->BtnOk->click();
        });
        browser.BtProveedorClick();
        QCOMPARE(proposed, QStringLiteral("2.1.8.5"));
        QCOMPARE(countAux(), before + 1);
        QVERIFY(browser.PositionOn(QStringLiteral("2.1.8.5")));
        QCOMPARE(load("2.1.8.5")->conceptAt(12).code, std::string("0002000100080005"));

        dlg::pushAnswer(true);
        browser.BtBorrarClick();
        QVERIFY(!load("2.1.8.5").has_value());
        QCOMPARE(countAux(), before);
    }

    void changingACustomerKeepsWhatWasNotTouched() {
        TEdCliProvFrm frm(nullptr, ctx, kClassCustomer, QStringLiteral("0001000100080002"));
        QCOMPARE(frm.windowTitle(), QStringLiteral("Modificar Cliente"));
        QVERIFY(frm.EdCodigo->isReadOnly());
        QCOMPARE(frm.EdCodigo->text(), QStringLiteral("1.1.8.2"));
        QCOMPARE(frm.EdCuenta->text(), QStringLiteral("Supermercados El Trébol S.A."));
        QCOMPARE(frm.EdPorIB->text(), QStringLiteral("3.00"));
        QCOMPARE(frm.BtTipoOper->text(), QStringLiteral("Venta mayorista"));
        QVERIFY(frm.LCuitOk->isVisibleTo(&frm));
        QVERIFY(frm.ChConcepto[7]->isChecked());  // gross-income perception
        QVERIFY(frm.BtCuenta[11]->text().startsWith(QStringLiteral("1.1.8.2")));

        frm.EdTel->setText(QStringLiteral("(02323) 43-9199"));
        frm.ChConcepto[2]->setChecked(true);
        frm.EdPorIB->setText(QStringLiteral("120"));  // not a rate: refused, nothing saved
        frm.BtnOk->click();
        QCOMPARE(dlg::last(),
                 QStringLiteral("La alícuota de Ingresos Brutos debe estar entre 0 y 99.99 %."));
        QCOMPARE(load("1.1.8.2")->tel, std::string("(02323) 43-9100"));
        frm.EdPorIB->setText(QStringLiteral("2.5"));
        frm.BtnOk->click();
        QCOMPARE(frm.result(), int(QDialog::Accepted));

        const auto p = load("1.1.8.2");
        QCOMPARE(p->tel, std::string("(02323) 43-9199"));
        QCOMPARE(p->ibRate, 250);
        QCOMPARE(FormatPartyConcepts(*p).activ, std::string("111000010001"));
        QCOMPARE(p->conceptAt(12).code, std::string("0001000100080002"));
        QCOMPARE(p->doc, std::string("30-70123456-8"));
        QCOMPARE(p->clase, kClassCustomer);
    }
};

QTEST_MAIN(TestBillingParties)
#include "test_billing_parties.moc"
