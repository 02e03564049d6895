#include "gui/vouchers/edcliprovfrm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "accounts/chart.h"
#include "accounts/codes.h"
#include "accounts/lookups.h"
#include "app/context.h"
#include "db/database.h"
#include "gui/vouchers/accountchooser.h"
#include "gui/vouchers/tipoperfrm.h"
#include "gui/widgets/dialogs.h"
#include "vouchers/cuit.h"
#include "vouchers/optypes.h"

using namespace kesh;
using namespace kesh::accounts;
using namespace kesh::vouchers;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QString& t) { return t.toStdString(); }

// Captions of the concepts before the company's names replace them.
const char* const kDefaultCaptions[12] = {
    "Neto gravado", "I.V.A.",    "IVA no Ins.", "Imp. Intern.", "Ret. IVA",        "Perc. IVA",
    "Ret. I.B.",    "Perc. I.B.", "Otros 1",    "Otros 2",      "Neto no gravado", "Total"};

QLineEdit* field(QWidget* parent, int maxLength) {
    auto* ed = new QLineEdit(parent);
    ed->setMaxLength(maxLength);
    return ed;
}

std::string accountName(const std::string& dsn, const std::string& code) {
    if (code.empty()) return {};
    return db::WithTransaction(dsn,
                               [&](db::Transaction& tr) { return AccountName(tr, code); });
}

}  // namespace

// The plain text fields of the record: caption, widget, column of Party, width. They fill
// the grid two per line, after "Responsabilidad IVA" and "CUIT".
const TEdCliProvFrm::TextField TEdCliProvFrm::kTextFields[] = {
    {"Ciudad", &TEdCliProvFrm::EdLoc, &Party::loc, 30},
    {"Provincia", &TEdCliProvFrm::EdProvincia, &Party::provincia, 20},
    {"Domicilio", &TEdCliProvFrm::EdDom, &Party::dom, 40},
    {"Cod.Postal", &TEdCliProvFrm::EdCp, &Party::cp, 10},
    {"Teléfono", &TEdCliProvFrm::EdTel, &Party::tel, 30},
    {"Contacto", &TEdCliProvFrm::EdContacto, &Party::contacto, 80},
    {"Ing.Brutos", &TEdCliProvFrm::EdIb, &Party::ib, 15},
    {"Ganancias", &TEdCliProvFrm::EdGan, &Party::gan, 15},
    {"E-Mail", &TEdCliProvFrm::EdEmail, &Party::email, 80},
    {"Página Web", &TEdCliProvFrm::EdWeb, &Party::web, 80},
};

TEdCliProvFrm::TEdCliProvFrm(QWidget* parent, AppContext& ctx, int clase, const QString& code,
                             const QString& proposedCode)
    : QDialog(parent), ctx_(ctx), clase_(clase == kClassCustomer ? kClassCustomer : kClassProvider),
      adding_(code.trimmed().isEmpty()) {
    const bool provider = clase_ == kClassProvider;
    setWindowTitle(QString(adding_ ? QStringLiteral("Agregar ") : QStringLiteral("Modificar ")) +
                   (provider ? QStringLiteral("Proveedor") : QStringLiteral("Cliente")));
    party_ = NewParty(clase_);
    party_.code = s(code.trimmed());

    auto* layout = new QVBoxLayout(this);
    Tabs = new QTabWidget(this);
    auto* datos = new QWidget(Tabs);
    auto* conceptos = new QWidget(Tabs);
    Tabs->addTab(datos, QStringLiteral("Datos de la Cuenta"));
    Tabs->addTab(conceptos, QStringLiteral("Conceptos de Facturación"));
    layout->addWidget(Tabs);
    try {
        company_ = LoadConceptSet(ctx_.companyPath,
                                  provider ? VoucherSide::Purchases : VoucherSide::Sales);
    } catch (const db::DbError& e) {
        gui::ShowError(this, q(e.what()));
    }
    BuildDatos(datos);
    BuildConceptos(conceptos);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    BtnOk = new QPushButton(QStringLiteral("Aceptar"), this);
    BtnClose = new QPushButton(QStringLiteral("Cerrar"), this);
    BtnOk->setAutoDefault(false);
    BtnClose->setAutoDefault(false);
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnClose);
    layout->addLayout(buttons);
    connect(BtnOk, &QPushButton::clicked, this, &TEdCliProvFrm::BtnOkClick);
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::reject);

    if (adding_) {
        EdCodigo->setText(proposedCode.trimmed());
        EdCodigoChange();
    } else {
        LoadParty();
    }
    for (int n = 1; n <= 12; ++n) ShowConceptRow(n);
}

