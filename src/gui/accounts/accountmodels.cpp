#include "gui/accounts/accountmodels.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include "gui/app/guiutil.h"

namespace kesh::gui {

namespace {

QString DateText(Date d) {
    if (d.isZero()) return {};
    return QString::asprintf("%02d/%02d/%04d", d.day(), d.month(), d.year());
}

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kLightBackground(0xF0, 0xF4, 0xFF);

QIcon ClassIcon(const QColor& color, bool adjusted) {
    QPixmap pm(12, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(color.darker(150));
    p.setBrush(color);
    p.drawEllipse(1, 1, 10, 10);
    if (adjusted) {  // the inflation-adjusted variant: a white core
        p.setBrush(Qt::white);
        p.drawEllipse(4, 4, 4, 4);
    }
    return QIcon(pm);
}

} // namespace

QColor SignColor(Amount a) { return a.cents() < 0 ? kRed : kBlue; }

// ---- accounts list ------------------------------------------------------------------------

void AccountListModel::setRows(std::vector<AccountListRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int AccountListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}
int AccountListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QIcon AccountListModel::IconFor(const AccountListRow& row) {
    if (!row.imp) return QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    static const QColor byClass[] = {QColor(40, 90, 200), QColor(230, 140, 20),
                                     QColor(30, 150, 60), QColor(140, 60, 170)};
    const int k = row.clase >= 0 && row.clase <= 3 ? row.clase : 0;
    return ClassIcon(byClass[k], row.aju > 0);
}

QVariant AccountListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
    const AccountListRow& r = rows_[static_cast<size_t>(index.row())];
    const int col = index.column();
    auto amount = [&](int c) -> Amount {
        switch (c) {
        case ColInicio: return r.inicio;
        case ColDebe: return r.debe;
        case ColHaber: return r.haber;
        case ColSaldo: return r.saldo;
        default: return r.final;
        }
    };
    switch (role) {
    case Qt::DisplayRole:
        switch (col) {
        case ColCodigo: return Q(r.cod);
        case ColCuenta: return Q(r.cuenta2);
        case ColToken: return Q(r.token);
        case ColDebe:
        case ColHaber: return Q(FormatDebitCredit(amount(col)));
        case ColInicio:
        case ColSaldo:
        case ColFinal: return Q(FormatBalanceDC(amount(col)));
        }
        break;
    case Qt::DecorationRole:
        if (col == ColCuenta) return IconFor(r);
        break;
    case Qt::UserRole:  // indentation of the name: 8 pixels per level
        return (r.niv - 1) * 8;
    case Qt::ForegroundRole:
        if (col == ColDebe) return kBlue;
        if (col == ColHaber) return kRed;
        if (col == ColInicio || col == ColSaldo || col == ColFinal) return SignColor(amount(col));
        if (textColor_.isValid()) return textColor_;
        break;
    case Qt::BackgroundRole:
        if (col == ColInicio || col == ColFinal) return kLightBackground;
        break;
    case Qt::TextAlignmentRole:
        if (col >= ColInicio) return int(Qt::AlignRight | Qt::AlignVCenter);
        break;
    case Qt::ToolTipRole:
        if (col == ColCuenta) return Q(r.fullpath);
        break;
    }
    return {};
}

QVariant AccountListModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* titles[] = {"CODIGO", "      CUENTA", "ID", "INICIO",
                                   "DEBITO", "CREDITO",      "SALDO", "FINAL"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(titles[section]) : QVariant();
}

// ---- ledger -------------------------------------------------------------------------------

void LedgerModel::setRows(std::vector<LedgerRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int LedgerModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}
int LedgerModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LedgerModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
    const LedgerRow& r = rows_[static_cast<size_t>(index.row())];
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
        switch (col) {
        case ColFecha: return DateText(r.fech);
        case ColEj: return r.idej;
        case ColNro: return r.nro;
        case ColAsiento: return Q(r.descripasi);
        case ColDetalle: return Q(r.detall);
        case ColDebe: return Q(FormatDebitCredit(r.debe));
        case ColHaber: return Q(FormatDebitCredit(r.haber));
        case ColSaldo: return Q(FormatBalanceDC(r.saldo, true));
        }
        break;
    case Qt::ForegroundRole:
        if (col == ColSaldo) return SignColor(r.saldo);
        switch (r.kind) {
        case LedgerEntryKind::Opening: return kRed;
        case LedgerEntryKind::ResultClosing: return kBlue;
        case LedgerEntryKind::Closing: return kGreen;
        case LedgerEntryKind::Ordinary: break;
        }
        break;
    case Qt::TextAlignmentRole:
        if (col >= ColDebe || col == ColEj || col == ColNro)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        break;
    }
    return {};
}

QVariant LedgerModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* titles[] = {"FECHA", "EJ.", "NRO", "ASIENTO", "DETALLE",
                                   "DEBITO", "CREDITO", "SALDO"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(titles[section]) : QVariant();
}

// ---- balances per year --------------------------------------------------------------------

void YearBalanceModel::setRows(std::vector<YearBalanceRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int YearBalanceModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}
int YearBalanceModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant YearBalanceModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
    const YearBalanceRow& r = rows_[static_cast<size_t>(index.row())];
    const int col = index.column();
    auto amount = [&]() -> Amount {
        switch (col) {
        case ColInicio: return r.sal0;
        case ColDebitos: return r.deb1;
        case ColCreditos: return r.hab1;
        case ColSaldo: return r.sal1;
        default: return r.sal2;
        }
    };
    switch (role) {
    case Qt::DisplayRole:
        if (col == ColEjercicio) return Q(r.fulldescrip);
        if (col == ColDebitos || col == ColCreditos) return Q(FormatDebitCredit(amount()));
        return Q(FormatBalanceDC(amount()));
    case Qt::ForegroundRole:
        if (col == ColDebitos) return kBlue;
        if (col == ColCreditos) return kRed;
        if (col != ColEjercicio) return SignColor(amount());
        break;
    case Qt::TextAlignmentRole:
        if (col != ColEjercicio) return int(Qt::AlignRight | Qt::AlignVCenter);
        break;
    }
    return {};
}

QVariant YearBalanceModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* titles[] = {"EJERCICIO", "INICIO", "DEBITOS", "CREDITOS", "SALDO",
                                   "FINAL"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(titles[section]) : QVariant();
}

} // namespace kesh::gui
