#include "gui/widgets/calculator.h"

#include <cstring>

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "gui/widgets/dialogs.h"

namespace kesh::gui {

QPoint CalculatorPosition(const QRect& cell, const QSize& size, const QRect& screen) {
    int x = cell.left();
    int y = cell.bottom() + 1;
    const int bottomLimit = screen.bottom() - 20;  // the window's last row of pixels
    if (y + size.height() - 1 > bottomLimit) y = bottomLimit - size.height() + 1;
    if (x + size.width() - 1 > screen.right()) x = screen.right() - size.width() + 1;
    return {std::max(x, screen.left()), std::max(y, screen.top())};
}

TKzCalculator::TKzCalculator(Amount start, char pendingOp, QWidget* parent)
    : QDialog(parent), calc_(start) {
    setWindowTitle(QStringLiteral("Calculadora"));
    if (pendingOp) calc_.operation(pendingOp);
    auto* grid = new QGridLayout(this);
    grid->setSpacing(3);
    LDisplay = new QLabel(this);
    LDisplay->setObjectName(QStringLiteral("LDisplay"));
    LDisplay->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LDisplay->setFrameShape(QFrame::Panel);
    LDisplay->setFrameShadow(QFrame::Sunken);
    LDisplay->setMinimumWidth(170);
    QFont f = LDisplay->font();
    f.setPointSize(f.pointSize() + 3);
    LDisplay->setFont(f);
    grid->addWidget(LDisplay, 0, 0, 1, 4);
    // Rows of keys as a desk calculator lays them out.
    const char* rows[] = {"C\b/*", "789-", "456+", "123=", "0."};
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; rows[r][c]; ++c) {
            const char k = rows[r][c];
            const QString text = k == '\b' ? QStringLiteral("←") : QString(QChar(k));
            auto* b = new QPushButton(text, this);
            b->setObjectName(QStringLiteral("BtCalc_%1").arg(k == '\b' ? QStringLiteral("BS") : text));
            b->setFocusPolicy(Qt::NoFocus);
            b->setAutoDefault(false);
            b->setFixedSize(40, 28);
            connect(b, &QPushButton::clicked, this, [this, k] { Press(k); });
            if (k == '0') b->setFixedWidth(83);
            grid->addWidget(b, r + 1, k == '.' ? 2 : c, 1, k == '0' ? 2 : 1);
        }
    }
    auto* ok = new QPushButton(QStringLiteral("Aceptar"), this);
    ok->setFocusPolicy(Qt::NoFocus);
    ok->setAutoDefault(false);
    grid->addWidget(ok, 5, 3);
    connect(ok, &QPushButton::clicked, this, &TKzCalculator::Confirm);
    Show();
}

std::optional<Amount> TKzCalculator::Ask(QWidget* parent, const QRect& cellGlobal, Amount start, char pendingOp) {
    TKzCalculator calc(start, pendingOp, parent);
    calc.adjustSize();
    QScreen* screen = parent ? parent->screen() : nullptr;
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    calc.move(CalculatorPosition(cellGlobal, calc.frameGeometry().size().expandedTo(calc.size()), area));
    if (calc.exec() != QDialog::Accepted) return std::nullopt;
    return calc.value();
}

QString TKzCalculator::displayText() const { return LDisplay->text(); }

void TKzCalculator::Show() { LDisplay->setText(QString::fromStdString(calc_.display())); }

void TKzCalculator::Press(char key) {
    if (key >= '0' && key <= '9') calc_.digit(key - '0');
    else if (key == '.' || key == ',') calc_.point();
    else if (key == '+' || key == '-' || key == '*' || key == '/') calc_.operation(key);
    else if (key == '=') calc_.equals();
    else if (key == 'C' || key == 'c') calc_.clear();
    else if (key == '\b') calc_.backspace();
    Show();
}

void TKzCalculator::Confirm() {
    calc_.equals();
    Show();
    const std::optional<Amount> a = calc_.amount();
    if (!a) return;  // "Error" stays on the display until C
    if (*a < Amount()) {
        ShowNotice(this, QStringLiteral("El importe no puede ser negativo."));
        return;
    }
    value_ = *a;
    accept();
}

void TKzCalculator::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return Confirm();
    case Qt::Key_Escape: return reject();
    case Qt::Key_Backspace: return Press('\b');
    case Qt::Key_Delete: return Press('C');
    default: break;
    }
    const QString t = e->text();
    if (t.size() == 1) {
        char k = t.at(0).toLatin1();
        if (k == 'x' || k == 'X') k = '*';
        if (k != 0 && std::strchr("0123456789.,+-*/=Cc", k)) return Press(k);
    }
    QDialog::keyPressEvent(e);
}

} // namespace kesh::gui