void TEdCliProvFrm::BuildDatos(QWidget* page) {
    auto* v = new QVBoxLayout(page);
    auto* top = new QGridLayout;
    top->addWidget(new QLabel(QStringLiteral("Código :"), page), 0, 0);
    EdCodigo = field(page, 30);
    EdCodigo->setReadOnly(!adding_);
    EdCodigo->installEventFilter(this);
    top->addWidget(EdCodigo, 0, 1);
    LPath = new QLabel(page);
    top->addWidget(LPath, 1, 1);
    LValid = new QLabel(page);
    top->addWidget(LValid, 2, 1);
    auto* kind = new QGroupBox(QStringLiteral("Que tipo de cuenta desea crear?"), page);
    auto* kh = new QHBoxLayout(kind);
    RbGrupo = new QRadioButton(QStringLiteral("Cuenta de grupo"), kind);
    RbImputable = new QRadioButton(QStringLiteral("Cuenta imputable"), kind);
    RbImputable->setChecked(true);
    kh->addWidget(RbGrupo);
    kh->addWidget(RbImputable);
    kind->setVisible(adding_);
    top->addWidget(kind, 3, 0, 1, 2);
    top->addWidget(new QLabel(QStringLiteral("Cuenta :"), page), 4, 0);
    EdCuenta = field(page, 40);
    top->addWidget(EdCuenta, 4, 1);
    top->addWidget(new QLabel(QStringLiteral("ID"), page), 5, 0);
    EdToken = field(page, 5);
    top->addWidget(EdToken, 5, 1);
    top->addWidget(new QLabel(QStringLiteral("Indice ajuste :"), page), 6, 0);
    CbAjuste = new QComboBox(page);
    for (int i = 0; i <= 4; ++i) CbAjuste->addItem(q(AdjustmentText(i)));
    top->addWidget(CbAjuste, 6, 1);
    v->addLayout(top);

    auto* form = new QGridLayout;
    int row = 0;
    auto add = [&](const QString& label, QWidget* w, int col) {
        form->addWidget(new QLabel(label, page), row, col * 2);
        form->addWidget(w, row, col * 2 + 1);
        if (col == 1) ++row;
    };
    CbRespIva = new QComboBox(page);
    for (const char* c : kVatCategories) CbRespIva->addItem(QString::fromLatin1(c));
    add(QStringLiteral("Responsabilidad IVA"), CbRespIva, 0);
    auto* cuit = new QWidget(page);
    auto* ch = new QHBoxLayout(cuit);
    ch->setContentsMargins(0, 0, 0, 0);
    EdCuit = field(cuit, 20);
    EdCuit->setPlaceholderText(QStringLiteral("NN-NNNNNNNN-N"));
    LCuitOk = new QLabel(QStringLiteral("✔"), cuit);
    LCuitOk->setStyleSheet(QStringLiteral("color: green; font-weight: bold"));
    LCuitOk->setToolTip(QStringLiteral("CUIT válido"));
    LCuitOk->hide();
    ch->addWidget(EdCuit);
    ch->addWidget(LCuitOk);
    add(QStringLiteral("CUIT"), cuit, 1);
    for (const TextField& f : kTextFields) {
        this->*f.widget = field(page, f.width);
        if (f.widget == &TEdCliProvFrm::EdWeb) break;
        add(QString::fromUtf8(f.label), this->*f.widget, int(&f - kTextFields) % 2);
    }
    // "Página Web" is a button: a click on it shows the class selector.
    LWeb = new QPushButton(QStringLiteral("Página Web"), page);
    LWeb->setFlat(true);
    LWeb->setAutoDefault(false);
    form->addWidget(LWeb, row, 2);
    form->addWidget(EdWeb, row, 3);
    ++row;
    CbClase = new QComboBox(page);
    CbClase->addItems({QStringLiteral("GENERICA"), QStringLiteral("PROVEEDOR"),
                       QStringLiteral("CLIENTE"), QStringLiteral("ALUMNO")});
    CbClase->setCurrentIndex(clase_);
    CbClase->hide();
    form->addWidget(CbClase, row, 3);
    ++row;
    EdPorIB = field(page, 6);
    add(QStringLiteral("Alicuota Ingr.Brutos (%)"), EdPorIB, 0);
    CbCalc = new QComboBox(page);
    CbCalc->addItems({QStringLiteral("Ingresa Total y conceptos sin alicuota"),
                      QStringLiteral("Ingresa Neto y conceptos sin alicuota"),
                      QStringLiteral("Sin cálculo automático (ingresa todo)")});
    add(QStringLiteral("Modalidad de cálculo"), CbCalc, 1);
    BtTipoOper = new QPushButton(QString::fromUtf8(kNoOperationType), page);
    BtTipoOper->setAutoDefault(false);
    add(QStringLiteral("Tipo de operación:"), BtTipoOper, 0);
    v->addLayout(form);
    v->addStretch();

    connect(EdCodigo, &QLineEdit::textEdited, this, &TEdCliProvFrm::EdCodigoChange);
    connect(EdCuit, &QLineEdit::textChanged, this, &TEdCliProvFrm::CuitChange);
    connect(EdCuit, &QLineEdit::editingFinished, this,
            [this] { EdCuit->setText(q(FormatCuit(s(EdCuit->text().trimmed())))); });
    connect(LWeb, &QPushButton::clicked, this, [this] { CbClase->setVisible(!adding_); });
    connect(BtTipoOper, &QPushButton::clicked, this, &TEdCliProvFrm::BtTipoOperClick);
}

