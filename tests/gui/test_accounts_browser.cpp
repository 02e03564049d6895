// The accounts browser, the general account editor, the range dialog, "PROCESOS UTILES" and
// the account picker, driven offscreen on real company files.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QTableView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "accounts/codes.h"
#include "accounts/lookups.h"
#include "accounts/standardchart.h"
#include "app/context.h"
#include "db/database.h"
#include "gui/accounts/accountmodels.h"
#include "gui/accounts/accountpicker.h"
#include "gui/accounts/brctasfrm.h"
#include "gui/accounts/edcta2frm.h"
#include "gui/accounts/openaccounts.h"
#include "gui/accounts/procesosfrm.h"
#include "gui/accounts/rangoctasfrm.h"
#include "gui/widgets/dialogs.h"
#include "support/testsupport.h"

using namespace kesh;
namespace DS = kesh::gui::DialogScript;

namespace {

// Runs `f` on the active modal widget as soon as one is up (inside its exec()).
void WhenModal(std::function<void(QWidget*)> f) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, f] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            f(w);
        }
    });
    timer->start();
}

// A company with the standard chart, one year (id 1, current) and two entries.
AppContext MakeContext(const std::string& name, bool withChart = true) {
    AppContext ctx;
    ctx.companyPath = test::CopyTemplate("kesh0.fdb", name);
    ctx.userLevel = 0;
    db::WithTransaction(ctx.companyPath, [&](db::Transaction& tr) {
        tr.execute("insert into ejerc (descrip, fech1, fech2, activ) "
                   "values ('Ejercicio 2026', '2026-01-01', '2026-12-31', '-')");
        ctx.currentEj.id = static_cast<int>(tr.queryInt("select max(id) from ejerc"));
        tr.execute("update empresa set nasiclase = 0");
        if (!withChart) return;
        InstallStandardChart(tr);
        const int64_t asi = tr.insertReturningId(
            "insert into asientos (idej, num, fecha, descrip) values (?, 1, '2026-03-01', "
            "'Aporte inicial') returning id",
            {ctx.currentEj.id});
        tr.execute("insert into pases (idasi, idej, nro, cod, dh, importe, fecha) "
                   "values (?, ?, 1, ?, 'D', 1500.25, '2026-03-01')",
                   {asi, ctx.currentEj.id, ToInternalCode("1.1.1.1")});
        tr.execute("insert into pases (idasi, idej, nro, cod, dh, importe, fecha) "
                   "values (?, ?, 2, ?, 'C', 1500.25, '2026-03-01')",
                   {asi, ctx.currentEj.id, ToInternalCode("3.1.1.1")});
    });
    ctx.settings.CalcBalance0 = true;
    ctx.settings.cbSecIdx = 0;
    return ctx;
}

int Count(const std::string& dsn, const char* sql, db::Params p = {}) {
    return static_cast<int>(
        db::WithTransaction(dsn, [&](db::Transaction& tr) { return tr.queryInt(sql, p); }));
}

} // namespace

class TestAccountsBrowser : public QObject {
    Q_OBJECT
private slots:
    void init() {
        DS::begin();
        TBrCtasFrm::setBalancesStale(false);
    }
    void cleanup() { DS::end(); }

