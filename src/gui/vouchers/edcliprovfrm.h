#pragma once
// TEdCliProvFrm: the customer/provider editor ("Agregar Proveedor", "Modificar Cliente" ...)
// opened by the accounts browser. Tab "Datos de la Cuenta": the account (code, kind, name,
// abbreviation, adjustment index) and its auxctas record (VAT category, CUIT, address, gross
// income, calculation mode, default operation type). Tab "Conceptos de Facturación": per
// billing concept a tick, a side and the party's own account.

#include <QDialog>
#include <QString>
#include <array>
#include <string>

#include "accounts/parties.h"
#include "vouchers/concepts.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace kesh {
struct AppContext;
}

class TEdCliProvFrm : public QDialog {
    Q_OBJECT
public:
    // clase 1 provider or 2 customer. An empty code adds a new party with proposedCode (display
    // form) in the code field; otherwise the account `code` is changed.
    TEdCliProvFrm(QWidget* parent, kesh::AppContext& ctx, int clase, const QString& code,
                  const QString& proposedCode = {});

    bool adding() const { return adding_; }
    // The party as the fields hold it (what "Aceptar" saves); nothing after a refusal shown.
    std::optional<kesh::accounts::Party> FieldsToParty();
    // The caption of a concept row: its name, " (rate)" when rated, "*" in the group.
    QString ConceptCaption(int number) const;

    QTabWidget* Tabs;
    QLineEdit* EdCodigo;
    QLabel* LPath;
    QLabel* LValid;
    QRadioButton* RbGrupo;
    QRadioButton* RbImputable;
    QLineEdit* EdCuenta;
    QLineEdit* EdToken;
    QComboBox* CbAjuste;
    QComboBox* CbRespIva;
    QLineEdit* EdLoc;
    QLineEdit* EdProvincia;
    QLineEdit* EdCuit;
    QLabel* LCuitOk;  // the check picture, shown while the CUIT passes its check digit
    QLineEdit* EdDom;
    QLineEdit* EdTel;
    QLineEdit* EdCp;
    QLineEdit* EdIb;
    QLineEdit* EdGan;
    QLineEdit* EdContacto;
    QLineEdit* EdEmail;
    QPushButton* LWeb;  // "Página Web": a click shows the class selector
    QLineEdit* EdWeb;
    QComboBox* CbClase;
    QLineEdit* EdPorIB;
    QComboBox* CbCalc;
    QPushButton* BtTipoOper;
    std::array<QCheckBox*, 12> ChConcepto{};
    std::array<QPushButton*, 12> BtDeHa{};
    std::array<QPushButton*, 12> BtCuenta{};
    QPushButton* BtnOk;
    QPushButton* BtnClose;

    void EdCodigoChange();
    void BtTipoOperClick();
    void ConceptAccountClick(int number);
    void BtnOkClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TextField {
        const char* label;
        QLineEdit* TEdCliProvFrm::*widget;
        std::string kesh::accounts::Party::*member;
        int width;
    };
    static const TextField kTextFields[];

    void BuildDatos(QWidget* page);
    void BuildConceptos(QWidget* page);
    void LoadParty();
    void ShowConceptRow(int number);
    void SetConceptAccount(int number, const std::string& code);
    void CuitChange();

    kesh::AppContext& ctx_;
    int clase_;
    bool adding_;
    int idtipoper_ = 0;
    kesh::accounts::Party party_;
    kesh::vouchers::ConceptSet company_;
};

namespace kesh::gui {
// The editor as the accounts browser opens it; true when something was saved.
bool EditParty(QWidget* parent, kesh::AppContext& ctx, int clase, const QString& code,
               const QString& proposedCode);
}  // namespace kesh::gui