QString TEdCliProvFrm::ConceptCaption(int number) const {
    QString caption = QString::fromUtf8(kDefaultCaptions[number - 1]);
    const Concept& c = company_.at(number);
    if (number >= 2 && number <= 10 && !c.name.empty()) caption = q(c.name);
    if (c.rate > 0) caption += QStringLiteral(" (") + q(ShortRate(c.rate)) + QStringLiteral(")");
    if (c.group) caption += QStringLiteral("*");
    return caption;
}

void TEdCliProvFrm::BuildConceptos(QWidget* page) {
    auto* v = new QVBoxLayout(page);
    auto* grid = new QGridLayout;
    for (int n = 1; n <= 12; ++n) {
        ChConcepto[n - 1] = new QCheckBox(ConceptCaption(n), page);
        BtDeHa[n - 1] = new QPushButton(page);
        BtDeHa[n - 1]->setFlat(true);
        BtDeHa[n - 1]->setAutoDefault(false);
        BtDeHa[n - 1]->setFixedWidth(30);
        BtCuenta[n - 1] = new QPushButton(page);
        BtCuenta[n - 1]->setFlat(true);
        BtCuenta[n - 1]->setAutoDefault(false);
        BtCuenta[n - 1]->setStyleSheet(QStringLiteral("text-align: left"));
        grid->addWidget(ChConcepto[n - 1], n - 1, 0);
        grid->addWidget(BtDeHa[n - 1], n - 1, 1);
        grid->addWidget(BtCuenta[n - 1], n - 1, 2);
        grid->setColumnStretch(2, 1);
        connect(ChConcepto[n - 1], &QCheckBox::toggled, this, [this, n] { ShowConceptRow(n); });
        connect(BtDeHa[n - 1], &QPushButton::clicked, this, [this, n] {
            PartyConcept& c = party_.conceptAt(n);
            c.side = c.side == 'D' ? 'C' : 'D';
            BtDeHa[n - 1]->setText(QString(QChar(c.side)));
        });
        connect(BtCuenta[n - 1], &QPushButton::clicked, this,
                [this, n] { ConceptAccountClick(n); });
    }
    v->addLayout(grid);
    v->addWidget(
        new QLabel(QStringLiteral("* Conceptos pertenecientes al grupo de calculo de verificación"),
                   page));
    v->addStretch();
}

