#include "gui/reports/fontselectform.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>

#include "print/bandengine.h"

namespace kesh::gui {

using reports::Group;

std::function<int(int)> TFontSelectForm::colourHook;

namespace {
int ToRef(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

QFont FontOf(const reports::StyleGroup& g) {
    QFont f(QString::fromStdString(g.font));
    f.setPointSize(std::max(g.size, 1));
    const reports::FontStyle& st = reports::FontStyleAt(g.style);
    f.setBold(st.bold);
    f.setItalic(st.italic);
    f.setUnderline(st.underline);
    return f;
}
} // namespace

void PaintGroupButton(QPushButton* b, const reports::StyleGroup& g) {
    b->setText(QString::fromStdString(g.font) + " " + QString::number(g.size));
    b->setFont(FontOf(g));
    b->setStyleSheet(QStringLiteral("QPushButton { color: %1; background-color: %2; }")
                         .arg(print::ColorRef(g.color).name(), print::ColorRef(g.back).name()));
}

TFontSelectForm::TFontSelectForm(Group group, const reports::StyleGroup& value, QWidget* parent)
    : QDialog(parent), original_(value), current_(value) {
    setWindowTitle(QString::fromUtf8(reports::GroupSelectorCaption(group)));

    ListFonts = new QListWidget(this);
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    ListFonts->addItems(families);
    const auto found = ListFonts->findItems(QString::fromStdString(value.font), Qt::MatchFixedString);
    if (!found.isEmpty()) ListFonts->setCurrentItem(found.front());

    CmSize = new QComboBox(this);
    CmSize->setEditable(true);
    for (int s : {5, 6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        CmSize->addItem(QString::number(s));
    CmSize->setEditText(QString::number(value.size));

    CmStyle = new QListWidget(this);
    for (int i = 0; i < reports::kFontStyleCount; ++i)
        CmStyle->addItem(QString::fromUtf8(reports::FontStyleAt(i).text));
    CmStyle->setCurrentRow(value.style);

    BtColorLetra = new QPushButton(QStringLiteral("Color de letra"), this);
    BtColorFondo1 = new QPushButton(QStringLiteral("Color de fondo 1"), this);
    BtColorFondo2 = new QPushButton(QStringLiteral("Color de fondo 2"), this);
    BtColorFondo1->setEnabled(reports::GroupHasBackground(group));
    BtColorFondo2->setEnabled(reports::GroupHasSecondBackground(group));

    Memo = new QTextEdit(this);
    Memo->setReadOnly(true);

    BtnOk = new QPushButton(QStringLiteral("Aceptar"), this);
    BtnCancel = new QPushButton(QStringLiteral("Cancelar"), this);
    BtnOk->setDefault(true);

    auto* g = new QGridLayout(this);
    g->addWidget(new QLabel(QStringLiteral("Fuente"), this), 0, 0);
    g->addWidget(ListFonts, 1, 0, 4, 1);
    g->addWidget(new QLabel(QStringLiteral("Tamaño"), this), 0, 1);
    g->addWidget(CmSize, 1, 1);
    g->addWidget(new QLabel(QStringLiteral("Estilo"), this), 2, 1);
    g->addWidget(CmStyle, 3, 1);
    auto* colours = new QVBoxLayout;
    colours->addWidget(BtColorLetra);
    colours->addWidget(BtColorFondo1);
    colours->addWidget(BtColorFondo2);
    colours->addStretch();
    g->addLayout(colours, 1, 2, 3, 1);
    g->addWidget(Memo, 5, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    g->addLayout(buttons, 6, 0, 1, 3);

    connect(ListFonts, &QListWidget::currentTextChanged, this, [this](const QString& f) {
        if (!f.isEmpty()) current_.font = f.left(40).toStdString();
        redraw();
    });
    connect(CmSize, &QComboBox::currentTextChanged, this, [this](const QString& t) {
        bool ok = false;
        const int s = t.trimmed().toInt(&ok);
        if (ok && s > 0 && s < 500) current_.size = s;
        redraw();
    });
    connect(CmStyle, &QListWidget::currentRowChanged, this, [this](int r) {
        if (r >= 0) current_.style = r;
        redraw();
    });
    connect(BtColorLetra, &QPushButton::clicked, this, [this] { chooseColour(current_.color); });
    connect(BtColorFondo1, &QPushButton::clicked, this, [this] { chooseColour(current_.back); });
    connect(BtColorFondo2, &QPushButton::clicked, this, [this] { chooseColour(current_.back2); });
    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    redraw();
}

reports::StyleGroup TFontSelectForm::value() const {
    return result() == QDialog::Accepted ? current_ : original_;
}

void TFontSelectForm::chooseColour(int& target) {
    int chosen = -1;
    if (colourHook) {
        chosen = colourHook(target);
    } else {
        const QColor c = QColorDialog::getColor(print::ColorRef(target), this);
        if (c.isValid()) chosen = ToRef(c);
    }
    if (chosen >= 0) target = chosen;
    redraw();
}

void TFontSelectForm::redraw() {
    Memo->setFont(FontOf(current_));
    Memo->setStyleSheet(QStringLiteral("QTextEdit { color: %1; background-color: %2; }")
                            .arg(print::ColorRef(current_.color).name(),
                                 print::ColorRef(current_.back).name()));
    Memo->setPlainText(QString::fromStdString(current_.font) + " " +
                       QString::number(current_.size) + "\n0123456789");
}

} // namespace kesh::gui
