#pragma once
// "Crear una Nueva Empresa": company data, the file name and folder, and an optional first
// fiscal year. "Aceptar" creates the company file from kesh0.fdb (never over an existing
// file); the caller then opens it.

#include <QDialog>
#include <string>

#include "gui/app/companyfields.h"

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

class TNuevaEmpresaFrm : public QDialog {
    Q_OBJECT
public:
    explicit TNuevaEmpresaFrm(const std::string& appDir, QWidget* parent = nullptr);

    // The created company's path, after the dialog was accepted.
    const std::string& createdPath() const { return created_; }
    std::string targetPath() const;
    void setFolder(const QString& folder);

    CompanyFields fields;
    TLogoPicture* Logo;
    QLineEdit* EdArchivo;   // "Nombre del archivo"
    QLabel* LRuta;          // "Ruta de acceso del archivo"
    QCheckBox* ChEjercicio; // "Crear un ejercicio para la empresa "
    QGroupBox* GbEjercicio;
    QLineEdit* EdEjDescrip;
    QDateEdit* EdEjFecha1;
    QDateEdit* EdEjFecha2;
    QPushButton* BtnOk;

    // The once-a-second re-validation (runs only when something it reads changed).
    void Revalidate(bool force = false);
    void BtnOkClick();

private:
    std::string appDir_;
    QString folder_;
    std::string created_;
    QString lastState_;
    bool nameLeft_ = false;
};
