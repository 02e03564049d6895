#pragma once
// TConceptosFrm: "Conceptos de Facturación Compras" / "... Ventas", the editor of a side's
// twelve billing concepts (name, rate, verification group, side, account) and its default
// calculation mode. Rows: 0 Total, 1 Neto no gravado, 2 Neto gravado, 3..11 concepts 2..10.
// The caller checks the operator's level first and reloads the company afterwards.

#include <QDialog>
#include <string>

#include "vouchers/concepts.h"

class QButtonGroup;
class QLabel;
class QPushButton;
class QTableWidget;

namespace kesh {
struct AppContext;
}

class TConceptosFrm : public QDialog {
    Q_OBJECT
public:
    TConceptosFrm(QWidget* parent, kesh::AppContext& ctx, kesh::vouchers::VoucherSide side);

    enum Column { ColConcepto, ColAlicuota, ColCalculo, ColCrDe, ColCuenta };
    // Concept number shown in a grid row.
    static int ConceptOfRow(int row);

    QTableWidget* Grid;
    QButtonGroup* RgModo;
    QPushButton* BtnOk;
    QPushButton* BtnCancel;

    // Reads the grid and the mode into a set (what "Aceptar" saves). Nothing when a rate
    // cell does not hold a valid rate; the message has been shown.
    std::optional<kesh::vouchers::ConceptSet> GridToSet();
    // The account cell of a row gets an account (internal code) and its name.
    void SetRowAccount(int row, const std::string& code, const std::string& name);

private:
    void FormShow();
    void GridCellClicked(int row, int column);
    void ChooseAccount(int row);
    void BtnOkClick();
    bool RowHasName(int row) const;

    kesh::AppContext& ctx_;
    std::string dsn_;
    kesh::vouchers::VoucherSide side_;
};

namespace kesh::gui {
// "Conceptos de Facturación..." of the purchases or sales menu (after its level check).
// True when the concepts were saved; the caller reloads the company either way.
bool ShowConceptos(QWidget* parent, kesh::AppContext& ctx, kesh::vouchers::VoucherSide side);
}  // namespace kesh::gui
