#pragma once
// Table models of the accounts browser: the accounts list, the ledger and the balances per
// year, with the texts, colours and pictures of their columns.

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <vector>

#include "accounts/browse.h"

namespace kesh::gui {

// Balances blue when positive (debit), red when negative (credit).
QColor SignColor(Amount a);

class AccountListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColCodigo, ColCuenta, ColToken, ColInicio, ColDebe, ColHaber, ColSaldo,
                  ColFinal, ColumnCount };
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<AccountListRow> rows);
    const std::vector<AccountListRow>& rows() const { return rows_; }
    void setTextColor(const QColor& c) { textColor_ = c; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // The picture of a row: group accounts one, imputable ones by class, a second variant
    // when adjusted for inflation.
    static QIcon IconFor(const AccountListRow& row);

private:
    std::vector<AccountListRow> rows_;
    QColor textColor_;
};

class LedgerModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColFecha, ColEj, ColNro, ColAsiento, ColDetalle, ColDebe, ColHaber, ColSaldo,
                  ColumnCount };
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<LedgerRow> rows);
    const std::vector<LedgerRow>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

private:
    std::vector<LedgerRow> rows_;
};

class YearBalanceModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColEjercicio, ColInicio, ColDebitos, ColCreditos, ColSaldo, ColFinal,
                  ColumnCount };
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<YearBalanceRow> rows);
    const std::vector<YearBalanceRow>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

private:
    std::vector<YearBalanceRow> rows_;
};

} // namespace kesh::gui
