#pragma once
// TTipOperFrm: "Tipos de Operación". Maintenance (purchases and sales lists with the switch
// "de Ventas" / "de Compras", add F2, change F5, delete F6) and choosing (one side's list,
// "Aceptar" returns the current type).

#include <QDialog>
#include <string>
#include <utility>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

class TTipOperFrm : public QDialog {
    Q_OBJECT
public:
    // tip 'C' or 'V': the list shown first (the only one when choosing).
    TTipOperFrm(QWidget* parent, std::string dsn, char tip, bool choosing);

    // The chooser of the voucher screen and the party editor: (id, description) of the type
    // accepted, or (0, "No definido") when closed any other way.
    static std::pair<int, QString> Choose(QWidget* parent, const std::string& dsn, char tip);

    char Side() const { return tip_; }
    int CurrentId() const;
    QString CurrentDescription() const;
    void SelectId(int id);

    QTableWidget* Grid;
    QPushButton* BtAgregar;
    QPushButton* BtModificar;
    QPushButton* BtBorrar;
    QRadioButton* RbVentas;
    QRadioButton* RbCompras;
    QFrame* PnEdicion;  // the panel over the grid while adding or changing
    QLabel* LTitulo;
    QLineEdit* EdDescrip;
    QPushButton* BtEdAceptar;
    QPushButton* BtEdCancelar;
    QPushButton* BtnOk;
    QPushButton* BtnCancel;

    void BtAgregarClick();
    void BtModificarClick();
    void BtBorrarClick();
    void BtEdAceptarClick();
    void BtEdCancelarClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LoadList(int keepId);
    void SideChanged();

    std::string dsn_;
    char tip_;
    bool choosing_;
    bool adding_ = false;
};

namespace kesh::gui {
// "Tipos de operación..." of the purchases menu (tip 'C') or the sales menu ('V').
void ShowTiposOperacion(QWidget* parent, const std::string& dsn, char tip);
}  // namespace kesh::gui
