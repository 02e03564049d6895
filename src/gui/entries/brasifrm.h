#pragma once
// TBrAsiFrm: the entries browser ("ASIENTOS"), a child window of the main window. The entries
// of the current fiscal year (pselasientos / pselasimal) with, below, the lines of the entry
// under the cursor (pselpases); adding, changing, duplicating, deleting, marking, searching
// and renumbering entries.

#include <QAbstractTableModel>
#include <QWidget>
#include <functional>
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

namespace kesh::gui {

// The entry list: a plain vector behind the view, so a year of 100 000 entries loads in one
// fetch without an item object per cell.
class TEntryListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Col { ColNum, ColFecha, ColDescrip, ColImporte, ColAp, ColClase, ColFactura, ColEj, ColCount };
    TEntryListModel(const kesh::AppContext& ctx, QObject* parent) : QAbstractTableModel(parent), ctx_(ctx) {}
    void setRows(std::vector<kesh::entries::EntryListRow> rows);
    const std::vector<kesh::entries::EntryListRow>& rows() const { return rows_; }
    int rowCount(const QModelIndex& = {}) const override { return int(rows_.size()); }
    int columnCount(const QModelIndex& = {}) const override { return ColCount; }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

private:
    const kesh::AppContext& ctx_;
    std::vector<kesh::entries::EntryListRow> rows_;
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
    void ApplyFonts();
    void EditGeneric(int64_t id);
    bool RenumberWithWait(int first, bool recalc, bool onOpening, int* count);

    kesh::AppContext& ctx_;
    View view_;
    kesh::entries::SearchField lastField_ = kesh::entries::SearchField::Descrip;
    QString lastPattern_;
    bool keyHeld_ = false;
};

} // namespace kesh::gui
