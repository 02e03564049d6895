#pragma once
// TEdAsiFrm: the grid entry editor. The journal form (from the entries browser) adds generic
// entries one after another or changes a generic or opening entry, saving by path A; the
// ledger form (from the accounts browser's ledger view) changes an entry modally by path C.
// Lines are typed as account code or abbreviation, comment, debit, credit.

#include <QDialog>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <functional>

#include "app/context.h"
#include "entries/entries.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace kesh::gui {

// The grid: Enter and the arrow keys follow the editor's rules instead of Qt's defaults.
class TEntryGrid : public QTableWidget {
    Q_OBJECT
public:
    using QTableWidget::QTableWidget;
    std::function<bool(QKeyEvent*)> keyHook;  // true when the key was handled
    // Puts the text of an open cell editor into its cell.
    void finishEditing();

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

// Cell editors: which characters a column accepts, one amount per row, and Enter reported
// with its Ctrl state once the text is in the cell.
class TEntryCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    TEntryCellDelegate(bool ledgerForm, QObject* parent) : QStyledItemDelegate(parent), ledger_(ledgerForm) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    std::function<void(int row, int col, bool ctrl)> onEnter;
    // "+" typed into an amount of the journal form, once the text is in the cell.
    std::function<void(int row, int col)> onPlus;

protected:
    bool eventFilter(QObject* editor, QEvent* event) override;

private:
    bool ledger_;
};

class TEdAsiFrm : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Change, Ledger };
    enum Col { ColNro, ColCodigo, ColCuenta, ColComentario, ColDebito, ColCredito };

    // Change and Ledger load entry `id`. Duplicate: an Add form filled from entry `id`.
    TEdAsiFrm(kesh::AppContext& ctx, Mode mode, int64_t id = 0, QWidget* parent = nullptr);
    ~TEdAsiFrm() override;

    // Only one journal form is open at a time.
    static TEdAsiFrm* openJournalForm();
    // Fills an Add form with the date, description and lines of another entry.
    void LoadCopyOf(int64_t id);

    // Called after every successful save with the entry's id (the browser reloads).
    std::function<void(int64_t)> onSaved;

    // Commands (buttons, popup menu and keys).
    void BtnOkClick();  // F12
    void InsertLine();
    void DeleteLine();
    void MoveLine(int delta);
    void SwapAmounts();
    void PickAccountForRow();
    // The calculator for an amount cell, its result into the cell; `pendingOp` '+' when it was
    // opened by typing "+". Nothing when the row's other amount is filled.
    void OpenCalculator(int row, int col, char pendingOp = 0);
    // The "..." button of the current cell: the picker in CODIGO, the calculator in an amount.
    void DotsClick();
    // Re-reads every amount with the editor's rule, rewrites it and shows the totals.
    void Recalc();
    // The Enter rules of each column, as the grid and the cell editors report them.
    void HandleEnter(int row, int col, bool ctrl);

    QDateEdit* EdFecha = nullptr;
    QLineEdit* EdDescrip = nullptr;
    QLabel* LNumero = nullptr;
    TEntryGrid* Grid = nullptr;
    QLabel* LDebe = nullptr;
    QLabel* LHaber = nullptr;
    QLabel* LDif = nullptr;
    QCheckBox* ChApertura = nullptr;
    QPushButton* BtnOk = nullptr;
    QPushButton* BtnCancel = nullptr;
    QToolButton* BtnDots = nullptr;  // "...", at the right edge of the current cell when it applies

    // The entry as it would be saved now.
    kesh::entries::GridEntry CurrentEntry() const;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void Build();
    void LoadEntry(int64_t id, bool asCopy);
    void ClearForNext();
    void AddRow();
    void SetAmountCell(int row, int col, kesh::Amount a);
    void SetAccount(int row, const std::string& displayCode, const std::string& name);
    void GoTo(int row, int col);
    void PlaceDots();
    void NextRow(int row);
    bool GridKey(QKeyEvent* e);
    QString Cell(int row, int col) const;

    kesh::AppContext& ctx_;
    kesh::FiscalYear year_;  // the entry's year: the current one, or in the ledger form its own
    Mode mode_;
    int64_t id_ = 0;
    bool wasOpening_ = false;
};

} // namespace kesh::gui
