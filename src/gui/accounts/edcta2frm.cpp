#include "gui/accounts/edcta2frm.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "accounts/chart.h"
#include "accounts/codes.h"
#include "accounts/lookups.h"
#include "app/context.h"
#include "gui/app/guiutil.h"
#include "gui/widgets/dialogs.h"

using namespace kesh;
using namespace kesh::gui;

TEdCta2Frm::TEdCta2Frm(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TEdCta2Frm");
    setModal(true);
    auto* g = new QGridLayout(this);
    int row = 0;

    LCodigo = new QLabel(QString::fromUtf8("Código :"), this);
    LCodigo->installEventFilter(this);
    EdCodigo = new QLineEdit(this);
    EdCodigo->setMaxLength(24);
    EdCodigo->installEventFilter(this);
    g->addWidget(LCodigo, row, 0);
    g->addWidget(EdCodigo, row++, 1);
    LPath = new QLabel(this);
    LPath->installEventFilter(this);
    g->addWidget(LPath, row++, 0, 1, 2);
    LValid = new QLabel(this);
    g->addWidget(LValid, row++, 0, 1, 2);

    LPregunta = new QLabel("Que tipo de cuenta desea crear?", this);
    g->addWidget(LPregunta, row++, 0, 1, 2);
    RbGrupo = new QRadioButton("Cuenta de grupo", this);
    RbImputable = new QRadioButton("Cuenta imputable", this);
    kind_ = new QButtonGroup(this);
    kind_->addButton(RbGrupo, 0);
    kind_->addButton(RbImputable, 1);
    auto* kinds = new QHBoxLayout;
    kinds->addWidget(RbGrupo);
    kinds->addWidget(RbImputable);
    g->addLayout(kinds, row++, 0, 1, 2);

    g->addWidget(new QLabel("Cuenta :", this), row, 0);
    EdNombre = new QLineEdit(this);
    EdNombre->setMaxLength(60);
    g->addWidget(EdNombre, row++, 1);
    LToken = new QLabel("ID", this);
    EdToken = new QLineEdit(this);
    EdToken->setMaxLength(5);
    g->addWidget(LToken, row, 0);
    g->addWidget(EdToken, row++, 1);
    LAjuste = new QLabel("Indice ajuste :", this);
    LAjuste->installEventFilter(this);
    CbAjuste = new QComboBox(this);
    for (int i = 0; i <= 4; ++i) CbAjuste->addItem(Q(AdjustmentText(i)));
    g->addWidget(LAjuste, row, 0);
    g->addWidget(CbAjuste, row++, 1);

    auto* buttons = new QHBoxLayout;
    BtQuitarNivel = new QPushButton("Quitar Nivel", this);
    BtQuitarNivel->hide();
    buttons->addWidget(BtQuitarNivel);
    buttons->addStretch(1);
    BtAceptar = new QPushButton("Aceptar", this);
    BtCerrar = new QPushButton("Cerrar", this);
    buttons->addWidget(BtAceptar);
    buttons->addWidget(BtCerrar);
    g->addLayout(buttons, row++, 0, 1, 2);

    connect(EdCodigo, &QLineEdit::textChanged, this, &TEdCta2Frm::codeChanged);
    connect(kind_, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on) kindChanged();
    });
    connect(EdNombre, &QLineEdit::textEdited, this, &TEdCta2Frm::fieldsChanged);
    connect(EdToken, &QLineEdit::textEdited, this, &TEdCta2Frm::fieldsChanged);
    connect(CbAjuste, &QComboBox::activated, this, &TEdCta2Frm::fieldsChanged);
    connect(BtAceptar, &QPushButton::clicked, this, &TEdCta2Frm::BtAceptarClick);
    connect(BtCerrar, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtQuitarNivel, &QPushButton::clicked, this, &TEdCta2Frm::BtQuitarNivelClick);
}

QString TEdCta2Frm::pathOf(const QString& code) {
    try {
        return db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) {
            return Q(AccountPath(tr, WithoutTrailingDot(S(code))));
        });
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

