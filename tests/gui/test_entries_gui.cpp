// The entry screens driven as a user would: grid editor keys and saves, the browser's
// commands, the template editor from a standard entry, renumbering and bulk deletion.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

#include "../core/test_entries_support.h"
#include "gui/accounts/accountshooks.h"
#include "gui/entries/asitipofrm.h"
#include "gui/entries/brasifrm.h"
#include "gui/entries/edasifrm.h"
#include "gui/entries/edasitipfrm.h"
#include "gui/entries/entryutil.h"
#include "gui/entries/reenumfrm.h"
#include "gui/widgets/dialogs.h"
#include "screenshot.h"

using namespace kesh;
using namespace kesh::gui;
using kesh::test::EntriesCompany;

namespace {

void TypeInto(TEdAsiFrm& ed, int row, int col, const QString& text) {
    ed.Grid->setCurrentCell(row, col);
    ed.Grid->setFocus();
    // The first key opens the cell editor; the rest go to it, as they do for a typist.
    QTest::keyClick(ed.Grid, text.at(0).toLatin1());
    for (QLineEdit* editor : ed.Grid->viewport()->findChildren<QLineEdit*>())
        if (editor->isVisible()) QTest::keyClicks(editor, text.mid(1));
    ed.Grid->finishEditing();
}

int64_t Count(const EntriesCompany& co, const char* sql) {
    return db::WithTransaction(co.dsn, [&](db::Transaction& tr) { return tr.queryInt(sql); });
}

} // namespace

class TestEntriesGui : public QObject {
    Q_OBJECT
private slots:
    void init() { DialogScript::begin(); }
    void cleanup() { DialogScript::end(); }

