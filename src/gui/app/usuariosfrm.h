#pragma once
// "Modificar Usuarios": names and levels of the seven users, with the level explanation.

#include <QDialog>

#include "app/users.h"

class QTableWidget;

class TUsuariosFrm : public QDialog {
    Q_OBJECT
public:
    // "Aceptar" stores the names and levels into `store` and saves it to UsersIniPath().
    TUsuariosFrm(kesh::UserStore& store, QWidget* parent = nullptr);

    QTableWidget* Grid;
    void BtnOkClick();

private:
    kesh::UserStore& store_;
};
