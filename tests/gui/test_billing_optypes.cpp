// The "Tipos de Operación" screen: adding, changing and deleting by the keys of the screen,
// the side switch, and the chooser's answer.

#include <QtTest>

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>

#include "db/database.h"
#include "gui/vouchers/tipoperfrm.h"
#include "gui/widgets/dialogs.h"
#include "support/testsupport.h"
#include "vouchers/optypes.h"

namespace dlg = kesh::gui::DialogScript;

class TestBillingOpTypes : public QObject {
    Q_OBJECT
private:
    std::vector<kesh::vouchers::OperationType> list(const std::string& path, char tip) {
        return kesh::db::WithTransaction(path, [&](kesh::db::Transaction& tr) {
            return kesh::vouchers::ListOperationTypes(tr, tip);
        });
    }
    void typeAndEnter(TTipOperFrm& frm, const QString& text) {
        QVERIFY(frm.PnEdicion->isVisible());
        frm.EdDescrip->selectAll();
        frm.EdDescrip->insert(text);
        QTest::keyClick(frm.EdDescrip, Qt::Key_Return);
    }

private slots:
    void init() { dlg::begin(); }
    void cleanup() { dlg::end(); }

    void addChangeAndDeleteWithTheKeys() {
        const std::string path = kesh::test::CopyTemplate("kesh0.fdb", "gui_optypes_keys");
        TTipOperFrm frm(nullptr, path, 'C', false);
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        QVERIFY(!frm.BtModificar->isEnabled());
        QVERIFY(!frm.BtBorrar->isEnabled());

        QTest::keyClick(&frm, Qt::Key_F2);
        QCOMPARE(frm.LTitulo->text(), QStringLiteral("AGREGAR"));
        typeAndEnter(frm, QStringLiteral("Servicios públicos"));
        QVERIFY(!frm.PnEdicion->isVisible());
        QTest::keyClick(&frm, Qt::Key_F2);
        typeAndEnter(frm, QStringLiteral("Bienes de cambio"));
        QCOMPARE(frm.Grid->rowCount(), 2);
        QCOMPARE(frm.CurrentDescription(), QStringLiteral("Bienes de cambio"));  // the new row

        // While the panel is shown F2 does nothing; Esc closes it unsaved.
        QTest::keyClick(&frm, Qt::Key_F5);
        QCOMPARE(frm.LTitulo->text(), QStringLiteral("MODIFICAR"));
        QCOMPARE(frm.EdDescrip->text(), QStringLiteral("Bienes de cambio"));
        QTest::keyClick(frm.EdDescrip, Qt::Key_F2);
        QCOMPARE(frm.LTitulo->text(), QStringLiteral("MODIFICAR"));
        QTest::keyClick(frm.EdDescrip, Qt::Key_Escape);
        QVERIFY(!frm.PnEdicion->isVisible());
        QVERIFY(frm.isVisible());

        QTest::keyClick(&frm, Qt::Key_F5);
        typeAndEnter(frm, QStringLiteral("Mercaderías de reventa"));
        QCOMPARE(frm.CurrentDescription(), QStringLiteral("Mercaderías de reventa"));

        // An empty description is refused and the panel keeps what was typed.
        QTest::keyClick(&frm, Qt::Key_F2);
        typeAndEnter(frm, QStringLiteral("   "));
        QCOMPARE(dlg::last(), QStringLiteral("Debe ingresar la descripción del Tipo de Operación."));
        QVERIFY(frm.PnEdicion->isVisible());
        QTest::keyClick(frm.EdDescrip, Qt::Key_Escape);

        const auto stored = list(path, 'C');
        QCOMPARE(stored.size(), std::size_t(2));
        QCOMPARE(stored[0].descrip, std::string("Mercaderías de reventa"));

        // Delete: a type in use is refused, an unused one goes after "Si".
        kesh::db::WithTransaction(path, [&](kesh::db::Transaction& tr) {
            tr.execute("insert into auxasi (codprov, idtipop) values ('x', ?)", {stored[0].id});
        });
        frm.SelectId(stored[0].id);
        QTest::keyClick(&frm, Qt::Key_F6);
        QCOMPARE(dlg::last(),
                 QStringLiteral("No se puede borrar por existir comprobantes que que lo utilizan."));
        frm.SelectId(stored[1].id);
        dlg::pushAnswer(true);
        QTest::keyClick(&frm, Qt::Key_F6);
        QCOMPARE(dlg::last(), QStringLiteral("Realmente desea borrar el Tipo de Operación "
                                             "Servicios públicos?"));
        QCOMPARE(list(path, 'C').size(), std::size_t(1));
        QCOMPARE(frm.Grid->rowCount(), 1);
    }

    void sideSwitchShowsEachList() {
        const std::string path = kesh::test::CopyTemplate("kesh0.fdb", "gui_optypes_side");
        kesh::db::WithTransaction(path, [](kesh::db::Transaction& tr) {
            kesh::vouchers::AddOperationType(tr, 'C', "Compra local");
            kesh::vouchers::AddOperationType(tr, 'V', "Venta local");
            kesh::vouchers::AddOperationType(tr, 'V', "Exportación");
        });
        TTipOperFrm frm(nullptr, path, 'V', false);
        QCOMPARE(frm.Grid->rowCount(), 2);
        QCOMPARE(frm.Grid->item(0, 1)->text(), QStringLiteral("V"));
        frm.RbCompras->setChecked(true);
        QCOMPARE(frm.Grid->rowCount(), 1);
        QCOMPARE(frm.Grid->item(0, 2)->text(), QStringLiteral("Compra local"));
    }

    void chooserReturnsTheAcceptedTypeOrNoDefinido() {
        const std::string path = kesh::test::CopyTemplate("kesh0.fdb", "gui_optypes_choose");
        int id = 0;
        kesh::db::WithTransaction(path, [&](kesh::db::Transaction& tr) {
            kesh::vouchers::AddOperationType(tr, 'V', "Venta local", &id);
            kesh::vouchers::AddOperationType(tr, 'C', "Compra local");
        });
        QTimer::singleShot(0, [] {
            auto* frm = qobject_cast<TTipOperFrm*>(QApplication::activeModalWidget());
            QVERIFY(frm);
            QVERIFY(!frm->RbVentas->isVisibleTo(frm));  // no side switch when choosing
            QCOMPARE(frm->Grid->rowCount(), 1);
            frm->BtnOk->click();
        });
        auto chosen = TTipOperFrm::Choose(nullptr, path, 'V');
        QCOMPARE(chosen.first, id);
        QCOMPARE(chosen.second, QStringLiteral("Venta local"));

        QTimer::singleShot(0, [] {
            auto* frm = qobject_cast<TTipOperFrm*>(QApplication::activeModalWidget());
            QVERIFY(frm);
            frm->BtnCancel->click();
        });
        chosen = TTipOperFrm::Choose(nullptr, path, 'V');
        QCOMPARE(chosen.first, 0);
        QCOMPARE(chosen.second, QStringLiteral("No definido"));
    }
};

QTEST_MAIN(TestBillingOpTypes)
#include "test_billing_optypes.moc"