void TEdCta2Frm::SetupAdd(const QString& proposedCode, bool imputable) {
    adding_ = true;
    codeEditable_ = true;
    setWindowTitle("Agregar Cuenta");
    (imputable ? RbImputable : RbGrupo)->setChecked(true);
    EdCodigo->setReadOnly(false);
    EdCodigo->setText(proposedCode);
    codeChanged();
    kindChanged();
}

bool TEdCta2Frm::SetupChange(const QString& code) {
    adding_ = false;
    codeEditable_ = false;
    setWindowTitle("Modificar Cuenta");
    std::optional<AccountInfo> a;
    try {
        a = db::WithTransaction(ctx_.companyPath,
                                [&](db::Transaction& tr) { return FindAccount(tr, S(code)); });
    } catch (const std::exception& e) {
        ShowError(this, QString::fromUtf8(e.what()));
        return false;
    }
    if (!a) {
        ShowNotice(this, "La cuenta " + code + " no existe.");
        return false;
    }
    originalCode_ = Q(ToDisplayCode(a->code));
    {
        const QSignalBlocker block(EdCodigo);
        EdCodigo->setText(originalCode_);
    }
    EdCodigo->setReadOnly(true);
    LPath->setText(pathOf(originalCode_));
    LValid->clear();
    LPregunta->hide();
    (a->imputable ? RbImputable : RbGrupo)->setChecked(true);
    RbGrupo->setEnabled(false);
    RbImputable->setEnabled(false);
    EdNombre->setText(Q(a->name));
    EdToken->setText(Q(a->token));
    CbAjuste->setCurrentIndex(a->ajus >= 0 && a->ajus <= 4 ? a->ajus : 0);
    kindChanged();
    BtAceptar->setEnabled(false);
    return true;
}

bool TEdCta2Frm::TypeCodeKey(QChar key) {
    const std::string text = S(EdCodigo->text());
    const char k = key.unicode() < 128 ? static_cast<char>(key.unicode()) : '\0';
    if (!CodeKeyAccepted(k, text, S(LPath->text()), ctx_.companyData.nivel)) return false;
    EdCodigo->setText(EdCodigo->text() + key);
    return true;
}

void TEdCta2Frm::codeChanged() {
    if (!codeEditable_) return;
    const QString code = Q(WithoutTrailingDot(S(EdCodigo->text())));
    LPath->setText(pathOf(code));
    if (!adding_) {
        // A new code for an existing account: enabled while no account has it.
        bool exists = true;
        try {
            exists = db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) {
                return AccountExists(tr, S(code));
            });
        } catch (const std::exception&) {
        }
        BtAceptar->setEnabled(code != originalCode_ && !exists && !code.isEmpty());
        return;
    }
    std::string verdict;
    bool exists = true;
    try {
        db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) {
            exists = code.isEmpty() || AccountExists(tr, S(code));
            const KindChoice k =
                KindForTypedCode(S(code), ctx_.companyData.nivel, RbImputable->isChecked());
            {
                const QSignalBlocker b1(RbGrupo), b2(RbImputable), b3(kind_);
                (k.imputable ? RbImputable : RbGrupo)->setChecked(true);
            }
            RbGrupo->setEnabled(k.enabled);
            RbImputable->setEnabled(k.enabled);
            if (code.isEmpty())
                verdict.clear();
            else if (!IsWellFormedCode(S(code)))
                verdict = "El código de cuenta " + S(code) + " no es válido.";
            else
                verdict = ValidateNewAccount(tr, S(code), RbImputable->isChecked());
        });
    } catch (const std::exception& e) {
        verdict = e.what();
    }
    kindChanged();
    BtAceptar->setEnabled(!exists);
    LValid->setText(Q(verdict));
    QPalette p = LValid->palette();
    p.setColor(QPalette::WindowText, verdict == kValidationOk ? Qt::blue : Qt::red);
    LValid->setPalette(p);
}

