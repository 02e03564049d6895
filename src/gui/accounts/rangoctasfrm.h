#pragma once
// TRangoCtasFrm: "Modificar Rango de Cuentas", the adjustment index of every account between
// two accounts (chosen with the account picker, or the whole chart with "Todas las cuentas").

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace kesh {
struct AppContext;
}

class TRangoCtasFrm : public QDialog {
    Q_OBJECT
public:
    TRangoCtasFrm(kesh::AppContext& ctx, QWidget* parent = nullptr);

    // Sets one end (either code form); the field shows "code name".
    void SetStart(const QString& code);
    void SetEnd(const QString& code);

    void BtInicioClick();     // picker for the start
    void BtFinClick();        // picker for the end
    void BtCopiarClick();     // the start becomes the end too
    void ChTodasClick(bool on);
    void BtOkClick();         // asks, then applies; accepted when applied

    QLineEdit* EdInicio = nullptr;
    QLineEdit* EdFin = nullptr;
    QCheckBox* ChTodas = nullptr;
    QComboBox* CbIndice = nullptr;
    QPushButton* BtOk = nullptr;
    QPushButton* BtCancel = nullptr;

private:
    QString shown(const QString& code);
    void updateOk();

    kesh::AppContext& ctx_;
    QString start_;  // internal codes
    QString end_;
};
