#include "gui/app/datosempresafrm.h"

#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "db/company.h"
#include "gui/app/guiutil.h"
#include "gui/widgets/dialogs.h"

using namespace kesh;
using namespace kesh::gui;

TDatosEmpresaFrm::TDatosEmpresaFrm(const std::string& appDir, const std::string& companyPath,
                                   const CompanyData& data, QWidget* parent)
    : QDialog(parent), appDir_(appDir), companyPath_(companyPath), data_(data) {
    setWindowTitle(QStringLiteral("Modificar Datos de la Empresa"));
    auto* lay = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* form = new QFormLayout;
    using C = CompanyData;
    namespace w = companycols;
    fields.build(form, {{&C::nombre, "Empresa:", w::nombre},
                        {&C::domicilio, "Domicilio:", w::domicilio},
                        {&C::ciudad, "Ciudad:", w::ciudad}});
    EdSucursal = new QSpinBox;
    EdSucursal->setRange(0, 9999);
    form->addRow(QStringLiteral("Sucursal:"), EdSucursal);
    fields.build(form, {{&C::codpostal, "Cod.Postal", w::codpostal},
                        {&C::telefonos, "Teléfono:", w::telefonos},
                        {&C::email, "Correo electrónico:", w::email},
                        {&C::cuit, "C.U.I.T.:", w::cuit},
                        {&C::ingbrut, "Nº Ingresos Brutos:", w::ingbrut},
                        {&C::ganancias, "Nº Ganancias:", w::ganancias},
                        {&C::obs, "Observaciones:", w::obs}});
    top->addLayout(form, 1);
    top->addLayout(TLogoPicture::Column(Logo, Q(DataDir(appDir_))));
    lay->addLayout(top);

    QPushButton* ok;
    lay->addLayout(OkCancelRow(this, ok));
    connect(ok, &QPushButton::clicked, this, &TDatosEmpresaFrm::BtnOkClick);

    fields.fill(data_);
    EdSucursal->setValue(data_.sucursal);
    // A logo whose file went missing keeps its path until the user removes it.
    Logo->setPath(Q(data_.logo));
}

void TDatosEmpresaFrm::BtnOkClick() {
    CompanyData d = data_;
    fields.read(d);
    d.sucursal = EdSucursal->value();
    d.logo = S(Logo->path());
    try {
        db::UpdateCompanyData(companyPath_, d);
    } catch (const std::exception& e) {
        ShowError(this, QStringLiteral("Error al guardar los datos de la empresa:\n") + ErrorText(e));
        return;
    }
    accept();
}
