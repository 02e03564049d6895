#include "gui/app/companyfields.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QImageReader>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/app/guiutil.h"

using namespace kesh;
using namespace kesh::gui;

TLogoPicture::TLogoPicture(QWidget* parent) : QLabel(parent) {
    setFixedSize(120, 90);
    setFrameShape(QFrame::StyledPanel);
    setAlignment(Qt::AlignCenter);
    setToolTip(QStringLiteral("Botón derecho: quitar la imagen"));
}

void TLogoPicture::setPath(const QString& path) {
    path_ = path;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage img = path.isEmpty() ? QImage() : reader.read();
    if (img.isNull()) {
        setPixmap(QPixmap());
        setText(path.isEmpty() ? QString() : QStringLiteral("(sin imagen)"));
    } else {
        setText(QString());
        setPixmap(QPixmap::fromImage(img.scaled(size() - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }
    emit changed();
}

void TLogoPicture::choose(const QString& folder) {
    const QString f = QFileDialog::getOpenFileName(
        this, QStringLiteral("Seleccionar imagen"), folder,
        QStringLiteral("Imagenes (*.png *.jpg *.jpeg *.bmp)"));
    if (!f.isEmpty()) setPath(f);
}

QVBoxLayout* TLogoPicture::Column(TLogoPicture*& logo, const QString& folder) {
    auto* col = new QVBoxLayout;
    auto* pic = new TLogoPicture;
    auto* bt = new QPushButton(QStringLiteral("Logo"));
    bt->setToolTip(QStringLiteral("Seleccionar imagen"));
    QObject::connect(bt, &QPushButton::clicked, pic, [pic, folder] { pic->choose(folder); });
    col->addWidget(pic);
    col->addWidget(bt);
    col->addStretch(1);
    logo = pic;
    return col;
}

void TLogoPicture::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) {
        setPath(QString());
        return;
    }
    QLabel::mousePressEvent(e);
}

void CompanyFields::build(QFormLayout* form, const std::vector<Row>& rows) {
    for (const Row& r : rows) {
        auto* e = new QLineEdit;
        e->setMaxLength(r.maxLength);
        form->addRow(QString::fromUtf8(r.caption), e);
        edits.emplace_back(r.field, e);
    }
}

void CompanyFields::fill(const CompanyData& d) {
    for (auto& [field, e] : edits) e->setText(Q(d.*field));
}

void CompanyFields::read(CompanyData& d) const {
    for (const auto& [field, e] : edits) d.*field = S(e->text());
}

QLineEdit* CompanyFields::edit(std::string CompanyData::*field) const {
    for (const auto& [f, e] : edits)
        if (f == field) return e;
    return nullptr;
}
