#pragma once
// TBrAsiFrm: the entries browser ("ASIENTOS"), a child window of the main window. The entries
// of the current fiscal year (pselasientos / pselasimal) with, below, the lines of the entry
// under the cursor (pselpases); adding, changing, duplicating, deleting, marking, searching
// and renumbering entries.

#include <QAbstractTableModel>
#include <QWidget>
#include <climits>
#include <functional>
#include <memory>
#include <vector>

#include "app/context.h"
#include "entries/browse.h"
#include "entries/entries.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMdiArea;
class QRadioButton;
class QStandardItemModel;
class QTableView;
class QTimer;

namespace kesh::db {
class Connection;
}

namespace kesh::gui {

// The entry list: a plain vector behind the view, so a year of 100 000 entries needs no item
// object per cell. The rows come from a cursor: the first screen at once, the rest when the
// view scrolls to the end of what is there (canFetchMore / fetchMore), when a command needs a
// row further on, or a part at a time while the program is idle.
class TEntryListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Col { ColNum, ColFecha, ColDescrip, ColImporte, ColAp, ColClase, ColFactura, ColEj, ColCount };
    static constexpr int kFirstRows = 200;   // more than a maximised screen shows
    static constexpr int kMoreRows = 2000;

    TEntryListModel(const kesh::AppContext& ctx, QObject* parent) : QAbstractTableModel(parent), ctx_(ctx) {}
    ~TEntryListModel() override;
    // A new list: its first rows now, the rest from `cursor` later.
    void open(std::unique_ptr<kesh::entries::EntryListCursor> cursor);
    void setRows(std::vector<kesh::entries::EntryListRow> rows);
    const std::vector<kesh::entries::EntryListRow>& rows() const { return rows_; }
    bool complete() const { return !cursor_; }
    // Brings in rows until row `row` is there or the list ends.
    void fetchThrough(int row);
    // The first row at or after `from` for which `match` holds, fetching as far as needed;
    // -1 when none.
    int find(int from, const std::function<bool(const kesh::entries::EntryListRow&)>& match);
    void fetchAll() { fetchThrough(INT_MAX); }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(rows_.size()); }
    int columnCount(const QModelIndex& = {}) const override { return ColCount; }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // A failed fetch ends the list where it is; the message is passed here.
    std::function<void(const QString&)> onError;

signals:
    void rowsFetched();

private:
    void fetch(int max);

    const kesh::AppContext& ctx_;
    std::vector<kesh::entries::EntryListRow> rows_;
    std::unique_ptr<kesh::entries::EntryListCursor> cursor_;
};

class TBrAsiFrm : public QWidget {
    Q_OBJECT
public:
    using View = kesh::entries::View;

    TBrAsiFrm(kesh::AppContext& ctx, View view, QWidget* parent = nullptr);
    ~TBrAsiFrm() override;

    // Opens the browser as a child of `mdi` (closing the accounts browser), or brings the
    // open one forward with the view asked for.
    static TBrAsiFrm* Open(QMdiArea* mdi, kesh::AppContext& ctx, View view);
    static TBrAsiFrm* instance();

    // Hooks to the voucher screen (purchases and sales): new voucher of a side, change or
    // duplicate of a voucher entry. Unset, the commands say the screen is not available.
    std::function<void(int side)> newVoucher;             // 1 purchases, 2 sales
    std::function<void(int64_t id, bool duplicate)> openVoucher;
    // Prints the journal for one entry (reports subsystem).
    std::function<void(int64_t id)> printEntry;
    // Runs the renumbering of Reenumeraras before the first load (tests turn it off).
    void Start();

    // Reloads the list, keeping the cursor on entry `keepId` when it is still there.
    void Reload(int64_t keepId = 0);
    int64_t currentId() const;
    const kesh::entries::EntryListRow* currentRow() const;
    void SelectView(View v);

    // Commands.
    void BtGenericoClick();   // F2
    void BtCompraClick();     // F3
    void BtVentaClick();      // F4
    void BtTipoClick();       // Genér. c/As.Tipo
    void BtDuplicarClick();   // Ctrl+U
    void BtModificarClick();  // F5, Ctrl+E
    void BtBorrarClick();     // F6
    void BtReenumerarClick();
    void BtInformeClick();
    void SetMark(int mark);
    void Search(kesh::entries::SearchField field, const QString& pattern);  // F7, F8, F9
    void SearchNext();                                                      // F10

    QLabel* LTitulo = nullptr;
    QLabel* LCuenta = nullptr;
    QLabel* LAviso = nullptr;  // renumbering skipped and other non-blocking notes
    QComboBox* cbMes = nullptr;
    QLineEdit* EdImporte = nullptr;
    QCheckBox* ChImporte = nullptr;
    QTableView* GridAsi = nullptr;
    QTableView* GridPases = nullptr;
    TEntryListModel* model = nullptr;
    QStandardItemModel* pasesModel = nullptr;
    std::vector<QRadioButton*> viewButtons;  // Genéricos, Compras, Ventas, Todos, Desbalanceados

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void Build();
    void LoadLines();
    void UpdateCount();
    void GoToRow(int row);
    kesh::db::Connection& Conn();
    void ApplyFonts();
    void EditGeneric(int64_t id);
    bool RenumberWithWait(int first, bool recalc, bool onOpening, int* count);

    kesh::AppContext& ctx_;
    View view_;
    kesh::entries::SearchField lastField_ = kesh::entries::SearchField::Descrip;
    QString lastPattern_;
    bool keyHeld_ = false;
    // The browser's own connection, open while the browser is: lists and lines.
    std::unique_ptr<kesh::db::Connection> conn_;
    QTimer* fetchTimer_ = nullptr;  // brings in the rest of the list while idle
};

} // namespace kesh::gui
