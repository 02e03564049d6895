#pragma once
// "Generación de Asientos de Cierre" (Contabilidad > "Asientos de Cierre..."): generates or
// deletes the result-closing entry and the closing entry of the current fiscal year.
//
// Each of the two areas shows its generation form while the year lacks that entry and its
// deletion form once it exists. "Aceptar" stores the chosen accounts in kesh.ini (CodGP,
// CodResul), runs everything ticked in one transaction, and when something was done reopens
// the company (through the callback) and shows the summary.

#include <QDialog>
#include <functional>
#include <string>

#include "app/context.h"
#include "entries/closing.h"

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kesh::gui {

class TCierreFrm : public QDialog {
    Q_OBJECT
public:
    // ctx.currentEj is the year closed; ctx.settings receives CodGP and CodResul.
    TCierreFrm(AppContext& ctx, std::function<void()> reopenCompany, QWidget* parent = nullptr);

    // The account picker (the accounts browser in selection mode): the internal code of the
    // chosen account of kind imp (0 group, 1 imputable), "" when cancelled. Tests replace it.
    std::function<std::string(int imp)> pickAccount;

    // Result-closing area.
    QCheckBox* ChRefun = nullptr;        // generation form
    QDateEdit* EdFechaRefun = nullptr;
    QLineEdit* EdDescRefun = nullptr;
    QPushButton* LCodGP = nullptr;       // clickable account labels
    QPushButton* LCodResul = nullptr;
    QLabel* LRefunCreado = nullptr;      // deletion form
    QCheckBox* ChBorrarRefun = nullptr;
    // Closing area.
    QCheckBox* ChCierre = nullptr;
    QDateEdit* EdFechaCierre = nullptr;
    QLineEdit* EdDescCierre = nullptr;
    QLabel* LCierreCreado = nullptr;
    QCheckBox* ChBorrarCierre = nullptr;

    QPushButton* BtnOk = nullptr;
    QPushButton* BtnCancel = nullptr;

    const std::string& codGP() const { return codGP_; }
    const std::string& codResul() const { return codResul_; }

private:
    void ChRefunClick();
    void ChCierreClick();
    void LCodGPClick();
    void LCodResulClick();
    void BtnOkClick();
    void showAccounts();
    std::string defaultPicker(int imp);

    AppContext& ctx_;
    std::function<void()> reopenCompany_;
    std::string codGP_;
    std::string codResul_;
};

} // namespace kesh::gui
