#pragma once
// TKzCalculator: the small calculator of the amount cells. It opens just below the cell, kept
// inside the screen, with the cell's amount on its display; Enter (or "Aceptar") confirms the
// displayed value rounded to centavos, Esc cancels. Digits, "." or ",", + - * /, "=", "C"
// (also Delete) and Backspace, from the keyboard or its buttons.

#include <QDialog>
#include <optional>

#include "app/amount.h"
#include "app/calculator.h"

class QLabel;

namespace kesh::gui {

// Where the calculator goes: its top-left corner under the cell's bottom-left corner, moved up
// (and left) as far as needed to keep the whole window inside `screen`, its bottom edge at
// least 20 pixels above the screen's.
QPoint CalculatorPosition(const QRect& cellGlobal, const QSize& windowSize, const QRect& screen);

class TKzCalculator : public QDialog {
    Q_OBJECT
public:
    // Starts with `start` on the display; `pendingOp` ('+', ...) or 0 waits for the next number.
    explicit TKzCalculator(kesh::Amount start, char pendingOp = 0, QWidget* parent = nullptr);

    // Shows it modally under `cellGlobal`; the confirmed amount, or none when cancelled.
    static std::optional<kesh::Amount> Ask(QWidget* parent, const QRect& cellGlobal, kesh::Amount start,
                                           char pendingOp = 0);

    // The amount confirmed (after Accepted).
    kesh::Amount value() const { return value_; }
    QString displayText() const;

    // One key of the calculator: '0'..'9', '.', '+', '-', '*', '/', '=', 'C', '\b' (backspace).
    void Press(char key);
    void Confirm();  // Enter / "Aceptar"

    QLabel* LDisplay = nullptr;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void Show();

    kesh::Calculator calc_;
    kesh::Amount value_;
};

} // namespace kesh::gui