void TEdCliProvFrm::LoadParty() {
    std::optional<Party> p;
    try {
        p = db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) {
            return kesh::accounts::LoadParty(tr, party_.code);
        });
    } catch (const db::DbError& e) {
        gui::ShowError(this, q(e.what()));
    }
    if (!p) {
        gui::ShowNotice(this, QStringLiteral("La cuenta ") + q(ToDisplayCode(party_.code)) +
                                  QStringLiteral(" no existe."));
        BtnOk->setEnabled(false);
        return;
    }
    party_ = *p;
    EdCodigo->setText(q(ToDisplayCode(party_.code)));
    try {
        LPath->setText(q(db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) {
            return AccountPath(tr, party_.code);
        })));
    } catch (const db::DbError&) {
    }
    (party_.imputable ? RbImputable : RbGrupo)->setChecked(true);
    EdCuenta->setText(q(party_.name));
    EdToken->setText(q(party_.token));
    CbAjuste->setCurrentIndex(std::clamp(party_.ajus, 0, 4));
    const int vat = CbRespIva->findText(q(party_.respiva));
    if (vat >= 0) CbRespIva->setCurrentIndex(vat);
    else if (!party_.respiva.empty()) {
        CbRespIva->addItem(q(party_.respiva));  // an older category is kept as it was
        CbRespIva->setCurrentIndex(CbRespIva->count() - 1);
    }
    for (const TextField& f : kTextFields) (this->*f.widget)->setText(q(party_.*f.member));
    EdCuit->setText(q(party_.doc));
    CbClase->setCurrentIndex(std::clamp(party_.clase, 0, 3));
    EdPorIB->setText(q(FormatRate(party_.ibRate)));
    CbCalc->setCurrentIndex(party_.calc >= 0 && party_.calc <= 2 ? party_.calc : 0);
    idtipoper_ = party_.idtipoper;
    try {
        BtTipoOper->setText(q(OperationTypeDescription(ctx_.companyPath, idtipoper_)));
    } catch (const db::DbError&) {
    }
    for (int n = 1; n <= 12; ++n) ChConcepto[n - 1]->setChecked(party_.conceptAt(n).active);
}

void TEdCliProvFrm::ShowConceptRow(int number) {
    const bool on = ChConcepto[number - 1]->isChecked();
    BtDeHa[number - 1]->setVisible(on);
    BtCuenta[number - 1]->setVisible(on);
    BtDeHa[number - 1]->setText(QString(QChar(party_.conceptAt(number).side)));
    SetConceptAccount(number, party_.conceptAt(number).code);
}

void TEdCliProvFrm::SetConceptAccount(int number, const std::string& code) {
    party_.conceptAt(number).code = code;
    QPushButton* bt = BtCuenta[number - 1];
    std::string shown = code;
    QString note;
    if (shown.empty() && number == 12 && adding_) {
        bt->setText(QStringLiteral("(la cuenta que se está creando)"));
        return;
    }
    if (shown.empty()) {
        // No account of its own: the company's account for the concept applies.
        shown = company_.at(number).code;
        note = shown.empty() ? QStringLiteral("(sin cuenta)") : QStringLiteral("  (de la empresa)");
    }
    std::string name;
    try {
        name = accountName(ctx_.companyPath, shown);
    } catch (const db::DbError&) {
    }
    bt->setText(q(gui::AccountDisplayText(shown, name)) + note);
}

void TEdCliProvFrm::ConceptAccountClick(int number) {
    std::string start = party_.conceptAt(number).code;
    if (start.empty()) start = company_.at(number).code;
    const auto chosen = gui::ChooseImputableAccount(this, ctx_, start);
    if (chosen) SetConceptAccount(number, *chosen);
}

