#include "gui/app/preferenciasfrm.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QEvent>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/app/guiutil.h"

using namespace kesh;
using namespace kesh::gui;

QColor ColorFromIni(int v) { return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF); }
int ColorToIni(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

namespace {
void paintSample(QLabel* l, const std::string& family, int size, int color) {
    QFont f(Q(family));
    f.setPointSize(std::max(size, 1));
    l->setFont(f);
    l->setText(Q(family));
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, ColorFromIni(color));
    l->setPalette(p);
}
} // namespace

TPreferenciasFrm::TPreferenciasFrm(Settings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(QStringLiteral("PREFERENCIAS"));
    auto* lay = new QVBoxLayout(this);

    auto* gFonts = new QGroupBox(QStringLiteral("TIPOS DE LETRA"));
    auto* fl = new QFormLayout(gFonts);
    LFontCuentas = new QLabel;
    LFontAsientos = new QLabel;
    for (QLabel* l : {LFontCuentas, LFontAsientos}) {
        l->setCursor(Qt::PointingHandCursor);
        l->setFrameShape(QFrame::StyledPanel);
        l->setToolTip(QStringLiteral("Clic para elegir el tipo de letra"));
        l->installEventFilter(this);
    }
    fl->addRow(QStringLiteral("Pantalla de Cuentas"), LFontCuentas);
    fl->addRow(QStringLiteral("Pantalla de Asientos"), LFontAsientos);
    lay->addWidget(gFonts);

    auto* gBal = new QGroupBox(QStringLiteral("RECALCULO DE SALDOS DEL BALANCE"));
    auto* bl = new QVBoxLayout(gBal);
    auto* nb = new QLabel(QStringLiteral("También se podrá efectuar este cálculo cada vez que se desee desde (Contabilidad > Cuentas > Procesos útiles)"));
    nb->setWordWrap(true);
    bl->addWidget(nb);
    ChCalc0 = new QCheckBox(QStringLiteral("Cuando se detecte una diferencia (recomendado)"));
    ChCalc1 = new QCheckBox(QStringLiteral("Cada vez que se solicite el informe Balance"));
    ChCalc2 = new QCheckBox(QStringLiteral("Cada vez que se cierre KESH"));
    bl->addWidget(ChCalc0);
    bl->addWidget(ChCalc1);
    bl->addWidget(ChCalc2);
    lay->addWidget(gBal);

    auto* gAsi = new QGroupBox(QStringLiteral("RECALCULO DE ASIENTOS"));
    auto* al = new QVBoxLayout(gAsi);
    auto* na = new QLabel(QStringLiteral("También se podrá efectuar este cálculo cada vez que se desee desde (Contabilidad > Asientos > Reenumerar)"));
    na->setWordWrap(true);
    al->addWidget(na);
    auto* rr = new QHBoxLayout;
    ChReenumerar = new QCheckBox(QStringLiteral("Cada vez que se ingrese a la pantalla Asientos,  recalcular saldos y reenumerar asientos comenzando con el número:"));
    EdDesdeNumero = new QSpinBox;
    EdDesdeNumero->setRange(1, 999999);
    rr->addWidget(ChReenumerar, 1);
    rr->addWidget(EdDesdeNumero);
    al->addLayout(rr);
    lay->addWidget(gAsi);

    QPushButton* ok;
    lay->addLayout(OkCancelRow(this, ok));
    connect(ok, &QPushButton::clicked, this, &TPreferenciasFrm::BtnOkClick);

    ChCalc0->setChecked(settings_.CalcBalance0);
    ChCalc1->setChecked(settings_.CalcBalance1);
    ChCalc2->setChecked(settings_.CalcBalance2);
    ChReenumerar->setChecked(settings_.Reenumeraras);
    EdDesdeNumero->setValue(settings_.DesdeNumero);
    refreshSamples();
}

void TPreferenciasFrm::refreshSamples() {
    paintSample(LFontCuentas, settings_.FontCuentas, settings_.FontSizeCuentas, settings_.FontColorCuentas);
    paintSample(LFontAsientos, settings_.FontAsientos, settings_.FontSizeAsientos, settings_.FontColorAsientos);
}

bool TPreferenciasFrm::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::MouseButtonRelease && (o == LFontCuentas || o == LFontAsientos)) {
        chooseFont(o == LFontCuentas);
        return true;
    }
    return QDialog::eventFilter(o, e);
}

void TPreferenciasFrm::chooseFont(bool cuentas) {
    std::string& family = cuentas ? settings_.FontCuentas : settings_.FontAsientos;
    int& size = cuentas ? settings_.FontSizeCuentas : settings_.FontSizeAsientos;
    int& color = cuentas ? settings_.FontColorCuentas : settings_.FontColorAsientos;
    TFontChooser dlg(cuentas ? QStringLiteral("Pantalla Cuentas") : QStringLiteral("Pantalla Asientos"),
                     Q(family), size, color, this);
    if (dlg.exec() != QDialog::Accepted) return;
    family = S(dlg.family()).substr(0, 40);
    size = dlg.size();
    color = dlg.color();
    refreshSamples();
    emit fontsChanged();
}

void TPreferenciasFrm::BtnOkClick() {
    settings_.CalcBalance0 = ChCalc0->isChecked();
    settings_.CalcBalance1 = ChCalc1->isChecked();
    settings_.CalcBalance2 = ChCalc2->isChecked();
    settings_.Reenumeraras = ChReenumerar->isChecked();
    settings_.DesdeNumero = EdDesdeNumero->value();
    accept();
}

TFontChooser::TFontChooser(const QString& title, const QString& family, int size, int color, QWidget* parent)
    : QDialog(parent), color_(color) {
    setWindowTitle(title);
    auto* lay = new QFormLayout(this);
    font_ = new QFontComboBox;
    font_->setCurrentFont(QFont(family));
    size_ = new QSpinBox;
    size_->setRange(5, 36);
    size_->setValue(size);
    colorBtn_ = new QPushButton(QStringLiteral("Color..."));
    auto paintBtn = [this] {
        colorBtn_->setStyleSheet(QStringLiteral("background:%1; color:white;").arg(ColorFromIni(color_).name()));
    };
    paintBtn();
    connect(colorBtn_, &QPushButton::clicked, this, [this, paintBtn] {
        const QColor c = QColorDialog::getColor(ColorFromIni(color_), this, windowTitle());
        if (c.isValid()) {
            color_ = ColorToIni(c);
            paintBtn();
        }
    });
    lay->addRow(QStringLiteral("Tipo de letra"), font_);
    lay->addRow(QStringLiteral("Tamaño"), size_);
    lay->addRow(QStringLiteral("Color"), colorBtn_);
    QPushButton* ok;
    lay->addRow(OkCancelRow(this, ok));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QString TFontChooser::family() const { return font_->currentFont().family(); }
int TFontChooser::size() const { return size_->value(); }
