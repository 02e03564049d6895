// The chart's screens reached from the main window: Contabilidad > "&Cuentas...", Compras >
// "&Proveedores...", Ventas > "&Clientes...", and the hooks the window calls after opening a
// company and on closing.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

#include "accounts/codes.h"
#include "accounts/standardchart.h"
#include "app/context.h"
#include "db/database.h"
#include "gui/accounts/accountshooks.h"
#include "gui/accounts/brctasfrm.h"
#include "gui/app/menufrm.h"
#include "gui/widgets/dialogs.h"
#include "support/testsupport.h"

using namespace kesh;
namespace DS = kesh::gui::DialogScript;

namespace {

TBrCtasFrm* OpenBrowser(TMenuFrm& w) {
    const auto subs = w.mdiArea()->subWindowList();
    if (subs.size() != 1) return nullptr;
    return qobject_cast<TBrCtasFrm*>(subs.front()->widget());
}

} // namespace

class TestAccountsMenu : public QObject {
    Q_OBJECT
private slots:
    void init() { DS::begin(); }
    void cleanup() { DS::end(); }

    void menuEntriesOpenTheBrowserInTheirView() {
        TMenuFrm w;
        AppContext& ctx = w.context();
        ctx.companyPath = test::CopyTemplate("kesh0.fdb", "menu");
        ctx.settings.cbSecIdx = 0;
        ctx.companyData.nasiclase = 1;
        // A new company: the window's offer installs the standard chart on "Si".
        DS::pushAnswer(true);
        QVERIFY(w.offerStandardChart);
        w.offerStandardChart();
        QCOMPARE(DS::last(), QString::fromUtf8(kStandardChartQuestion));

        w.actCuentas->trigger();
        TBrCtasFrm* br = OpenBrowser(w);
        QVERIFY(br);
        QCOMPARE(br->rowCount(), 38);
        QCOMPARE(br->LTitulo->text(), QString("TODAS LAS CUENTAS"));
        w.actProveedores->trigger();
        QCOMPARE(OpenBrowser(w), br);
        QCOMPARE(br->LTitulo->text(), QString("CUENTAS DE PROVEEDORES"));
        w.actClientes->trigger();
        QCOMPARE(br->LTitulo->text(), QString("CUENTAS DE CLIENTES"));
        QCOMPARE(br->rowCount(), 1);
        // The browser's Proveedor and Cliente commands reach the customer/provider editor.
        QVERIFY(gui::BrowserHooks().partyEditor);

        // A company or year change brings it back in its general view.
        QVERIFY(w.reopenAccountsBrowser);
        w.reopenAccountsBrowser();
        QApplication::processEvents();
        TBrCtasFrm* again = OpenBrowser(w);
        QVERIFY(again);
        QCOMPARE(again->LTitulo->text(), QString("TODAS LAS CUENTAS"));
        w.mdiArea()->closeAllSubWindows();
    }

    void closingRecalculatesWhenAsked() {
        TMenuFrm w;
        AppContext& ctx = w.context();
        ctx.companyPath = test::CopyTemplate("kesh0.fdb", "menurecalc");
        db::WithTransaction(ctx.companyPath, [](db::Transaction& tr) {
            InstallStandardChart(tr);
            tr.execute("insert into ejerc (id, descrip, fech1, fech2) values (1, 'E', "
                       "'2026-01-01', '2026-12-31')");
            tr.execute("insert into pases (idasi, idej, cod, dh, importe) values (1, 1, ?, 'D', 5)",
                       {ToInternalCode("1.1.1.1")});
        });
        QVERIFY(w.recalcBalances);
        w.recalcBalances();
        QCOMPARE(DS::last(), QString("se actualizaron 1 registros del balance."));
    }
};

QTEST_MAIN(TestAccountsMenu)
#include "test_accounts_menu.moc"
