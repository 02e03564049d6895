#include "gui/app/contrasenafrm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/context.h"
#include "gui/app/guiutil.h"
#include "gui/widgets/dialogs.h"

using namespace kesh;
using namespace kesh::gui;

TContrasenaFrm::TContrasenaFrm(UserStore& store, Mode mode, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      store_(store), mode_(mode) {
    setWindowTitle(QStringLiteral("Cambiar Contraseña"));
    auto* lay = new QVBoxLayout(this);
    auto* explain = new QLabel(QStringLiteral("Seleccione un usuario, luego ingrese y confirme la nueva contraseña"));
    explain->setWordWrap(true);
    explain->setFrameShape(QFrame::StyledPanel);
    lay->addWidget(explain);

    auto* form = new QFormLayout;
    CbUsuario = new QComboBox;
    for (int i = 0; i < kUserCount; ++i) CbUsuario->addItem(Q(store_.displayName(i)));
    CbUsuario->setCurrentIndex(0);
    form->addRow(QStringLiteral("Usuario"), CbUsuario);
    EdPass = new QLineEdit;
    EdPass->setEchoMode(QLineEdit::Password);
    EdConfirm = new QLineEdit;
    EdConfirm->setEchoMode(QLineEdit::Password);
    auto* passLabel = new QLabel(mode == Mode::Login ? QStringLiteral("Contraseña") : QStringLiteral("Nueva contraseña"));
    auto* confirmLabel = new QLabel(QStringLiteral("Confirme la nueva contraseña"));
    form->addRow(passLabel, EdPass);
    form->addRow(confirmLabel, EdConfirm);
    lay->addLayout(form);

    lay->addLayout(OkCancelRow(this, BtnOk));
    BtnOk->setEnabled(false);
    connect(BtnOk, &QPushButton::clicked, this, &TContrasenaFrm::BtnOkClick);

    if (mode == Mode::Login) {
        explain->hide();
        confirmLabel->hide();
        EdConfirm->hide();
        BtnOk->setDefault(true);
    } else {
        for (QPushButton* b : findChildren<QPushButton*>()) b->setAutoDefault(false);
        connect(EdPass, &QLineEdit::returnPressed, EdConfirm, qOverload<>(&QWidget::setFocus));
        connect(EdConfirm, &QLineEdit::returnPressed, this, [this] {
            UpdateOk();
            if (BtnOk->isEnabled()) BtnOkClick();
        });
    }
    // The check runs once a second as well as on every keystroke.
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &TContrasenaFrm::UpdateOk);
    timer->start(1000);
    connect(EdPass, &QLineEdit::textChanged, this, &TContrasenaFrm::UpdateOk);
    connect(CbUsuario, &QComboBox::currentIndexChanged, this, &TContrasenaFrm::UpdateOk);
    UpdateOk();
    EdPass->setFocus();
}

void TContrasenaFrm::UpdateOk() {
    BtnOk->setEnabled(LoginAcceptEnabled(CbUsuario->currentIndex(), S(EdPass->text())));
}

void TContrasenaFrm::BtnOkClick() {
    const int i = CbUsuario->currentIndex();
    if (i < 0 || !LoginAcceptEnabled(i, S(EdPass->text()))) return;
    if (mode_ == Mode::Login) {
        result_ = Login(store_, i, S(EdPass->text()));
        accept();
        return;
    }
    const std::string pass = S(EdPass->text());
    switch (CheckPasswordChange(pass, S(EdConfirm->text()))) {
    case PasswordChange::AskClear:
        if (!AskYesNo(this, QStringLiteral(
                "Ha dejado las contraseñas en blanco. Si Confirma la contraseña de Supervisor será "
                "removida y en adelante cuando se inicie el programa no se solicitará contraseña y "
                "se accederá como usuario Supervisor.\nCONFIRME")))
            return;
        break;
    case PasswordChange::Mismatch:
        ShowMessage(this, QStringLiteral("La contraseña no coincide"));
        return;
    case PasswordChange::Store:
        break;
    }
    store_.setPassword(i, pass);
    try {
        store_.save(UsersIniPath());
    } catch (const std::exception& e) {
        ShowError(this, ErrorText(e));
        return;
    }
    ShowMessage(this, QStringLiteral("La nueva contraseña ha sido guardada"));
    accept();
}
