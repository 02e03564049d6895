#pragma once
// "PREFERENCIAS": the fonts of the accounts and entries screens and the recalculation
// options, kept in kesh.ini.

#include <QDialog>

#include "app/settings.h"

class QCheckBox;
class QLabel;
class QSpinBox;

class TPreferenciasFrm : public QDialog {
    Q_OBJECT
public:
    // Fonts go into `settings` as soon as they are chosen; the check boxes and the number on
    // "Aceptar". The caller saves kesh.ini when the dialog is accepted.
    TPreferenciasFrm(kesh::Settings& settings, QWidget* parent = nullptr);

    QLabel* LFontCuentas;
    QLabel* LFontAsientos;
    QCheckBox* ChCalc0;
    QCheckBox* ChCalc1;
    QCheckBox* ChCalc2;
    QCheckBox* ChReenumerar;
    QSpinBox* EdDesdeNumero;

    void BtnOkClick();
    void refreshSamples();

signals:
    void fontsChanged();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void chooseFont(bool cuentas);
    kesh::Settings& settings_;
};

// Font name, size and colour in one chooser. Colours are 0x00BBGGRR as kesh.ini keeps them.
class TFontChooser : public QDialog {
    Q_OBJECT
public:
    TFontChooser(const QString& title, const QString& family, int size, int color, QWidget* parent = nullptr);
    QString family() const;
    int size() const;
    int color() const { return color_; }

private:
    class QFontComboBox* font_;
    QSpinBox* size_;
    class QPushButton* colorBtn_;
    int color_;
};

// kesh.ini colour (low byte red) to QColor and back.
QColor ColorFromIni(int value);
int ColorToIni(const QColor& c);
