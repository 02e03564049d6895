#pragma once
// "Modificar Datos de la Empresa": edits the empresa row of the open company.

#include <QDialog>
#include <string>

#include "app/context.h"
#include "gui/app/companyfields.h"

class QSpinBox;

class TDatosEmpresaFrm : public QDialog {
    Q_OBJECT
public:
    TDatosEmpresaFrm(const std::string& appDir, const std::string& companyPath,
                     const kesh::CompanyData& data, QWidget* parent = nullptr);

    CompanyFields fields;
    QSpinBox* EdSucursal;
    TLogoPicture* Logo;
    // Stores the fields; accepts the dialog on success, shows the error otherwise.
    void BtnOkClick();

private:
    std::string appDir_;
    std::string companyPath_;
    kesh::CompanyData data_;
};