    void listsTheChartWithBalancesAndFilters() {
        AppContext ctx = MakeContext("browse");
        TBrCtasFrm br(ctx, TBrCtasFrm::Mode::Browse);
        br.Reload();
        QCOMPARE(br.rowCount(), 38);
        QCOMPARE(br.LCount->text(), QString("38 cuentas"));
        QCOMPARE(br.LTitulo->text(), QString("TODAS LAS CUENTAS"));
        QVERIFY(br.PositionOn("1.1.1"));
        const auto* m = br.listModel();
        const int row = br.Grid->currentIndex().row();
        // A group shows its subtree's movements: 1500,25 debit, balance D.
        QCOMPARE(m->index(row, gui::AccountListModel::ColDebe).data().toString(),
                 QString("1.500,25"));
        QCOMPARE(m->index(row, gui::AccountListModel::ColSaldo).data().toString(),
                 QString("1.500,25 D"));
        QVERIFY(br.PositionOn("3.1.1.1"));
        QCOMPARE(m->index(br.Grid->currentIndex().row(), gui::AccountListModel::ColSaldo)
                     .data().toString(),
                 QString("1.500,25 C"));

        // Providers: the title, the section "2. . . " and only class-1 accounts.
        br.SetClassFilter(AccountClassFilter::Providers);
        br.Reload();
        QCOMPARE(br.LTitulo->text(), QString("CUENTAS DE PROVEEDORES"));
        QCOMPARE(br.cbSeccion->currentIndex(), 2);
        QCOMPARE(br.rowCount(), 1);
        QCOMPARE(QString::fromStdString(br.currentRow()->cuenta), QString("Proveedores Varios"));
        br.SetClassFilter(AccountClassFilter::Customers);
        br.Reload();
        QCOMPARE(br.cbSeccion->currentIndex(), 1);
        QCOMPARE(br.rowCount(), 1);

        br.SetClassFilter(AccountClassFilter::All);
        br.cbSeccion->setCurrentIndex(0);
        QVERIFY(br.FindByName("mercader"));
        QCOMPARE(QString::fromStdString(br.currentRow()->cod), QString("1.1.6.1"));
        QVERIFY(br.FindByCode("4.2"));
        QCOMPARE(QString::fromStdString(br.currentRow()->cod), QString("4.2"));
        QVERIFY(br.FindNext());
        QCOMPARE(QString::fromStdString(br.currentRow()->cod), QString("4.2.1"));
    }

    void opensOneBrowserAndClosesTheEntriesBrowser() {
        AppContext ctx = MakeContext("open");
        QMdiArea mdi;
        auto* entries = new QWidget;
        entries->setObjectName("TBrAsiFrm");
        mdi.addSubWindow(entries)->setAttribute(Qt::WA_DeleteOnClose);
        TBrCtasFrm* br = gui::OpenAccountsBrowser(&mdi, ctx);
        mdi.show();
        QApplication::processEvents();
        QCOMPARE(mdi.subWindowList().size(), 1);
        QVERIFY(ctx.accountsBrowserOpen);
        QCOMPARE(br->rowCount(), 38);
        QVERIFY(mdi.subWindowList().front()->isMaximized());
        // "&Proveedores...": the same browser, in the providers view.
        QCOMPARE(gui::OpenAccountsBrowser(&mdi, ctx, AccountClassFilter::Providers), br);
        QCOMPARE(mdi.subWindowList().size(), 1);
        QCOMPARE(br->LTitulo->text(), QString("CUENTAS DE PROVEEDORES"));
        // After a company or year change it comes back in its general view.
        gui::ReopenAccountsBrowser(&mdi, ctx);
        QApplication::processEvents();
        QCOMPARE(mdi.subWindowList().size(), 1);
        auto* again = qobject_cast<TBrCtasFrm*>(mdi.subWindowList().front()->widget());
        QVERIFY(again);
        QVERIFY(again != br);
        QVERIFY(again->isVisible());
        QCOMPARE(again->LTitulo->text(), QString("TODAS LAS CUENTAS"));
        QVERIFY(ctx.accountsBrowserOpen);
        mdi.closeAllSubWindows();
        QVERIFY(!ctx.accountsBrowserOpen);
    }

    void ledgerBalancesAndTheStaleRecalculation() {
        AppContext ctx = MakeContext("ledger");
        auto* br = new TBrCtasFrm(ctx, TBrCtasFrm::Mode::Browse);
        br->Reload("1.1.1.1");
        br->Tabs->setCurrentIndex(0);
        br->RefreshDetail();
        QCOMPARE(br->ledgerModel()->rowCount(), 1);
        QCOMPARE(br->LTotDebe->text(), QString("1.500,25"));
        QCOMPARE(br->LTotSaldo->text(), QString("1.500,25 D"));
        // FINAL is 0 until pGenBalance runs: the stored balances are stale.
        QVERIFY(TBrCtasFrm::balancesStale());

        br->Tabs->setCurrentIndex(1);  // another tab: refreshed at once
        QCOMPARE(br->balanceModel()->rowCount(), 1);  // no year ticked: the current one
        QCOMPARE(br->LTotSal2->text(), QString("1.500,25 D"));

        br->close();  // CalcBalance0: recalculated on closing
        QCOMPARE(DS::last(), QString("se actualizaron 2 registros del balance."));
        QVERIFY(!TBrCtasFrm::balancesStale());
        QCOMPARE(Count(ctx.companyPath, "select count(*) from balance"), 2);
    }