void TEdCta2Frm::kindChanged() {
    const bool imputable = RbImputable->isChecked();
    LToken->setVisible(imputable);
    EdToken->setVisible(imputable);
    if (!imputable) EdToken->clear();
    if (adding_ && IsWellFormedCode(WithoutTrailingDot(S(EdCodigo->text())))) {
        try {
            const std::string verdict = db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) {
                return ValidateNewAccount(tr, WithoutTrailingDot(S(EdCodigo->text())), imputable);
            });
            LValid->setText(Q(verdict));
            QPalette p = LValid->palette();
            p.setColor(QPalette::WindowText, verdict == kValidationOk ? Qt::blue : Qt::red);
            LValid->setPalette(p);
        } catch (const std::exception&) {
        }
    }
    if (!adding_) fieldsChanged();
}

void TEdCta2Frm::fieldsChanged() {
    if (!adding_ && !codeEditable_) BtAceptar->setEnabled(true);
}

void TEdCta2Frm::LCodigoClick() {
    if (adding_) return;
    codeEditable_ = true;
    EdCodigo->setReadOnly(false);
    EdCodigo->setFocus();
    codeChanged();
}

void TEdCta2Frm::LPathDblClick() {
    RbGrupo->setEnabled(true);
    RbImputable->setEnabled(true);
}

void TEdCta2Frm::LAjusteDblClick() {
    if (!adding_) BtQuitarNivel->show();
}

void TEdCta2Frm::BtQuitarNivelClick() {
    try {
        const std::string message = db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) {
            return RemoveLevel(tr, S(originalCode_));
        });
        if (!message.empty()) {
            ShowNotice(this, Q(message));
        } else {
            saved_ = true;
            savedCode_ = Q(ParentCode(S(originalCode_)));
        }
    } catch (const std::exception& e) {
        ShowError(this, QString::fromUtf8(e.what()));
    }
    accept();
}

void TEdCta2Frm::BtAceptarClick() {
    const QString code = Q(WithoutTrailingDot(S(EdCodigo->text())));
    std::string message;
    try {
        message = db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) -> std::string {
            if (adding_) {
                NewAccount a;
                a.code = S(code);
                a.name = S(EdNombre->text());
                a.token = S(EdToken->text());
                a.ajus = CbAjuste->currentIndex();
                a.imputable = RbImputable->isChecked();
                return CreateAccount(tr, a);
            }
            if (codeEditable_ && code != originalCode_)
                return ChangeAccountCode(tr, S(originalCode_), S(code));
            return ChangeAccount(tr, S(originalCode_), S(EdNombre->text()), S(EdToken->text()),
                                 RbImputable->isChecked(), CbAjuste->currentIndex());
        });
    } catch (const std::exception& e) {
        ShowError(this, QString::fromUtf8(e.what()));
        accept();
        return;
    }
    if (message.empty()) {
        saved_ = true;
        savedCode_ = adding_ || codeEditable_ ? Q(ToDisplayCode(ToInternalCode(S(code))))
                                              : originalCode_;
    } else {
        ShowMessage(this, Q(message));
    }
    accept();
}

bool TEdCta2Frm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == EdCodigo && event->type() == QEvent::KeyPress && codeEditable_) {
        auto* ke = static_cast<QKeyEvent*>(event);
        const QString t = ke->text();
        if (!t.isEmpty() && t.at(0).isPrint()) {
            // Typing replaces a selection or inserts elsewhere only as plain digits; the
            // "." rules look at the code typed so far, up to the cursor.
            if (EdCodigo->hasSelectedText()) EdCodigo->del();
            const QString before = EdCodigo->text().left(EdCodigo->cursorPosition());
            const char k = t.at(0).unicode() < 128 ? static_cast<char>(t.at(0).unicode()) : '\0';
            if (!CodeKeyAccepted(k, S(before), S(LPath->text()), ctx_.companyData.nivel))
                return true;
        }
        return false;
    }
    if (event->type() == QEvent::MouseButtonPress && watched == LCodigo) {
        LCodigoClick();
        return true;
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == LPath) {
            LPathDblClick();
            return true;
        }
        if (watched == LAjuste) {
            LAjusteDblClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TEdCta2Frm::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
