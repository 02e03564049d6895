#include "gui/entries/edasitipfrm.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "accounts/codes.h"
#include "accounts/lookups.h"
#include "app/sqlhelpers.h"
#include "db/database.h"
#include "gui/entries/asitipofrm.h"
#include "gui/entries/entryutil.h"
#include "gui/widgets/dialogs.h"

namespace kesh::gui {

using namespace kesh::entries;

namespace {
QString AccountLabel(AppContext& ctx, const std::string& code) {
    if (code.empty()) return QString();
    std::string name;
    try {
        name = db::WithTransaction(ctx.companyPath, [&](db::Transaction& tr) { return AccountName(tr, code); });
    } catch (const db::DbError&) {
    }
    return QString::fromStdString(ToDisplayCode(code) + " " + name);
}
} // namespace

TEdAsiTipFrm::TEdAsiTipFrm(AppContext& ctx, int64_t entryId, int64_t idtip, QWidget* parent)
    : QDialog(parent), ctx_(ctx), entryId_(entryId), idtip_(idtip) {
    setModal(true);
    setWindowTitle(entryId ? QStringLiteral("Modificar Asiento") : QStringLiteral("Agregar Asiento"));
    Build();
    try {
        if (entryId == 0) {
            LoadStandard(idtip);
        } else {
            std::optional<EntryHeader> h = LoadHeader(ctx_.companyPath, entryId);
            if (h) {
                num_ = h->num;
                LNumero->setText(QStringLiteral("Nº Asiento %1").arg(h->num));
                EdFecha->setDate(ToQDate(h->fecha));
                EdDescrip->setText(QString::fromStdString(h->descrip));
            }
            std::vector<StandardLine> standard;
            if (idtip) {
                standard = LoadStandardLines(ctx_.companyPath, idtip);
                BtTipo->setText(QString::fromStdString(StandardEntryName(ctx_.companyPath, idtip)));
            }
            ShowSlots(SlotsForEntry(ctx_.companyPath, entryId, standard));
        }
    } catch (const db::DbError& e) {
        ShowError(this, QString::fromStdString(e.what()));
    }
    Recalc();
}

void TEdAsiTipFrm::Build() {
    auto* top = new QVBoxLayout(this);
    auto* head = new QHBoxLayout;
    LNumero = new QLabel(QStringLiteral("Nº Asiento"), this);
    head->addWidget(LNumero);
    head->addWidget(new QLabel(QStringLiteral("Fecha "), this));
    EdFecha = new QDateEdit(this);
    EdFecha->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    EdFecha->setCalendarPopup(true);
    const Date today = Clock::today();
    EdFecha->setDate(ToQDate(today < ctx_.currentEj.fech1 || today > ctx_.currentEj.fech2 ? ctx_.currentEj.fech1 : today));
    head->addWidget(EdFecha);
    head->addWidget(new QLabel(QStringLiteral("Descripción del Asiento"), this));
    EdDescrip = new QLineEdit(this);
    EdDescrip->setMaxLength(60);
    head->addWidget(EdDescrip, 1);
    head->addWidget(new QLabel(QStringLiteral("Asiento Tipo"), this));
    BtTipo = new QPushButton(QStringLiteral("..."), this);
    BtTipo->setAutoDefault(false);
    connect(BtTipo, &QPushButton::clicked, this, &TEdAsiTipFrm::ChooseStandard);
    head->addWidget(BtTipo);
    top->addLayout(head);
    connect(EdFecha, &QDateEdit::editingFinished, this, [this] { EdDescrip->setFocus(); });

    auto* grid = new QGridLayout;
    const char* headers[] = {"Conceptos", "De/Cr", "Cuentas", "Importes", "Detalles"};
    for (int c = 0; c < 5; ++c) grid->addWidget(new QLabel(QString::fromUtf8(headers[c]), this), 0, c);
    for (int k = 0; k < kTemplateSlots; ++k) {
        SlotRow& r = rows[size_t(k)];
        r.tick = new QCheckBox(QString::fromUtf8(kEmptyConcept), this);
        r.side = new QPushButton(QStringLiteral("D"), this);
        r.side->setFixedWidth(30);
        r.side->setAutoDefault(false);
        r.account = new QPushButton(this);
        r.account->setAutoDefault(false);
        r.account->setStyleSheet(QStringLiteral("text-align: left"));
        r.amount = new QLineEdit(QStringLiteral("0.00"), this);
        r.amount->setAlignment(Qt::AlignRight);
        auto* v = new QDoubleValidator(-1e15, 1e15, 2, r.amount);
        v->setLocale(QLocale::c());
        v->setNotation(QDoubleValidator::StandardNotation);
        r.amount->setValidator(v);
        r.detail = new QLineEdit(this);
        r.detail->setMaxLength(30);
        grid->addWidget(r.tick, k + 1, 0);
        grid->addWidget(r.side, k + 1, 1);
        grid->addWidget(r.account, k + 1, 2);
        grid->addWidget(r.amount, k + 1, 3);
        grid->addWidget(r.detail, k + 1, 4);
        connect(r.tick, &QCheckBox::toggled, this, [this, &r](bool on) {
            SetSlotVisible(r, on);
            Recalc();
        });
        connect(r.side, &QPushButton::clicked, this, [this, &r] {
            r.side->setText(r.side->text() == QLatin1String("D") ? QStringLiteral("C") : QStringLiteral("D"));
            Recalc();
        });
        connect(r.account, &QPushButton::clicked, this, [this, &r] { PickAccount(r); });
        connect(r.amount, &QLineEdit::textChanged, this, &TEdAsiTipFrm::Recalc);
        SetSlotVisible(r, false);
    }
    grid->setColumnStretch(2, 1);
    top->addLayout(grid);

    auto* totals = new QHBoxLayout;
    LDebitos = new QLabel(this);
    LCreditos = new QLabel(this);
    LSaldo = new QLabel(this);
    totals->addWidget(LDebitos);
    totals->addWidget(LCreditos);
    totals->addWidget(LSaldo);
    totals->addStretch(1);
    BtnAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancelar"), this);
    BtnAceptar->setAutoDefault(false);
    cancel->setAutoDefault(false);
    totals->addWidget(BtnAceptar);
    totals->addWidget(cancel);
    top->addLayout(totals);
    connect(BtnAceptar, &QPushButton::clicked, this, &TEdAsiTipFrm::BtnAceptarClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &TEdAsiTipFrm::Recalc);
    timer->start(1000);
}

void TEdAsiTipFrm::SetSlotVisible(SlotRow& r, bool on) {
    for (QWidget* w : {static_cast<QWidget*>(r.side), static_cast<QWidget*>(r.account),
                       static_cast<QWidget*>(r.amount), static_cast<QWidget*>(r.detail)})
        w->setVisible(on);
}

void TEdAsiTipFrm::ShowSlots(const std::vector<TemplateSlot>& slotValues) {
    for (size_t k = 0; k < rows.size(); ++k) {
        SlotRow& r = rows[k];
        TemplateSlot s = k < slotValues.size() ? slotValues[k] : TemplateSlot{};
        if (s.concepto.empty()) s.concepto = kEmptyConcept;
        r.code = s.code;
        r.lineId = s.lineId;
        r.tick->setText(QString::fromStdString(s.concepto));
        r.side->setText(s.dh == 'C' ? QStringLiteral("C") : QStringLiteral("D"));
        r.account->setText(AccountLabel(ctx_, s.code));
        r.amount->setText(QString::fromStdString(s.importe.toString()));
        r.detail->setText(QString::fromStdString(s.detalle));
        r.tick->setChecked(s.ticked);
        SetSlotVisible(r, s.ticked);
    }
}

void TEdAsiTipFrm::LoadStandard(int64_t idtip) {
    idtip_ = idtip;
    std::vector<StandardLine> lines;
    if (idtip) {
        lines = LoadStandardLines(ctx_.companyPath, idtip);
        BtTipo->setText(QString::fromStdString(StandardEntryName(ctx_.companyPath, idtip)));
    }
    ShowSlots(SlotsFromStandard(lines));
    Recalc();
}

void TEdAsiTipFrm::ChooseStandard() {
    TAsiTipoFrm list(ctx_, TAsiTipoFrm::Mode::Choose, this);
    if (list.exec() != QDialog::Accepted || list.selectedId() == 0) return;
    try {
        if (entryId_ == 0) {
            LoadStandard(list.selectedId());
        } else {
            // Change mode: only the concepts come from the standard entry.
            idtip_ = list.selectedId();
            BtTipo->setText(QString::fromStdString(StandardEntryName(ctx_.companyPath, idtip_)));
            std::vector<StandardLine> lines = LoadStandardLines(ctx_.companyPath, idtip_);
            for (size_t k = 0; k < rows.size(); ++k)
                rows[k].tick->setText(k < lines.size() && !lines[k].concepto.empty()
                                          ? QString::fromStdString(lines[k].concepto)
                                          : QString::fromUtf8(kEmptyConcept));
        }
    } catch (const db::DbError& e) {
        ShowError(this, QString::fromStdString(e.what()));
    }
}

void TEdAsiTipFrm::PickAccount(SlotRow& r) {
    std::string code = PickImputableAccount(this, ctx_, QString::fromStdString(ToDisplayCode(r.code)));
    if (code.empty()) return;
    r.code = code;
    r.account->setText(AccountLabel(ctx_, code));
}

std::vector<TemplateSlot> TEdAsiTipFrm::CurrentSlots() const {
    std::vector<TemplateSlot> out;
    for (const SlotRow& r : rows) {
        TemplateSlot s;
        s.ticked = r.tick->isChecked();
        s.dh = r.side->text() == QLatin1String("C") ? 'C' : 'D';
        s.code = r.code;
        s.importe = ParseAmountExact(r.amount->text().toStdString());
        s.detalle = r.detail->text().toStdString();
        s.concepto = r.tick->text().toStdString();
        s.lineId = r.lineId;
        out.push_back(std::move(s));
    }
    return out;
}

void TEdAsiTipFrm::Recalc() {
    TemplateTotals t = TotalsOf(CurrentSlots());
    LDebitos->setText(QStringLiteral("Total Débitos: ") + QString::fromStdString(t.debits.toString()));
    LCreditos->setText(QStringLiteral("Total Créditos: ") + QString::fromStdString(t.credits.toString()));
    LSaldo->setText(QString::fromStdString(BalanceText(t)));
}

void TEdAsiTipFrm::BtnAceptarClick() {
    TemplateEntry e;
    e.id = entryId_;
    e.num = num_;
    e.fecha = FromQDate(EdFecha->date());
    e.descrip = EdDescrip->text().toStdString();
    e.idtip = idtip_;
    e.lineSlots = CurrentSlots();
    SaveResult r;
    try {
        r = SaveTemplateEntry(ctx_.companyPath, ctx_.currentEj, e);
    } catch (const db::DbError& err) {
        r.attempted = true;
        r.message = err.what();
    }
    if (!r.ok) {
        ShowNotice(this, QString::fromStdString(r.message));
        if (r.attempted) reject();  // path B refused: the editor closes without saving
        return;
    }
    savedId_ = r.id;
    accept();
}

} // namespace kesh::gui
