#pragma once
// "Acerca de KESH...": the program's picture, name and version.

#include <QDialog>

class TAcercaFrm : public QDialog {
    Q_OBJECT
public:
    explicit TAcercaFrm(QWidget* parent = nullptr);
    // The program's picture, also used as the window icon.
    static QPixmap Picture(int size);
};
