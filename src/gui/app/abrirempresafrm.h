#pragma once
// "Abrir Empresa": choose a company file on this computer ("Disco local") or a company on a
// Firebird server ("Disco de red", host:path). Keeps Locallist.ini and Remotelist.ini.

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QTabWidget;

class TAbrirEmpresaFrm : public QDialog {
    Q_OBJECT
public:
    explicit TAbrirEmpresaFrm(const std::string& appDir, QWidget* parent = nullptr);

    // The chosen database name, after "Aceptar".
    const std::string& companyPath() const { return chosen_; }

    QTabWidget* Tabs;
    QComboBox* CbLocal;
    QComboBox* CbRemote;
    // Adds a name to a list and its drop-down and selects it.
    void addLocal(const std::string& name);
    void addRemote(const std::string& name);
    void BtnOkClick();

private:
    void refill(QComboBox* cb, const std::vector<std::string>& list, size_t select);
    std::string appDir_;
    std::vector<std::string> local_;
    std::vector<std::string> remote_;
    std::string chosen_;
};
