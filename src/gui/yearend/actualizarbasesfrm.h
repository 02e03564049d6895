#pragma once
// "Actualizar bases de datos...": asks, closes the main connection, runs the update scripts
// over every company of the data folder and reopens the company. Failures are shown with the
// script and the company they happened on.

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace kesh::gui {

class TActualizarBasesFrm : public QDialog {
    Q_OBJECT
public:
    // closeMain runs before the first script (the main window closes DB0), reopenMain after the
    // last one, also when a script failed.
    TActualizarBasesFrm(std::string appDir, std::string firebirdDir, std::function<void()> closeMain,
                        std::function<void()> reopenMain, QWidget* parent = nullptr);

    QPushButton* BtnOk = nullptr;
    QPushButton* BtnCancel = nullptr;
    QLabel* LProgreso = nullptr;

private:
    void BtnOkClick();

    std::string appDir_;
    std::string firebirdDir_;
    std::function<void()> closeMain_;
    std::function<void()> reopenMain_;
};

} // namespace kesh::gui
