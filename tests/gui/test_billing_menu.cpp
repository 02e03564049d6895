// The billing commands of the main window, offscreen: Compras / Ventas "Conceptos de
// Facturación..." and "Tipos de operación...", with the operator's level check, and the
// customer/provider editor reached from the accounts browser the main window hooks up.
#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <functional>

#include "app/context.h"
#include "app/settings.h"
#include "gui/accounts/accountshooks.h"
#include "gui/app/menufrm.h"
#include "gui/vouchers/conceptosfrm.h"
#include "gui/vouchers/tipoperfrm.h"
#include "gui/widgets/dialogs.h"
#include "frametest.h"
#include "support/testsupport.h"
#include "vouchers/concepts.h"

using namespace kesh;
namespace fs = std::filesystem;
namespace DS = kesh::gui::DialogScript;

using kesh::test::WhenModal;

class TestBillingMenu : public QObject {
    Q_OBJECT
private slots:
    void init() { DS::begin(); }
    void cleanup() { DS::end(); }

    void billingCommandsOfBothMenus() {
        const fs::path app = test::FreshInstall("billing-menu-home");
        fs::create_directories(app / "Datos");
        const std::string company = (app / "Datos" / "billing.vrn").string();
        fs::copy_file(test::AppDir() / "demo0.fdb", company);
        Settings s;
        s.Base0 = company;
        SaveSettings(KeshIniPath(app.string()), s);

        auto* w = new TMenuFrm;
        QVERIFY(w->Startup());
        w->show();
        QCOMPARE(w->context().companyPath, company);
        QVERIFY(gui::BrowserHooks().partyEditor);  // the browser's Proveedor/Cliente editor

        // Compras > "Conceptos de Facturación...": the purchases set, saved.
        QString caption;
        WhenModal<TConceptosFrm>([&](TConceptosFrm* f) {
            caption = f->windowTitle();
            f->Grid->item(8, TConceptosFrm::ColAlicuota)->setText(QStringLiteral("  2.5"));
            f->BtnOk->click();
        });
        w->actComConceptos->trigger();
        QCOMPARE(caption, QStringLiteral("Conceptos de Facturación Compras"));
        QCOMPARE(vouchers::ConceptRate(
                     vouchers::ReadConceptLists(company, vouchers::VoucherSide::Purchases).rates, 8),
                 250);

        // Ventas > "Tipos de Operación...": opens on the sales list.
        bool onSales = false;
        int rows = 0;
        WhenModal<TTipOperFrm>([&](TTipOperFrm* f) {
            onSales = f->RbVentas->isChecked();
            rows = f->Grid->rowCount();
            f->BtnOk->click();
        });
        w->actVenTipos->trigger();
        QVERIFY(onSales);
        QCOMPARE(rows, 2);

        // An operator of level 2 may not change the concepts nor the operation types.
        w->context().userLevel = 2;
        bool opened = false;
        WhenModal<TConceptosFrm>([&](TConceptosFrm*) { opened = true; });
        w->actVenConceptos->trigger();
        QCOMPARE(DS::last(), QStringLiteral("Usuario no autorizado para esta operación."));
        DS::clearShown();
        w->actComTipos->trigger();
        QCOMPARE(DS::last(), QStringLiteral("Usuario no autorizado para esta operación."));
        QTest::qWait(50);
        QVERIFY(!opened);
        w->close();
        delete w;
    }
};

QTEST_MAIN(TestBillingMenu)
#include "test_billing_menu.moc"