    void partyDataTabOnlyForParties() {
        AppContext ctx = MakeContext("party");
        TBrCtasFrm br(ctx, TBrCtasFrm::Mode::Browse);
        br.Reload("2.1.8.1");
        br.RefreshDetail();
        QVERIFY(br.Tabs->indexOf(br.PnlDatos) >= 0);
        br.Tabs->setCurrentWidget(br.PnlDatos);
        QVERIFY(br.LDatos->text().contains("NOMBRE: Proveedores Varios"));
        br.PositionOn("1.1.1.1");
        br.RefreshDetail();
        QCOMPARE(br.Tabs->indexOf(br.PnlDatos), -1);
    }

    void deleteRefusalsAndConfirmation() {
        AppContext ctx = MakeContext("delete");
        TBrCtasFrm br(ctx, TBrCtasFrm::Mode::Browse);
        br.Reload("1.1.6");
        br.BtBorrarClick();
        QCOMPARE(DS::shown().size(), size_t(1));  // refused before any question
        QCOMPARE(DS::last(), QString("No se puede borrar esta cuenta por tener 1 subcuenta(s)."));
        br.PositionOn("1.1.1.1");
        br.BtBorrarClick();
        QCOMPARE(DS::last(), QString("No se puede borrar esta cuenta por tener movimientos."));
        br.PositionOn("1.1.6.1");
        DS::pushAnswer(true);
        br.BtBorrarClick();
        QVERIFY(DS::shown().size() >= 3);
        QCOMPARE(DS::shown()[2], QString("Quiere borrar la cuenta [1.1.6.1 Mercaderías]?"));
        QCOMPARE(br.rowCount(), 37);
        ctx.userLevel = 2;
        br.BtBorrarClick();
        QCOMPARE(DS::last(), QString("Usuario no autorizado para esta operación."));
    }

    void anEmptyChartIsOfferedTheStandardChart() {
        AppContext ctx = MakeContext("emptychart", false);
        ctx.companyData.nasiclase = 1;
        DS::pushAnswer(true);
        TBrCtasFrm br(ctx, TBrCtasFrm::Mode::Browse);
        br.Reload();
        QCOMPARE(DS::shown().front(), QString::fromUtf8(kStandardChartQuestion));
        QCOMPARE(br.rowCount(), 38);
        br.BtPlanBasicoClick();
        QCOMPARE(DS::last(), QString::fromUtf8(kStandardChartOnlyAtStart));
    }

    void selectModeRefusesGroupAccounts() {
        AppContext ctx = MakeContext("select");
        TBrCtasFrm br(ctx, TBrCtasFrm::Mode::Select);
        br.SetRequireImputable(true);
        br.SetImputableOnly(true);
        br.Reload();
        QVERIFY(br.Grid->isColumnHidden(gui::AccountListModel::ColSaldo));
        QVERIFY(!br.Tabs->isVisibleTo(&br));
        QCOMPARE(br.rowCount(), 20);  // the imputable accounts of the standard chart
        br.ChImportes->setChecked(true);
        QVERIFY(!br.Grid->isColumnHidden(gui::AccountListModel::ColSaldo));
        // The user widens the list; a group account is still refused, by name.
        br.ChImputables->setChecked(false);
        QCOMPARE(br.rowCount(), 38);
        QSignalSpy accepted(&br, &TBrCtasFrm::accepted);
        QVERIFY(br.PositionOn("1.1"));
        br.BtOkClick();
        QCOMPARE(DS::last(), QString("La cuenta ACTIVO CORRIENTE no es imputable."));
        QCOMPARE(accepted.count(), 0);
        QVERIFY(br.PositionOn("1.1.1.2"));
        br.BtOkClick();
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(QString::fromStdString(br.selection()->cuenta), QString("Banco"));
    }

