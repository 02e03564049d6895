#pragma once
// TProcesosFrm: "PROCESOS UTILES". From the accounts browser with the abbreviation group
// ("Generar IDs para Búsqueda Rápida de Cuentas"); from the main menu without it. The ticked
// processes run in order: abbreviations, balance recalculation, operation type assignment;
// then "Proceso(s) terminado(s)".

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kesh {
struct AppContext;
}

class TProcesosFrm : public QDialog {
    Q_OBJECT
public:
    TProcesosFrm(kesh::AppContext& ctx, bool withTokens, QWidget* parent = nullptr);

    void BtAceptarClick();
    bool tokensGenerated() const { return tokensGenerated_; }

    QGroupBox* GbIds = nullptr;
    QCheckBox* ChGenIds = nullptr;
    QLineEdit* EdNumIni = nullptr;
    QCheckBox* ChSobreescribir = nullptr;
    QRadioButton* RbNumerica = nullptr;
    QRadioButton* RbLetra = nullptr;
    QCheckBox* ChRecalc = nullptr;
    QCheckBox* ChTipoOper = nullptr;
    QPushButton* BtAceptar = nullptr;
    QPushButton* BtCancelar = nullptr;

private:
    kesh::AppContext& ctx_;
    bool withTokens_;
    bool tokensGenerated_ = false;
};

namespace kesh::gui {
// The dialog as the main menu's "Procesos útiles..." opens it (no abbreviation group).
void ShowProcesosUtiles(QWidget* parent, kesh::AppContext& ctx);
}
