#include "gui/app/nuevaempresafrm.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QValidator>
#include <QVBoxLayout>

#include "app/sqlhelpers.h"
#include "db/company.h"
#include "db/fiscalyears.h"
#include "gui/app/guiutil.h"
#include "gui/widgets/dialogs.h"

using namespace kesh;
using namespace kesh::gui;

namespace {
// Only file-name characters get into "Nombre del archivo".
class FileNameValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar c : input)
            if (!db::IsFileNameChar(c.unicode())) return Invalid;
        return Acceptable;
    }
};
} // namespace

TNuevaEmpresaFrm::TNuevaEmpresaFrm(const std::string& appDir, QWidget* parent)
    : QDialog(parent), appDir_(appDir) {
    setWindowTitle(QStringLiteral("Crear una Nueva Empresa"));
    auto* lay = new QVBoxLayout(this);

    auto* gbDatos = new QGroupBox(QStringLiteral("Datos de la Empresa"));
    auto* top = new QHBoxLayout(gbDatos);
    auto* form = new QFormLayout;
    using C = CompanyData;
    namespace w = companycols;
    fields.build(form, {{&C::nombre, "Nombre", w::nombre},
                        {&C::domicilio, "Dirección postal", w::domicilio},
                        {&C::codpostal, "Código postal", w::codpostal},
                        {&C::ciudad, "Ciudad", w::ciudad},
                        {&C::telefonos, "Teléfono", w::telefonos},
                        {&C::cuit, "C.U.I.T.", w::cuit},
                        {&C::ingbrut, "Nº Ingresos Brutos", w::ingbrut},
                        {&C::ganancias, "Nº Ganancias", w::ganancias},
                        {&C::obs, "Observaciones", w::obs},
                        {&C::email, "Correo electrónico", w::email}});
    top->addLayout(form, 1);
    top->addLayout(TLogoPicture::Column(Logo, Q(DataDir(appDir_))));
    lay->addWidget(gbDatos);

    auto* gbArchivo = new QGroupBox(QStringLiteral("Datos del archivo de la empresa"));
    auto* af = new QFormLayout(gbArchivo);
    EdArchivo = new QLineEdit;
    EdArchivo->setValidator(new FileNameValidator(EdArchivo));
    EdArchivo->setMaxLength(60);
    af->addRow(QStringLiteral("Nombre del archivo"), EdArchivo);
    auto* rutaRow = new QHBoxLayout;
    LRuta = new QLabel;
    LRuta->setWordWrap(true);
    LRuta->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* btRuta = new QPushButton(QStringLiteral("..."));
    btRuta->setToolTip(QStringLiteral("Cambiar ruta de acceso"));
    btRuta->setFixedWidth(30);
    rutaRow->addWidget(LRuta, 1);
    rutaRow->addWidget(btRuta);
    af->addRow(QStringLiteral("Ruta de acceso del archivo"), rutaRow);
    lay->addWidget(gbArchivo);
    connect(btRuta, &QPushButton::clicked, this, [this] {
        const QString d = QFileDialog::getExistingDirectory(this, QStringLiteral("Cambiar ruta de acceso"), folder_);
        if (!d.isEmpty()) setFolder(d);
    });

    ChEjercicio = new QCheckBox(QStringLiteral("Crear un ejercicio para la empresa "));
    ChEjercicio->setChecked(true);
    lay->addWidget(ChEjercicio);
    GbEjercicio = new QGroupBox;
    auto* ef = new QFormLayout(GbEjercicio);
    EdEjDescrip = new QLineEdit;
    EdEjDescrip->setMaxLength(40);
    EdEjFecha1 = new QDateEdit;
    EdEjFecha2 = new QDateEdit;
    const auto [d1, d2] = db::DefaultNewYearDates(FiscalYear{}, Clock::today());
    EdEjFecha1->setDate(ToQDate(d1));
    EdEjFecha2->setDate(ToQDate(d2));
    for (QDateEdit* d : {EdEjFecha1, EdEjFecha2}) {
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setCalendarPopup(true);
    }
    EdEjDescrip->setText(QStringLiteral("Ejercicio %1").arg(d1.year()));
    ef->addRow(QStringLiteral("Descripción"), EdEjDescrip);
    ef->addRow(QStringLiteral("Fecha inicial"), EdEjFecha1);
    ef->addRow(QStringLiteral("Fecha final"), EdEjFecha2);
    lay->addWidget(GbEjercicio);

    lay->addLayout(OkCancelRow(this, BtnOk));
    BtnOk->setEnabled(false);
    connect(BtnOk, &QPushButton::clicked, this, &TNuevaEmpresaFrm::BtnOkClick);

    // Leaving "Nombre" proposes the file name.
    QLineEdit* nombre = fields.edit(&C::nombre);
    connect(nombre, &QLineEdit::editingFinished, this, [this, nombre] {
        EdArchivo->setText(Q(db::CompanyFileName(S(nombre->text()))));
        nameLeft_ = true;
        Revalidate(true);
    });
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { Revalidate(); });
    timer->start(1000);

    QDir().mkpath(Q(DataDir(appDir_)));
    setFolder(Q(DataDir(appDir_)));
    Revalidate(true);
}

void TNuevaEmpresaFrm::setFolder(const QString& folder) {
    folder_ = folder;
    LRuta->setText(Q(targetPath()));
}

std::string TNuevaEmpresaFrm::targetPath() const {
    return db::CompanyFilePath(S(folder_), S(EdArchivo->text()));
}

void TNuevaEmpresaFrm::Revalidate(bool force) {
    // What the check reads, apart from the file name typed alone.
    const QString state = fields.edit(&CompanyData::nombre)->text() + QChar(1) + EdEjDescrip->text() +
                          QChar(1) + EdEjFecha1->date().toString() + QChar(1) +
                          EdEjFecha2->date().toString() + QChar(1) +
                          (ChEjercicio->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    if (!force && state == lastState_) return;
    lastState_ = state;
    const bool year = ChEjercicio->isChecked();
    GbEjercicio->setVisible(year);
    bool ok = !fields.edit(&CompanyData::nombre)->text().trimmed().isEmpty() &&
              !EdArchivo->text().isEmpty() && !folder_.isEmpty();
    if (year)
        ok = ok && !EdEjDescrip->text().trimmed().isEmpty() && EdEjFecha1->date().isValid() &&
             EdEjFecha2->date().isValid();
    BtnOk->setEnabled(ok);
    LRuta->setText(Q(targetPath()));
}

void TNuevaEmpresaFrm::BtnOkClick() {
    Revalidate(true);
    if (!BtnOk->isEnabled()) return;
    CompanyData d;
    fields.read(d);
    d.logo = S(Logo->path());
    std::optional<db::NewYear> year;
    if (ChEjercicio->isChecked())
        year = db::NewYear{S(EdEjDescrip->text()), FromQDate(EdEjFecha1->date()), FromQDate(EdEjFecha2->date())};
    const std::string path = targetPath();
    if (std::string msg = db::CheckNewCompany(path, d, year); !msg.empty()) {
        ShowMessage(this, Q(msg));
        return;
    }
    try {
        db::CreateCompany(EmptyTemplatePath(appDir_), path, d, year);
    } catch (const std::exception& e) {
        ShowError(this, QStringLiteral("No se pudo crear la empresa:\n") + ErrorText(e));
        return;
    }
    created_ = path;
    accept();
}
