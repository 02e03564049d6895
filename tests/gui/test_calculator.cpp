// The calculator of the amount cells: its keys and buttons, where it opens, and its result
// reaching the cell of the grid editor through "+" and the "..." button.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "../core/test_entries_support.h"
#include "gui/entries/edasifrm.h"
#include "gui/widgets/calculator.h"
#include "gui/widgets/dialogs.h"
#include "screenshot.h"

using namespace kesh;
using namespace kesh::gui;
using kesh::test::EntriesCompany;

namespace {

// Types `keys` into the calculator when it is up (it is modal), then Enter, or Esc when
// `cancel`; remembers what it showed first.
struct CalcUser {
    QString keys;
    bool cancel = false;
    bool opened = false;
    QString firstDisplay;
    void arm() {
        QTimer::singleShot(0, [this] {
            auto* c = qobject_cast<TKzCalculator*>(QApplication::activeModalWidget());
            if (!c) return;
            opened = true;
            firstDisplay = c->displayText();
            QTest::keyClicks(c, keys);
            kesh::test::Screenshot(c, QStringLiteral("calculadora"));
            QTest::keyClick(c, cancel ? Qt::Key_Escape : Qt::Key_Return);
        });
    }
};

QString CellText(TEdAsiFrm& ed, int row, int col) {
    QTableWidgetItem* it = ed.Grid->item(row, col);
    return it ? it->text() : QString();
}

} // namespace

class TestCalculator : public QObject {
    Q_OBJECT
private slots:
    void init() { DialogScript::begin(); }
    void cleanup() { DialogScript::end(); }

    void keysAndButtons() {
        TKzCalculator calc(Amount::fromCents(1050));
        QCOMPARE(calc.displayText(), QStringLiteral("10.5"));
        QTest::keyClicks(&calc, QStringLiteral("2*3,5"));
        QCOMPARE(calc.displayText(), QStringLiteral("3.5"));
        QTest::keyClick(&calc, Qt::Key_Backspace);
        QCOMPARE(calc.displayText(), QStringLiteral("3."));
        QTest::keyClicks(&calc, QStringLiteral("25x2/"));  // x multiplies too
        QCOMPARE(calc.displayText(), QStringLiteral("13"));
        QTest::mouseClick(calc.findChild<QPushButton*>(QStringLiteral("BtCalc_4")), Qt::LeftButton);
        QTest::mouseClick(calc.findChild<QPushButton*>(QStringLiteral("BtCalc_=")), Qt::LeftButton);
        QCOMPARE(calc.displayText(), QStringLiteral("3.25"));
        QTest::keyClick(&calc, Qt::Key_Delete);  // C
        QCOMPARE(calc.displayText(), QStringLiteral("0"));
        QTest::keyClicks(&calc, QStringLiteral("1/3"));
        QTest::keyClick(&calc, Qt::Key_Enter);
        QCOMPARE(calc.result(), int(QDialog::Accepted));
        QCOMPARE(calc.value(), Amount::fromCents(33));

        TKzCalculator cancelled(Amount::fromUnits(5));
        QTest::keyClicks(&cancelled, QStringLiteral("+1"));
        QTest::keyClick(&cancelled, Qt::Key_Escape);
        QCOMPARE(cancelled.result(), int(QDialog::Rejected));

        // A negative result is no amount: said, and the calculator stays open.
        TKzCalculator negative(Amount{});
        negative.show();
        QTest::keyClicks(&negative, QStringLiteral("5-8"));
        QTest::keyClick(&negative, Qt::Key_Return);
        QCOMPARE(DialogScript::last(), QStringLiteral("El importe no puede ser negativo."));
        QVERIFY(negative.isVisible());
        // Division by zero shows Error; Enter does nothing until C.
        QTest::keyClicks(&negative, QStringLiteral("C7/0="));
        QCOMPARE(negative.displayText(), QStringLiteral("Error"));
        QTest::keyClick(&negative, Qt::Key_Return);
        QVERIFY(negative.isVisible());
        negative.reject();
    }

    void opensBelowTheCellInsideTheScreen() {
        const QRect screen(0, 0, 1024, 768);
        const QSize size(200, 240);
        struct Case {
            QRect cell;
            QPoint at;
        } cases[] = {
            {QRect(100, 100, 115, 20), QPoint(100, 120)},   // just below the cell
            {QRect(100, 600, 115, 20), QPoint(100, 508)},   // bottom kept 20 px above the edge
            {QRect(900, 100, 115, 20), QPoint(824, 120)},   // kept inside on the right
            {QRect(-50, 700, 115, 20), QPoint(0, 508)},
        };
        for (const Case& c : cases) {
            const QPoint p = CalculatorPosition(c.cell, size, screen);
            QCOMPARE(p, c.at);
            QVERIFY(p.y() + size.height() <= screen.bottom() + 1 - 20);
        }
    }