    void pickerReturnsTheInternalCodeOrNothing() {
        AppContext ctx = MakeContext("picker");
        WhenModal([](QWidget* w) {
            w->findChild<QLineEdit*>("EdBuscar")->setText("*banc");
            w->findChild<QPushButton*>()->click();  // "Buscar"
            WhenModal([](QWidget* list) {
                auto* br = list->findChild<TBrCtasFrm*>();
                QCOMPARE(br->rowCount(), 1);
                br->BtOkClick();
            });
        });
        QCOMPARE(gui::PickAccount(nullptr, ctx), QString("0001000100010002"));

        // Escape in "Buscar" cancels the whole selection.
        WhenModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
        QCOMPARE(gui::PickAccount(nullptr, ctx), QString());

        // A group account is refused by name, the list stays until a good choice or Cancel.
        WhenModal([](QWidget* w) {
            w->findChild<QPushButton*>()->click();
            WhenModal([](QWidget* list) {
                auto* br = list->findChild<TBrCtasFrm*>();
                br->ChImputables->setChecked(false);  // the user widens the list
                QVERIFY(br->PositionOn("1.1.1"));
                br->BtOkClick();
                QVERIFY(list->isVisible());
                br->BtCancelClick();
            });
        });
        QCOMPARE(gui::PickAccount(nullptr, ctx, "1.1.1.1"), QString());
        QCOMPARE(DS::last(), QString("La cuenta DISPONIBILIDADES no es imputable."));
    }

    void editorAddsUnderTheKeyboardRules() {
        AppContext ctx = MakeContext("editoradd");
        ctx.companyData.nivel = 4;
        TEdCta2Frm ed(ctx);
        ed.SetupAdd("", true);
        for (QChar c : QString("1.1"))
            QVERIFY(ed.TypeCodeKey(c));
        QVERIFY(!ed.TypeCodeKey('a'));
        QVERIFY(ed.TypeCodeKey('.'));
        QVERIFY(!ed.TypeCodeKey('.'));  // after a "."
        QVERIFY(ed.TypeCodeKey('1'));
        QCOMPARE(ed.LPath->text(), QString("ACTIVO -> ACTIVO CORRIENTE -> (DISPONIBILIDADES)"));
        QVERIFY(!ed.BtAceptar->isEnabled());  // 1.1.1 exists
        QVERIFY(ed.TypeCodeKey('.'));
        QVERIFY(ed.TypeCodeKey('9'));
        QVERIFY(!ed.TypeCodeKey('.'));  // the level rule is 4
        QVERIFY(ed.RbImputable->isChecked());
        QVERIFY(!ed.RbImputable->isEnabled());
        QVERIFY(ed.BtAceptar->isEnabled());
        QCOMPARE(ed.LValid->text(), QString("Ok"));
        ed.EdNombre->setText("Caja Chica");
        ed.EdToken->setText("cch");
        ed.BtAceptarClick();
        QVERIFY(ed.saved());
        QCOMPARE(ed.savedCode(), QString("1.1.1.9"));
        db::WithTransaction(ctx.companyPath, [](db::Transaction& tr) {
            const auto a = FindAccount(tr, "1.1.1.9");
            QVERIFY(a);
            QCOMPARE(QString::fromStdString(a->token), QString("CCH"));
        });

        // A refused code: its message in a box, nothing saved, the editor closes.
        TEdCta2Frm ed2(ctx);
        ctx.companyData.nivel = 0;
        ed2.SetupAdd("7.1", false);
        QCOMPARE(ed2.LValid->text(), QString("Cuenta madre 7 no existe."));
        ed2.EdNombre->setText("X");
        ed2.BtAceptarClick();
        QVERIFY(!ed2.saved());
        QCOMPARE(DS::last(), QString("Cuenta madre 7 no existe."));

        // A proposal past 9999 in its last level is not a code.
        TEdCta2Frm ed3(ctx);
        ed3.SetupAdd("1.1.10000", true);
        QCOMPARE(ed3.LValid->text(), QString::fromUtf8("El código de cuenta 1.1.10000 no es válido."));
    }

