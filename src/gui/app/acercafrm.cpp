#include "gui/app/acercafrm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

QPixmap TAcercaFrm::Picture(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, size, size);
    g.setColorAt(0, QColor(0x2E, 0x5E, 0x8C));
    g.setColorAt(1, QColor(0x10, 0x2A, 0x4C));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, size, size), size * 0.18, size * 0.18);
    // Two ledger columns and the initial: debit and credit side by side.
    p.setPen(QPen(QColor(255, 255, 255, 90), size / 40.0));
    p.drawLine(QPointF(size * 0.5, size * 0.62), QPointF(size * 0.5, size * 0.9));
    p.drawLine(QPointF(size * 0.15, size * 0.62), QPointF(size * 0.85, size * 0.62));
    QFont f;
    f.setBold(true);
    f.setPixelSize(static_cast<int>(size * 0.5));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, size * 0.02, size, size * 0.6), Qt::AlignCenter, QStringLiteral("K2"));
    f.setPixelSize(static_cast<int>(size * 0.11));
    p.setFont(f);
    p.drawText(QRectF(size * 0.1, size * 0.66, size * 0.36, size * 0.2), Qt::AlignCenter, QStringLiteral("DEBE"));
    p.drawText(QRectF(size * 0.54, size * 0.66, size * 0.36, size * 0.2), Qt::AlignCenter, QStringLiteral("HABER"));
    return pm;
}

TAcercaFrm::TAcercaFrm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Acerca de KESH"));
    auto* lay = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* pic = new QLabel;
    pic->setPixmap(Picture(128));
    row->addWidget(pic);
    auto* text = new QLabel(QStringLiteral(
        "<h2>KESH2</h2><p>Versión %1</p><p>Contabilidad por partida doble para empresas "
        "argentinas:<br>plan de cuentas, asientos, compras y ventas con IVA,<br>cierre de "
        "ejercicio y libros contables.</p>").arg(QStringLiteral(KESH_VERSION)));
    row->addWidget(text, 1);
    lay->addLayout(row);
    auto* ok = new QPushButton(QStringLiteral("Aceptar"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    lay->addWidget(ok, 0, Qt::AlignRight);
}
