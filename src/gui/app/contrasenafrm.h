#pragma once
// "Cambiar Contraseña": the login at start-up and the password dialog of Utilidades >
// Contraseñas, one dialog in two modes.

#include <QDialog>

#include "app/users.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

class TContrasenaFrm : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Login, Change };
    // In Change mode the store is updated and saved to UsersIniPath() on "Aceptar".
    TContrasenaFrm(kesh::UserStore& store, Mode mode, QWidget* parent = nullptr);

    // Login mode: who logged in, after "Aceptar" (ok = false for a wrong password).
    const kesh::LoginResult& loginResult() const { return result_; }

    QComboBox* CbUsuario;
    QLineEdit* EdPass;
    QLineEdit* EdConfirm;
    QPushButton* BtnOk;

    void BtnOkClick();
    // The once-a-second check of "Aceptar".
    void UpdateOk();

private:
    kesh::UserStore& store_;
    Mode mode_;
    kesh::LoginResult result_;
};