    void abbreviationAndCodeLookups() {
        EntriesCompany co("gui_codigos");
        AppContext ctx = co.Context();
        TEdAsiFrm ed(ctx, TEdAsiFrm::Mode::Add);
        ed.show();
        // c1 + Enter: the abbreviation C1 of Caja.
        TypeInto(ed, 0, TEdAsiFrm::ColCodigo, QStringLiteral("c1"));
        QTest::keyClick(ed.Grid, Qt::Key_Return);
        QCOMPARE(ed.Grid->item(0, TEdAsiFrm::ColCodigo)->text(), QStringLiteral("1.1.1.1"));
        QCOMPARE(ed.Grid->item(0, TEdAsiFrm::ColCuenta)->text(), QStringLiteral("Caja"));
        QCOMPARE(ed.Grid->currentColumn(), int(TEdAsiFrm::ColComentario));
        // A dotted code with plain Enter does nothing; with Ctrl+Enter it finds the account.
        ed.HandleEnter(0, TEdAsiFrm::ColComentario, false);
        ed.Grid->setRowCount(2);
        TypeInto(ed, 1, TEdAsiFrm::ColCodigo, QStringLiteral("1.1.1.2"));
        ed.Grid->setCurrentCell(1, TEdAsiFrm::ColCodigo);
        QTest::keyClick(ed.Grid, Qt::Key_Return);
        QVERIFY(!ed.Grid->item(1, TEdAsiFrm::ColCuenta) || ed.Grid->item(1, TEdAsiFrm::ColCuenta)->text().isEmpty());
        QTest::keyClick(ed.Grid, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(ed.Grid->item(1, TEdAsiFrm::ColCuenta)->text(), QStringLiteral("Banco Nación"));
    }

    void amountsFollowTheGridRules() {
        EntriesCompany co("gui_importes");
        AppContext ctx = co.Context();
        TEdAsiFrm ed(ctx, TEdAsiFrm::Mode::Add);
        ed.show();
        ed.Grid->setItem(0, TEdAsiFrm::ColCredito, new QTableWidgetItem(QStringLiteral("10.00")));
        // The debit cell of a row with a credit opens no editor: typing changes nothing.
        TypeInto(ed, 0, TEdAsiFrm::ColDebito, QStringLiteral("5"));
        QVERIFY(!ed.Grid->item(0, TEdAsiFrm::ColDebito) || ed.Grid->item(0, TEdAsiFrm::ColDebito)->text().isEmpty());
        ed.Grid->setItem(0, TEdAsiFrm::ColCredito, new QTableWidgetItem());
        TypeInto(ed, 0, TEdAsiFrm::ColDebito, QStringLiteral("1.234,5"));
        ed.Recalc();
        QCOMPARE(ed.Grid->item(0, TEdAsiFrm::ColDebito)->text(), QStringLiteral("1234.50"));
        // Delete on the only line leaves the grid as it is.
        ed.Grid->setCurrentCell(0, TEdAsiFrm::ColCodigo);
        QTest::keyClick(ed.Grid, Qt::Key_Delete);
        QCOMPARE(ed.Grid->rowCount(), 1);
    }

    void addingEntriesOneAfterAnother() {
        EntriesCompany co("gui_agregar");
        AppContext ctx = co.Context();
        TEdAsiFrm ed(ctx, TEdAsiFrm::Mode::Add);
        int64_t saved = 0;
        ed.onSaved = [&](int64_t id) { saved = id; };
        ed.show();
        ed.EdFecha->setDate(QDate(2026, 3, 10));
        ed.EdDescrip->setText(QStringLiteral("Cobro en efectivo"));
        TypeInto(ed, 0, TEdAsiFrm::ColCodigo, QStringLiteral("C1"));
        QTest::keyClick(ed.Grid, Qt::Key_Return);               // -> COMENTARIO
        QTest::keyClick(ed.Grid, Qt::Key_Return);               // -> DEBITO
        TypeInto(ed, 0, TEdAsiFrm::ColDebito, QStringLiteral("250"));
        QTest::keyClick(ed.Grid, Qt::Key_Return);               // filled: next row
        QCOMPARE(ed.Grid->rowCount(), 2);
        QCOMPARE(ed.Grid->currentRow(), 1);
        TypeInto(ed, 1, TEdAsiFrm::ColCodigo, QStringLiteral("v"));
        QTest::keyClick(ed.Grid, Qt::Key_Return);
        TypeInto(ed, 1, TEdAsiFrm::ColCredito, QStringLiteral("249"));
        // Unbalanced: refused before any statement, the form keeps its rows.
        ed.BtnOkClick();
        QCOMPARE(DialogScript::last(), QStringLiteral("Los importes no cierran, el asiento no se guardará."));
        QCOMPARE(ed.Grid->rowCount(), 2);
        QCOMPARE(saved, int64_t(0));
        TypeInto(ed, 1, TEdAsiFrm::ColCredito, QStringLiteral("250"));
        ed.BtnOkClick();
        QVERIFY(saved != 0);
        // The add form stays open, cleared for the next entry.
        QVERIFY(ed.isVisible());
        QCOMPARE(ed.Grid->rowCount(), 1);
        QVERIFY(ed.EdDescrip->text().isEmpty());
        QCOMPARE(Count(co, "select count(*) from pases"), int64_t(2));
        // A date outside the year is refused with the year's bounds.
        ed.EdFecha->setDate(QDate(2027, 1, 2));
        ed.BtnOkClick();
        QCOMPARE(DialogScript::last(),
                 QStringLiteral("La fecha del asiento debe corresponder al ejercicio (01/01/2026 - 31/12/2026)"));
    }

    void browserCommands() {
        EntriesCompany co("gui_navegador");
        co.Add(co.ej, Date::fromYmd(2026, 12, 5), "diciembre");
        int64_t jan = co.Add(co.ej, Date::fromYmd(2026, 1, 5), "enero").id;
        AppContext ctx = co.Context();
        ctx.settings.cbMesIdx = 0;
        QMdiArea mdi;
        TBrAsiFrm* b = TBrAsiFrm::Open(&mdi, ctx, TBrAsiFrm::View::Genericos);
        QVERIFY(b);
        QCOMPARE(TBrAsiFrm::Open(&mdi, ctx, TBrAsiFrm::View::Genericos), b);  // already open
        // Opening renumbered the year by date: enero is number 1.
        QCOMPARE(b->model->rows().front().id, jan);
        QCOMPARE(b->LCuenta->text(), QStringLiteral("2 asientos"));
        QCOMPARE(b->LTitulo->text(), QStringLiteral("ASIENTOS GENERICOS"));
        QCOMPARE(b->pasesModel->rowCount(), 2);
        mdi.resize(1100, 650);
        b->parentWidget()->showMaximized();
        mdi.show();
        kesh::test::Screenshot(&mdi, QStringLiteral("asientos"));
        b->cbMes->setCurrentIndex(12);  // "Diciem"
        QCOMPARE(b->model->rowCount(), 1);
        b->cbMes->setCurrentIndex(0);

        b->SetMark(2);
        QCOMPARE(b->currentRow()->marc, 2);
        b->Search(entries::SearchField::Descrip, QStringLiteral("dic*"));
        QCOMPARE(QString::fromStdString(b->currentRow()->descrip), QStringLiteral("diciembre"));

        // Deleting asks first; "No" keeps the entry.
        DialogScript::pushAnswer(false);
        b->BtBorrarClick();
        QCOMPARE(DialogScript::last(), QStringLiteral("Quiere borrar el asiento [2] diciembre"));
        QCOMPARE(b->model->rowCount(), 2);
        DialogScript::pushAnswer(true);
        b->BtBorrarClick();
        QCOMPARE(b->model->rowCount(), 1);

        // An operator of level 3 may not change entries.
        ctx.userLevel = 3;
        b->BtModificarClick();
        QCOMPARE(DialogScript::last(), QStringLiteral("Usuario no autorizado para esta operación."));
        ctx.userLevel = 0;
        // F2 opens one journal form; a second F2 does nothing.
        b->BtGenericoClick();
        TEdAsiFrm* first = TEdAsiFrm::openJournalForm();
        QVERIFY(first);
        b->BtGenericoClick();
        QCOMPARE(TEdAsiFrm::openJournalForm(), first);
        first->close();
        QTest::qWait(1);
        ctx.settings.cbMesIdx = 7;
        b->parentWidget()->close();
        QCOMPARE(ctx.settings.cbMesIdx, 0);
    }

    void aLongYearShowsItsFirstScreenAndBringsInTheRest() {
        EntriesCompany co("gui_lista_larga");
        // 450 entries, more than the first screen's rows, dated in saving order.
        db::WithTransaction(co.dsn, [&](db::Transaction& tr) {
            tr.execute("execute block (ej integer = ?) as "
                       "declare i integer = 1; declare a integer; "
                       "begin while (i <= 450) do begin "
                       "  insert into asientos (idej, num, fecha, descrip) "
                       "    values (:ej, :i, dateadd(:i / 2 day to date '2026-01-01'), 'asiento ' || :i) "
                       "    returning id into :a; "
                       "  insert into pases (idasi, idej, cod, dh, importe) values (:a, :ej, '0001000100010001', 'D', :i); "
                       "  insert into pases (idasi, idej, cod, dh, importe) values (:a, :ej, '0004000100010001', 'C', :i); "
                       "  i = i + 1; end end",
                       {co.ej.id});
        });
        AppContext ctx = co.Context();
        ctx.settings.cbMesIdx = 0;
        QMdiArea mdi;
        TBrAsiFrm* b = TBrAsiFrm::Open(&mdi, ctx, TBrAsiFrm::View::Todos);
        QCOMPARE(b->model->rowCount(), int(TEntryListModel::kFirstRows));
        QVERIFY(!b->model->complete());
        QCOMPARE(b->currentRow()->num, 1);
        QCOMPARE(b->pasesModel->rowCount(), 2);
        // The last entry is the year's last, not the last row brought in so far.
        b->GridAsi->setFocus();
        QTest::keyClick(b->GridAsi, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(b->model->rowCount(), 450);
        QCOMPARE(b->currentRow()->num, 450);
        QCOMPARE(b->pasesModel->item(0, 3)->text(), QStringLiteral("450.00"));
        QCOMPARE(b->LCuenta->text(), QStringLiteral("450 asientos"));

        // A search and a reload reach entries past the first screen.
        b->Search(entries::SearchField::Numero, QStringLiteral("3?7"));
        QCOMPARE(b->currentRow()->num, 307);
        const int64_t id = b->currentId();
        b->Reload(id);
        QCOMPARE(b->currentId(), id);
        b->SetMark(1);
        QCOMPARE(b->currentId(), id);
        QCOMPARE(b->currentRow()->marc, 1);
        // Left alone, the browser brings in the rest by itself.
        b->Reload();
        QCOMPARE(b->model->rowCount(), int(TEntryListModel::kFirstRows));
        QTRY_VERIFY(b->model->complete());
        QCOMPARE(b->model->rowCount(), 450);
        QCOMPARE(b->LCuenta->text(), QStringLiteral("450 asientos"));
        b->parentWidget()->close();
    }

    void openingFindsALineChangedByAnotherProgram() {
        EntriesCompany co("gui_huella");
        co.Add(co.ej, Date::fromYmd(2026, 3, 1), "bien");
        const int64_t changed = co.Add(co.ej, Date::fromYmd(2026, 3, 2), "cambiado").id;
        AppContext ctx = co.Context();
        ctx.settings.cbMesIdx = 0;
        QMdiArea mdi;
        TBrAsiFrm::Open(&mdi, ctx, TBrAsiFrm::View::Todos)->parentWidget()->close();
        QTest::qWait(1);
        // Another program changes a line; the entry no longer balances.
        db::WithTransaction(co.dsn, [&](db::Transaction& tr) {
            tr.execute("update pases set importe = 70 where idasi = ? and dh = 'C'", {changed});
        });
        QCOMPARE(co.Int("select count(*) from pselasimal(?, 1)", {co.ej.id}), 1);  // stale fingerprint
        TBrAsiFrm* b = TBrAsiFrm::Open(&mdi, ctx, TBrAsiFrm::View::Todos);
        // Opening renumbered with recalculation: the fingerprint follows the lines again...
        QCOMPARE(co.Int("select npas from asientos where id = ?", {changed}), 2);
        QCOMPARE(co.Int("select checksum from asientos where id = ?", {changed}),
                 co.Int("select sum(id) from pases where idasi = ?", {changed}));
        QCOMPARE(co.Int("select cast(importe * 100 as integer) from asientos where id = ?", {changed}), 10000);
        // ...and the view of unbalanced entries reports it.
        b->SelectView(TBrAsiFrm::View::Desbalanceados);
        QCOMPARE(b->model->rowCount(), 1);
        QCOMPARE(b->currentId(), changed);
        QCOMPARE(QString::fromStdString(b->currentRow()->clase), QStringLiteral("Desbalanc."));
        b->parentWidget()->close();
    }

    void templateEditorMakesAndChangesEntries() {
        EntriesCompany co("gui_plantilla");
        AppContext ctx = co.Context();
        int64_t tip = entries::SaveStandardEntry(co.dsn, 0, "Pago de luz",
                                                 {{test::kGastos, 'D', "Consumo"},
                                                  {test::kBanco, 'C', "Débito"},
                                                  {test::kCaja, 'C', "Efectivo"}});
        TEdAsiTipFrm ed(ctx, 0, tip);
        QVERIFY(ed.rows[0].tick->isChecked());
        QCOMPARE(ed.rows[1].side->text(), QStringLiteral("C"));
        QCOMPARE(ed.rows[0].tick->text(), QStringLiteral("Consumo"));
        QVERIFY(!ed.rows[3].tick->isChecked());
        QCOMPARE(ed.rows[3].tick->text(), QString::fromUtf8(entries::kEmptyConcept));
        ed.EdFecha->setDate(QDate(2026, 8, 1));
        ed.rows[0].amount->setText(QStringLiteral("100.00"));
        ed.rows[1].amount->setText(QStringLiteral("100.00"));
        ed.Recalc();
        QCOMPARE(ed.LDebitos->text(), QStringLiteral("Total Débitos: 100.00"));
        QCOMPARE(ed.LSaldo->text(), QString());
        ed.BtnAceptarClick();
        QVERIFY(ed.savedId() != 0);
        QCOMPARE(Count(co, "select count(*) from pases"), int64_t(2));  // slot 3 had no amount
        QCOMPARE(Count(co, "select count(*) from pselasimal(1, 1)"), int64_t(0));

        // Change mode: untick slot 2, move its amount to slot 3.
        TEdAsiTipFrm ch(ctx, ed.savedId(), tip);
        QVERIFY(ch.rows[1].tick->isChecked());
        ch.rows[1].tick->setChecked(false);
        ch.rows[2].tick->setChecked(true);
        ch.rows[2].code = test::kCaja;
        ch.rows[2].side->setText(QStringLiteral("C"));
        ch.rows[2].amount->setText(QStringLiteral("100.00"));
        ch.BtnAceptarClick();
        QCOMPARE(Count(co, "select count(*) from pases where cod = '0001000100010002'"), int64_t(0));
        QCOMPARE(Count(co, "select count(*) from pases"), int64_t(2));
    }

    void standardEntryEditorSavesOnlyRowsWithAccounts() {
        EntriesCompany co("gui_tipo");
        AppContext ctx = co.Context();
        TEdAsiTipoFrm ed(ctx, 0);
        ed.EdNombre->setText(QStringLiteral("Cobranza"));
        ed.SetRow(0, test::kBanco, 'D', QStringLiteral("Depósito"));
        ed.SetRow(1, {}, 'D', QStringLiteral("sin cuenta"));
        ed.SetRow(2, test::kVentas, 'C', QStringLiteral("Cliente"));
        ed.CellActivated(2, TEdAsiTipoFrm::ColDh);  // switches C -> D
        ed.BtAceptarClick();
        auto lines = entries::LoadStandardLines(co.dsn, ed.savedId());
        QCOMPARE(lines.size(), size_t(2));
        QCOMPARE(lines[1].dh, 'D');
        TAsiTipoFrm list(ctx, TAsiTipoFrm::Mode::Manage);
        QCOMPARE(list.Grid->rowCount(), 1);
        DialogScript::pushAnswer(true);
        list.BtBorrarClick();
        QCOMPARE(DialogScript::shown().front(), QStringLiteral("Desea eliminar el asiento tipo?"));
        QCOMPARE(list.Grid->rowCount(), 0);
    }

    void ledgerViewChangesOnlyGenericEntries() {
        EntriesCompany co("gui_mayor");
        int64_t voucher = co.Add(co.ej, Date::fromYmd(2026, 4, 1), "factura").id;
        int64_t closing = co.Add(co.ej, Date::fromYmd(2026, 12, 31), "cierre").id;
        db::WithTransaction(co.dsn, [&](db::Transaction& tr) {
            tr.execute("update asientos set clase = 1 where id = ?", {voucher});
            tr.execute("update ejerc set idcierre = ? where id = ?", {closing, co.ej.id});
        });
        AppContext ctx = co.Context();
        auto& hook = BrowserHooks().editEntry;
        QVERIFY(hook);
        QVERIFY(!hook(nullptr, ctx, voucher));
        QCOMPARE(DialogScript::last(), QStringLiteral("Desde aquí solo es posible modificar asientos genéricos."));
        QVERIFY(!hook(nullptr, ctx, closing));
        QCOMPARE(DialogScript::last(), QStringLiteral("Los asientos de refundición y de cierre no se pueden modificar"));
    }

    void bulkDeletionDialog() {
        EntriesCompany co("gui_borrado");
        co.Add(co.ej, Date::fromYmd(2026, 5, 1), "uno");
        co.Add(co.ej, Date::fromYmd(2026, 5, 2), "dos");
        AppContext ctx = co.Context();
        {
            ctx.userLevel = 2;
            TBorrarAsiFrm dlg(ctx);
            dlg.BtAceptarClick();
            QCOMPARE(DialogScript::shown().at(0), QStringLiteral("Usuario no autorizado para esta operación."));
            QCOMPARE(DialogScript::last(), QStringLiteral("La Operación no se pudo finalizar con éxito"));
        }
        ctx.userLevel = 1;
        TBorrarAsiFrm dlg(ctx);
        dlg.EdDesde->setDate(QDate(2026, 5, 2));
        dlg.EdHasta->setDate(QDate(2026, 5, 2));
        DialogScript::pushAnswer(true);
        dlg.BtAceptarClick();
        QCOMPARE(DialogScript::last(), QStringLiteral("Operación realizada con éxito"));
        QCOMPARE(Count(co, "select count(*) from asientos"), int64_t(1));
        QCOMPARE(Count(co, "select count(*) from pases"), int64_t(2));
    }
};

QTEST_MAIN(TestEntriesGui)
#include "test_entries_gui.moc"