    void editorChangesNameCodeAndLevel() {
        AppContext ctx = MakeContext("editorchange");
        {
            TEdCta2Frm ed(ctx);
            QVERIFY(ed.SetupChange("1.1.1.1"));
            QVERIFY(!ed.BtAceptar->isEnabled());
            QVERIFY(!ed.LPregunta->isVisible());
            ed.EdNombre->setText("Caja Central");
            emit ed.EdNombre->textEdited("Caja Central");
            QVERIFY(ed.BtAceptar->isEnabled());
            ed.BtAceptarClick();
            QVERIFY(ed.saved());
        }
        {
            // A new code moves the account with its lines; an existing code is not accepted.
            TEdCta2Frm ed(ctx);
            QVERIFY(ed.SetupChange("1.1.1.1"));
            ed.LCodigoClick();
            ed.EdCodigo->setText("1.1.1.2");
            QVERIFY(!ed.BtAceptar->isEnabled());
            ed.EdCodigo->setText("1.1.1.5");
            QVERIFY(ed.BtAceptar->isEnabled());
            ed.BtAceptarClick();
            QCOMPARE(ed.savedCode(), QString("1.1.1.5"));
        }
        QCOMPARE(Count(ctx.companyPath, "select count(*) from pases where cod = ?",
                       {ToInternalCode("1.1.1.5")}),
                 1);
        db::WithTransaction(ctx.companyPath, [](db::Transaction& tr) {
            QCOMPARE(QString::fromStdString(AccountName(tr, "1.1.1.5")), QString("Caja Central"));
        });
        {
            // "Quitar Nivel" on 1.1.6 (BIENES DE CAMBIO): refused, 1.1.6.1 would meet 1.1.1
            // .. moving 1.1.x.y up collides; the message says which codes.
            TEdCta2Frm ed(ctx);
            QVERIFY(ed.SetupChange("1.1.6"));
            QVERIFY(!ed.BtQuitarNivel->isVisibleTo(&ed));
            ed.LAjusteDblClick();
            QVERIFY(ed.BtQuitarNivel->isVisibleTo(&ed));
            ed.BtQuitarNivelClick();
            QVERIFY(!ed.saved());
            QVERIFY(DS::last().startsWith("No se puede quitar el nivel: las cuentas "));
        }
    }

    void rangeDialogAsksAndApplies() {
        AppContext ctx = MakeContext("range");
        TRangoCtasFrm dlg(ctx);
        QVERIFY(!dlg.BtOk->isEnabled());
        dlg.SetStart("1.1.4");
        QVERIFY(!dlg.BtOk->isEnabled());
        dlg.BtCopiarClick();
        QVERIFY(dlg.BtOk->isEnabled());
        dlg.SetEnd("1.1.4.17");
        dlg.CbIndice->setCurrentIndex(2);
        DS::pushAnswer(true);
        dlg.BtOkClick();
        QCOMPARE(DS::last(), QString::fromUtf8(
                                 "Se marcarán como [Ajustable por indice 2] las cuentas del rango:\n"
                                 "   Inicio: 1.1.4 OTROS CREDITOS\n"
                                 "   Fin: 1.1.4.17 Ing.Brutos Percepciones\n"));
        QCOMPARE(Count(ctx.companyPath, "select count(*) from cuentas where ajus = 2"), 6);
        TRangoCtasFrm all(ctx);
        all.ChTodas->setChecked(true);
        QCOMPARE(all.EdInicio->text(), QString("1 ACTIVO"));
        QCOMPARE(all.EdFin->text(), QString("4.2.2.1 Gastos Varios"));
    }

    void usefulProcessesGenerateAbbreviationsAndRecalculate() {
        AppContext ctx = MakeContext("procesos");
        TProcesosFrm dlg(ctx, true);
        QVERIFY(dlg.RbNumerica->isChecked());
        QCOMPARE(dlg.EdNumIni->text(), QString("1"));
        dlg.ChGenIds->setChecked(true);
        dlg.RbLetra->setChecked(true);
        dlg.ChRecalc->setChecked(true);
        dlg.BtAceptarClick();
        QVERIFY(dlg.tokensGenerated());
        QCOMPARE(DS::shown().at(0), QString("se actualizaron 2 registros del balance."));
        QCOMPARE(DS::last(), QString("Proceso(s) terminado(s)"));
        db::WithTransaction(ctx.companyPath, [](db::Transaction& tr) {
            QCOMPARE(QString::fromStdString(FindAccount(tr, "1.1.1.1")->token), QString("G1"));
            QCOMPARE(QString::fromStdString(FindAccount(tr, "2.1.8.1")->token), QString("P1"));
            QCOMPARE(QString::fromStdString(FindAccount(tr, "1.1.8.1")->token), QString("C1"));
        });
        TProcesosFrm fromMenu(ctx, false);
        QVERIFY(!fromMenu.GbIds->isVisibleTo(&fromMenu));
    }
};

QTEST_MAIN(TestAccountsBrowser)
#include "test_accounts_browser.moc"