void TEdCliProvFrm::BtTipoOperClick() {
    const auto [id, text] =
        TTipOperFrm::Choose(this, ctx_.companyPath, clase_ == kClassProvider ? 'C' : 'V');
    idtipoper_ = id;
    BtTipoOper->setText(text);
}

void TEdCliProvFrm::CuitChange() { LCuitOk->setVisible(CuitIsValid(s(EdCuit->text()))); }

bool TEdCliProvFrm::eventFilter(QObject* watched, QEvent* event) {
    // Typing a new code: digits and "." under the chart's rules; other printable keys dropped.
    if (watched == EdCodigo && adding_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString t = key->text();
        if (t.size() == 1 && t.at(0).isPrint()) {
            const char c = t.at(0).toLatin1();
            const std::string text = s(EdCodigo->text());
            if (!CodeKeyAccepted(c, text, s(LPath->text()), 0)) return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TEdCliProvFrm::EdCodigoChange() {
    if (!adding_) return;
    QString text = EdCodigo->text();
    while (!text.isEmpty() && (text.at(0) == QLatin1Char('.') || text.at(0) == QLatin1Char('0')))
        text.remove(0, 1);
    if (text != EdCodigo->text()) EdCodigo->setText(text);
    const std::string code = WithoutTrailingDot(s(text));
    BtnOk->setEnabled(!code.empty());
    if (code.empty()) {
        LPath->clear();
        LValid->clear();
        return;
    }
    const KindChoice kind = KindForTypedCode(code, 0, RbImputable->isChecked());
    (kind.imputable ? RbImputable : RbGrupo)->setChecked(true);
    try {
        db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) {
            LPath->setText(q(AccountPath(tr, code)));
            const std::string verdict = ValidateNewAccount(tr, code, RbImputable->isChecked());
            LValid->setText(q(verdict));
            LValid->setStyleSheet(verdict == kValidationOk ? QStringLiteral("color: blue")
                                                           : QStringLiteral("color: red"));
        });
    } catch (const db::DbError& e) {
        LValid->setText(q(e.what()));
    }
}

std::optional<Party> TEdCliProvFrm::FieldsToParty() {
    Party p = party_;
    if (adding_) p.code = WithoutTrailingDot(s(EdCodigo->text().trimmed()));
    p.clase = adding_ ? clase_ : CbClase->currentIndex();
    p.imputable = RbImputable->isChecked();
    p.name = s(EdCuenta->text());
    p.token = s(EdToken->text());
    p.ajus = CbAjuste->currentIndex();
    p.respiva = s(CbRespIva->currentText());
    for (const TextField& f : kTextFields) p.*f.member = s((this->*f.widget)->text());
    p.doc = s(EdCuit->text().trimmed());
    const auto rate = ParseRate(s(EdPorIB->text()));
    if (!rate) {
        gui::ShowNotice(this, QStringLiteral(
                                  "La alícuota de Ingresos Brutos debe estar entre 0 y 99.99 %."));
        return std::nullopt;
    }
    p.ibRate = *rate;
    p.calc = CbCalc->currentIndex();
    p.idtipoper = idtipoper_;
    for (int n = 1; n <= 12; ++n) p.conceptAt(n).active = ChConcepto[n - 1]->isChecked();
    return p;
}

void TEdCliProvFrm::BtnOkClick() {
    auto p = FieldsToParty();
    if (!p) return;
    std::string problem;
    try {
        problem = db::WithTransaction(ctx_.companyPath, [&](db::Transaction& tr) {
            return adding_ ? CreateParty(tr, *p) : ChangeParty(tr, *p);
        });
    } catch (const db::DbError& e) {
        gui::ShowError(this, q(e.withContext("al guardar la cuenta").what()));
        return;
    }
    if (!problem.empty()) {
        gui::ShowNotice(this, q(problem));
        return;
    }
    party_ = *p;
    accept();
}

namespace kesh::gui {
bool EditParty(QWidget* parent, AppContext& ctx, int clase, const QString& code,
               const QString& proposedCode) {
    TEdCliProvFrm frm(parent, ctx, clase, code, proposedCode);
    return frm.exec() == QDialog::Accepted;
}
}  // namespace kesh::gui
