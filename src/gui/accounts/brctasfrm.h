#pragma once
// TBrCtasFrm: the accounts browser "CUENTAS". In browse mode an MDI child with the chart and,
// for the account under the cursor, its ledger, its balances per year and its customer or
// provider data, and the commands that change the chart. In select mode the account picker:
// no detail, amounts hidden unless "Ver Importes" is ticked, "Ok" returns the account.
//
// The browser reads through its own connection (one read-committed read-only transaction per
// load, so every reload sees what was committed); each change runs a core operation on a
// per-operation connection and then reloads the list on the same account.

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "accounts/browse.h"
#include "db/database.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;
class QTimer;

namespace kesh {
struct AppContext;
}

namespace kesh::gui {
class AccountListModel;
class LedgerModel;
class YearBalanceModel;
}

class TBrCtasFrm : public QWidget {
    Q_OBJECT
public:
    enum class Mode { Browse, Select };

    TBrCtasFrm(kesh::AppContext& ctx, Mode mode, QWidget* parent = nullptr);
    ~TBrCtasFrm() override;

    Mode mode() const { return mode_; }

    // Filters (browse mode starts with all accounts, the section of cbSecIdx).
    void SetClassFilter(kesh::AccountClassFilter filter);  // also moves the section
    kesh::AccountClassFilter classFilter() const { return classFilter_; }
    void SetImputableOnly(bool on);
    // Select mode: "Ok" refuses a group account ("La cuenta X no es imputable."), whatever
    // the list's own imputable-only switch shows.
    void SetRequireImputable(bool on) { requireImputable_ = on; }
    void SetSearchText(const QString& text);

    // Reloads the list and moves to `code` (display or internal form) when given, else to the
    // account that was current.
    void Reload(const QString& code = {});
    // Moves the cursor to an account (either form); false when it is not in the list.
    bool PositionOn(const QString& code);
    const kesh::AccountListRow* currentRow() const;
    int rowCount() const;

    // Refreshes the detail tab of the current account now (the timer does it 1-2 s after
    // the cursor stops).
    void RefreshDetail();

    // Select mode: the chosen account once "Ok" accepted it.
    const std::optional<kesh::AccountListRow>& selection() const { return selection_; }

    // Stored balances seen to differ from the lines since the last recalculation; the
    // recalculation (CalcBalance0) runs when a browser closes.
    static bool balancesStale();
    static void setBalancesStale(bool stale);

    // ---- commands (slots of the buttons, menus and keys) -------------------------------
    void BtCGenericaClick();   // F2
    void BtProveedorClick();   // F3
    void BtClienteClick();     // F4
    void BtModificarClick();   // F5
    void BtBorrarClick();      // F6
    void BtRangoClick();       // Ctrl+R
    void BtPorCodigoClick();   // F7
    void BtPorNombreClick();   // F8
    void BtSiguienteClick();   // F10
    void MayorModificarClick(); // Ctrl+M
    void MayorBorrarClick();   // Ctrl+B
    void BtInformeMayorClick();
    void BtProcesosClick();
    void BtPlanBasicoClick();
    void BtOkClick();
    void BtCancelClick();
    // Search helpers behind F7, F8 and F10: first account whose code starts with / whose
    // name contains the text (case-insensitive), then the next one.
    bool FindByCode(const QString& text);
    bool FindByName(const QString& text);
    bool FindNext();

    // ---- widgets tests read --------------------------------------------------------------
    QLabel* LTitulo = nullptr;
    QLabel* LCount = nullptr;
    QLabel* LPath = nullptr;
    QComboBox* cbSeccion = nullptr;
    QCheckBox* ChImputables = nullptr;
    QCheckBox* ChImportes = nullptr;
    QTableView* Grid = nullptr;
    QTabWidget* Tabs = nullptr;
    QTableView* GridMayor = nullptr;
    QLabel* LTotDebe = nullptr;
    QLabel* LTotHaber = nullptr;
    QLabel* LTotSaldo = nullptr;
    QTableView* GridSaldos = nullptr;
    QLabel* LTotSal0 = nullptr;
    QLabel* LTotSal1 = nullptr;
    QLabel* LTotSal2 = nullptr;
    QWidget* PnlDatos = nullptr;
    QLabel* LDatos = nullptr;   // the party data, one "label: value" per line
    QPushButton* BtOk = nullptr;
    QPushButton* BtCancel = nullptr;

    kesh::gui::AccountListModel* listModel() const { return listModel_; }
    kesh::gui::LedgerModel* ledgerModel() const { return ledgerModel_; }
    kesh::gui::YearBalanceModel* balanceModel() const { return balanceModel_; }

signals:
    void accepted();
    void rejected();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildUi();
    void buildCommands(QWidget* side);
    void applyFont();
    void applyAmountColumns();
    void currentChanged();
    void timerTick();
    void loadLedger(const kesh::AccountListRow& row, int selector);
    void loadBalances(const kesh::AccountListRow& row, int selector);
    void loadPartyData(const kesh::AccountListRow& row);
    void sectionChanged(int index);
    void classFilterChosen(kesh::AccountClassFilter filter);
    void afterChange(const QString& code);
    void newParty(int clase);
    bool checkLevel(bool allowed);
    kesh::db::Transaction readTransaction();
    int yearSelector();

    kesh::AppContext& ctx_;
    Mode mode_;
    kesh::AccountClassFilter classFilter_ = kesh::AccountClassFilter::All;
    bool imputableOnly_ = false;
    bool requireImputable_ = false;
    QString search_;
    QString lastFind_;
    bool lastFindByCode_ = true;
    bool standardChartOffered_ = false;
    std::optional<kesh::AccountListRow> selection_;
    std::optional<kesh::db::Connection> conn_;
    kesh::gui::AccountListModel* listModel_ = nullptr;
    kesh::gui::LedgerModel* ledgerModel_ = nullptr;
    kesh::gui::YearBalanceModel* balanceModel_ = nullptr;
    QTimer* detailTimer_ = nullptr;
    qint64 lastMove_ = 0;
    bool detailDue_ = false;
};
