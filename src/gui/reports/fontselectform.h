#pragma once
// Font selector of one style group: font, size, style, font colour and background colours,
// with a sample in the chosen font.

#include <QComboBox>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>

#include "reports/reportsettings.h"

namespace kesh::gui {

class TFontSelectForm : public QDialog {
    Q_OBJECT
public:
    TFontSelectForm(reports::Group group, const reports::StyleGroup& value, QWidget* parent = nullptr);

    // The group as chosen (the original when the dialog was cancelled).
    reports::StyleGroup value() const;

    QListWidget* ListFonts;
    QComboBox* CmSize;
    QListWidget* CmStyle;
    QPushButton *BtColorLetra, *BtColorFondo1, *BtColorFondo2;
    QTextEdit* Memo;
    QPushButton *BtnOk, *BtnCancel;

    // Test hook for the colour chooser: returns the chosen 0x00BBGGRR colour or -1.
    static std::function<int(int current)> colourHook;

private:
    void chooseColour(int& target);
    void redraw();

    reports::StyleGroup original_;
    reports::StyleGroup current_;
};

// The button text of a group: font name, a blank and the size; drawn in that font.
void PaintGroupButton(QPushButton* button, const reports::StyleGroup& g);

} // namespace kesh::gui