    void plusInAnAmountCellOpensItAndTheResultGoesToTheCell() {
        EntriesCompany co("calc_mas");
        AppContext ctx = co.Context();
        TEdAsiFrm ed(ctx, TEdAsiFrm::Mode::Add);
        ed.show();
        // "+" on an empty debit cell: the calculator starts at 0.
        ed.Grid->setCurrentCell(0, TEdAsiFrm::ColDebito);
        ed.Grid->setFocus();
        CalcUser user{QStringLiteral("100+23,5")};
        user.arm();
        QTest::keyClick(ed.Grid, '+');
        QVERIFY(user.opened);
        QCOMPARE(user.firstDisplay, QStringLiteral("0"));
        QCOMPARE(CellText(ed, 0, TEdAsiFrm::ColDebito), QStringLiteral("123.50"));
        QCOMPARE(ed.Grid->currentColumn(), int(TEdAsiFrm::ColDebito));

        // "+" while typing in the cell: what was typed is the first number, "+" is pending.
        ed.Grid->setCurrentCell(0, TEdAsiFrm::ColDebito);
        QTest::keyClick(ed.Grid, '7');
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : ed.Grid->viewport()->findChildren<QLineEdit*>())
            if (e->isVisible()) editor = e;
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("0"));
        CalcUser more{QStringLiteral("5")};
        more.arm();
        QTest::keyClick(editor, '+');
        QVERIFY(more.opened);
        QCOMPARE(more.firstDisplay, QStringLiteral("70"));
        QCOMPARE(CellText(ed, 0, TEdAsiFrm::ColDebito), QStringLiteral("75.00"));

        // Cancelled, the cell keeps its amount.
        CalcUser cancel{QStringLiteral("9"), true};
        cancel.arm();
        QTest::keyClick(ed.Grid, '+');
        QVERIFY(cancel.opened);
        QCOMPARE(CellText(ed, 0, TEdAsiFrm::ColDebito), QStringLiteral("75.00"));

        // A row with a debit: "+" in its credit cell opens nothing.
        ed.Grid->setCurrentCell(0, TEdAsiFrm::ColCredito);
        CalcUser none{QStringLiteral("1")};
        none.arm();
        QTest::keyClick(ed.Grid, '+');
        QTest::qWait(1);
        QVERIFY(!none.opened);
        QCOMPARE(CellText(ed, 0, TEdAsiFrm::ColCredito), QString());
    }

    void theDotsButtonOpensThePickerOrTheCalculator() {
        EntriesCompany co("calc_puntos");
        const int64_t id = co.Add(co.ej, Date::fromYmd(2026, 2, 1), "a", Amount::fromUnits(40)).id;
        AppContext ctx = co.Context();
        for (TEdAsiFrm::Mode mode : {TEdAsiFrm::Mode::Change, TEdAsiFrm::Mode::Ledger}) {
            TEdAsiFrm ed(ctx, mode, id);
            ed.show();
            QVERIFY(QTest::qWaitForWindowExposed(&ed));
            // Row 0 is the debit of 40.00, row 1 the credit.
            ed.Grid->setCurrentCell(0, TEdAsiFrm::ColCodigo);
            QVERIFY(ed.BtnDots->isVisible());
            const QRect cell = ed.Grid->visualRect(ed.Grid->model()->index(0, TEdAsiFrm::ColCodigo));
            QCOMPARE(ed.BtnDots->geometry().right(), cell.right());
            // In CODIGO it opens the account picker (cancelled here: nothing changes).
            QString pickerTitle;
            QTimer::singleShot(0, [&] {
                if (QWidget* w = QApplication::activeModalWidget()) {
                    pickerTitle = w->windowTitle();
                    QTest::keyClick(w, Qt::Key_Escape);
                }
            });
            QTest::mouseClick(ed.BtnDots, Qt::LeftButton);
            QCOMPARE(pickerTitle, QStringLiteral("Buscar Cuenta"));
            QCOMPARE(CellText(ed, 0, TEdAsiFrm::ColCodigo), QStringLiteral("1.1.1.1"));
            ed.Grid->setCurrentCell(0, TEdAsiFrm::ColComentario);
            QVERIFY(!ed.BtnDots->isVisible());
            ed.Grid->setCurrentCell(0, TEdAsiFrm::ColCredito);  // the other amount is filled
            QVERIFY(!ed.BtnDots->isVisible());
            ed.Grid->setCurrentCell(0, TEdAsiFrm::ColDebito);
            QVERIFY(ed.BtnDots->isVisible());

            CalcUser user{QStringLiteral("*2")};
            user.arm();
            QTest::mouseClick(ed.BtnDots, Qt::LeftButton);
            QVERIFY(user.opened);
            QCOMPARE(user.firstDisplay, QStringLiteral("40"));
            QCOMPARE(CellText(ed, 0, TEdAsiFrm::ColDebito), QStringLiteral("80.00"));
            QCOMPARE(ed.LDebe->text(), QStringLiteral("80.00"));

            // The ledger form takes no "+" in an amount; the journal form's is tested above.
            if (mode == TEdAsiFrm::Mode::Ledger) {
                CalcUser none{QStringLiteral("1")};
                none.arm();
                QTest::keyClick(ed.Grid, '+');
                QTest::qWait(1);
                QVERIFY(!none.opened);
                QCOMPARE(CellText(ed, 0, TEdAsiFrm::ColDebito), QStringLiteral("80.00"));
            }
        }
    }
};

QTEST_MAIN(TestCalculator)
#include "test_calculator.moc"
