#pragma once
// TEdCta2Frm: the general account editor (accounts of class 0; parties too when their own
// editor is not available, for name, abbreviation and adjustment index only).
//
// Add ("Agregar Cuenta"): the code is typed under the keyboard rules of the chart (only
// digits and "."; a "." only after an existing account and within the level rule), with its
// path and the validation shown live; the kind follows the level rule or the level.
// Change ("Modificar Cuenta"): name, abbreviation, adjustment index (for the whole subtree);
// clicking "Código :" makes the code editable (a changed code is saved alone, its lines and
// subaccounts follow); double-clicking the path enables the kind choice; double-clicking
// "Indice ajuste :" shows "Quitar Nivel". The editor closes after "Aceptar" in every case.

#include <QDialog>
#include <QString>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kesh {
struct AppContext;
}

class TEdCta2Frm : public QDialog {
    Q_OBJECT
public:
    TEdCta2Frm(kesh::AppContext& ctx, QWidget* parent = nullptr);

    // "Agregar Cuenta" with a proposed code (display form) and kind.
    void SetupAdd(const QString& proposedCode, bool imputable);
    // "Modificar Cuenta" for an existing account; false (message shown) when it is gone.
    bool SetupChange(const QString& code);

    bool saved() const { return saved_; }
    // The account's code after the save (display form), to reposition the browser.
    QString savedCode() const { return savedCode_; }

    // Handlers (public: the tests drive the editor through them).
    void BtAceptarClick();
    void LCodigoClick();       // click on "Código :": the code becomes editable
    void LPathDblClick();      // double click on the path: the kind choice is enabled
    void LAjusteDblClick();    // double click on "Indice ajuste :": "Quitar Nivel" appears
    void BtQuitarNivelClick();
    // Types one key at the end of the code field under the keyboard rules; false when it is
    // discarded.
    bool TypeCodeKey(QChar key);

    QLineEdit* EdCodigo = nullptr;
    QLabel* LCodigo = nullptr;
    QLabel* LPath = nullptr;
    QLabel* LValid = nullptr;
    QLabel* LPregunta = nullptr;
    QRadioButton* RbGrupo = nullptr;
    QRadioButton* RbImputable = nullptr;
    QLineEdit* EdNombre = nullptr;
    QLabel* LToken = nullptr;
    QLineEdit* EdToken = nullptr;
    QLabel* LAjuste = nullptr;
    QComboBox* CbAjuste = nullptr;
    QPushButton* BtAceptar = nullptr;
    QPushButton* BtCerrar = nullptr;
    QPushButton* BtQuitarNivel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void codeChanged();
    void kindChanged();
    void fieldsChanged();
    QString pathOf(const QString& code);

    kesh::AppContext& ctx_;
    bool adding_ = true;
    bool codeEditable_ = false;
    bool saved_ = false;
    QString originalCode_;   // change mode, display form
    QString savedCode_;
    QButtonGroup* kind_ = nullptr;
};
