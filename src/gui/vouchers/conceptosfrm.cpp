#include "gui/vouchers/conceptosfrm.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/context.h"
#include "db/database.h"
#include "gui/vouchers/accountchooser.h"
#include "gui/widgets/dialogs.h"

using namespace kesh::vouchers;

namespace {

constexpr int kCodeRole = Qt::UserRole + 1;

QString q(const std::string& s) { return QString::fromStdString(s); }

// In-place editors: names stop at the 20 places of their field, rates take digits and one
// decimal point (a typed comma becomes the point) with at most two integer digits, so a
// rate always fits the stored four-digit block.
class ConceptDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        auto* ed = new QLineEdit(parent);
        if (index.column() == TConceptosFrm::ColConcepto) {
            ed->setMaxLength(kFieldWidth);
            ed->setProperty("concepto", true);
        } else if (index.column() == TConceptosFrm::ColAlicuota) {
            ed->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("\\d{0,2}([.,]\\d{0,2})?")), ed));
            QObject::connect(ed, &QLineEdit::textEdited, ed, [ed](const QString& t) {
                if (t.contains(QLatin1Char(','))) {
                    QString fixed = t;
                    ed->setText(fixed.replace(QLatin1Char(','), QLatin1Char('.')));
                }
            });
        }
        (void)option;
        return ed;
    }
    // Right at the end of a name goes on to its rate.
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* ed = qobject_cast<QLineEdit*>(object);
        if (ed && event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Right &&
            ed->property("concepto").toBool() && ed->cursorPosition() == ed->text().size()) {
            auto* view = qobject_cast<QTableWidget*>(parent());
            emit commitData(ed);
            emit closeEditor(ed, QAbstractItemDelegate::NoHint);
            if (view) view->setCurrentCell(view->currentRow(), TConceptosFrm::ColAlicuota);
            return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QLineEdit*>(editor)->setText(index.data().toString().trimmed());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        const QString text = static_cast<QLineEdit*>(editor)->text().trimmed();
        if (index.column() == TConceptosFrm::ColConcepto) {
            if (text.isEmpty()) return;  // a name cannot be cleared
            model->setData(index, text);
        } else {
            model->setData(index, QStringLiteral("  ") + text);
        }
    }
};

}  // namespace

int TConceptosFrm::ConceptOfRow(int row) {
    if (row == 0) return kTotal;
    if (row == 1) return kNetoNoGravado;
    if (row == 2) return kNetoGravado;
    return row - 1;
}

TConceptosFrm::TConceptosFrm(QWidget* parent, kesh::AppContext& ctx, VoucherSide side)
    : QDialog(parent), ctx_(ctx), dsn_(ctx.companyPath), side_(side) {
    setWindowTitle(side == VoucherSide::Purchases
                       ? QStringLiteral("Conceptos de Facturación Compras")
                       : QStringLiteral("Conceptos de Facturación Ventas"));
    auto* layout = new QVBoxLayout(this);

    Grid = new QTableWidget(this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setColumnCount(5);
    Grid->setHorizontalHeaderLabels({QStringLiteral("Concepto"), QStringLiteral("Alicuota(%)"),
                                     QStringLiteral("Cálculo"), QStringLiteral("Cr/De"),
                                     QStringLiteral("Cuenta")});
    // The headings need a little more room than the stored widths gave them.
    const int widths[] = {135, 80, 56, 48, 330};
    for (int c = 0; c < 5; ++c) Grid->setColumnWidth(c, widths[c]);
    Grid->verticalHeader()->hide();
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    Grid->setItemDelegate(new ConceptDelegate(Grid));
    Grid->verticalHeader()->setDefaultSectionSize(26);
    Grid->setMinimumWidth(680);
    Grid->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    layout->addWidget(Grid);
    layout->addSpacing(6);

    auto* modo = new QGroupBox(QStringLiteral("Modalidad de cálculo automático"), this);
    auto* modoLayout = new QVBoxLayout(modo);
    RgModo = new QButtonGroup(this);
    const char* items[] = {"Calcula Neto y conceptos con alicuota",
                           "Calcula Total y conceptos con alicuota",
                           "Sin cálculo automático (ingresa todo)"};
    for (int i = 0; i < 3; ++i) {
        auto* rb = new QRadioButton(QString::fromUtf8(items[i]), modo);
        RgModo->addButton(rb, i);
        modoLayout->addWidget(rb);
    }
    layout->addWidget(modo);

    auto* note = new QLabel(QStringLiteral(
        "El calculo automático se realizará cuando se ingresen los comprobantes y solo "
        "afectará a los conceptos con alicuota distinta de cero los cuales se calcularán como "
        "un porcentaje del Neto si 'Cálculo' está  marcado o del Total en caso contrario.  Si  "
        "'Cálculo' está marcado, el concepto pertenecerá al grupo de calculo de verificación  "
        "(Total = Neto + Conceptos de cálculo)."), this);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    BtnOk = new QPushButton(QStringLiteral("Aceptar"), this);
    BtnCancel = new QPushButton(QStringLiteral("Cancelar"), this);
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    layout->addLayout(buttons);

    connect(Grid, &QTableWidget::cellClicked, this, &TConceptosFrm::GridCellClicked);
    connect(BtnOk, &QPushButton::clicked, this, &TConceptosFrm::BtnOkClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    FormShow();
}

bool TConceptosFrm::RowHasName(int row) const {
    const QTableWidgetItem* it = Grid->item(row, ColConcepto);
    return it && !it->text().trimmed().isEmpty();
}

void TConceptosFrm::FormShow() {
    ConceptSet set;
    try {
        set = LoadConceptSet(dsn_, side_);
    } catch (const kesh::db::DbError& e) {
        kesh::gui::ShowError(this, q(e.what()));
    }
    if (QAbstractButton* b = RgModo->button(set.mode)) b->setChecked(true);
    Grid->clearContents();
    Grid->setRowCount(12);
    for (int row = 0; row < 12; ++row)
        for (int col = 0; col < 5; ++col) {
            auto* it = new QTableWidgetItem;
            it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            Grid->setItem(row, col, it);
        }
    if (!set.namesValid) return;  // lists of another layout: nothing to show

    for (int row = 0; row < 12; ++row) {
        const int n = ConceptOfRow(row);
        const Concept& c = set.at(n);
        if (c.name.empty()) continue;
        Grid->item(row, ColConcepto)->setText(q(c.name));
        if (row >= 9) Grid->item(row, ColConcepto)->setFlags(Qt::ItemIsEnabled |
                                                              Qt::ItemIsSelectable |
                                                              Qt::ItemIsEditable);
        if (row >= 3) {
            QTableWidgetItem* rate = Grid->item(row, ColAlicuota);
            rate->setText(QStringLiteral("  ") + q(FormatRate(c.rate)).rightJustified(5, '0'));
            rate->setFlags(rate->flags() | Qt::ItemIsEditable);
            QTableWidgetItem* flag = Grid->item(row, ColCalculo);
            flag->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            flag->setCheckState(c.group ? Qt::Checked : Qt::Unchecked);
        }
    }
    if (!set.accountsValid) return;
    for (int row = 0; row < 12; ++row) {
        const Concept& c = set.at(ConceptOfRow(row));
        if (c.side == 'D' || c.side == 'C')
            Grid->item(row, ColCrDe)->setText(QStringLiteral(" ") + QChar(c.side));
        SetRowAccount(row, c.code, c.accountName);
    }
}

void TConceptosFrm::SetRowAccount(int row, const std::string& code, const std::string& name) {
    QTableWidgetItem* it = Grid->item(row, ColCuenta);
    it->setData(kCodeRole, q(code));
    const QString shown = q(kesh::gui::AccountDisplayText(code, name));
    it->setToolTip(shown);
    if (!RowHasName(row)) return;
    // The account text with the "..." button at its right.
    auto* cell = new QWidget(Grid);
    auto* h = new QHBoxLayout(cell);
    h->setContentsMargins(2, 0, 0, 0);
    auto* text = new QLabel(shown, cell);
    text->setObjectName(QStringLiteral("LCuenta"));
    text->setFont(QFont(QStringLiteral("monospace")));
    auto* dots = new QToolButton(cell);
    dots->setText(QStringLiteral("..."));
    h->addWidget(text, 1);
    h->addWidget(dots);
    connect(dots, &QToolButton::clicked, this, [this, row] { ChooseAccount(row); });
    Grid->setCellWidget(row, ColCuenta, cell);
}

void TConceptosFrm::ChooseAccount(int row) {
    const std::string current =
        Grid->item(row, ColCuenta)->data(kCodeRole).toString().toStdString();
    const auto chosen = kesh::gui::ChooseImputableAccount(this, ctx_, current);
    if (!chosen) return;
    std::string name;
    try {
        name = kesh::db::WithTransaction(dsn_, [&](kesh::db::Transaction& tr) {
            return tr.queryText("select cuenta from cuentas where cod = ?", {*chosen});
        });
    } catch (const kesh::db::DbError& e) {
        kesh::gui::ShowError(this, q(e.what()));
        return;
    }
    SetRowAccount(row, *chosen, name);
}

void TConceptosFrm::GridCellClicked(int row, int column) {
    if (!RowHasName(row)) return;
    if (column == ColCalculo && row >= 3) {
        QTableWidgetItem* it = Grid->item(row, column);
        it->setCheckState(it->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    } else if (column == ColCrDe) {
        QTableWidgetItem* it = Grid->item(row, column);
        it->setText(it->text().trimmed() == QStringLiteral("C") ? QStringLiteral(" D")
                                                                : QStringLiteral(" C"));
    } else if (column == ColCuenta) {
        ChooseAccount(row);
    }
}

std::optional<ConceptSet> TConceptosFrm::GridToSet() {
    ConceptSet set;
    set.mode = std::max(0, RgModo->checkedId());
    for (int row = 0; row < 12; ++row) {
        const int n = ConceptOfRow(row);
        Concept& c = set.at(n);
        c.name = n >= 2 && n <= 10 ? Grid->item(row, ColConcepto)->text().trimmed().toStdString()
                                   : FixedConceptName(n);
        if (row >= 3) {
            const auto rate = ParseRate(Grid->item(row, ColAlicuota)->text().toStdString());
            if (!rate) {
                kesh::gui::ShowNotice(this, QStringLiteral("Alicuota inválida para ") + q(c.name) +
                                                QStringLiteral(": debe ser menor que 100."));
                return std::nullopt;
            }
            c.rate = *rate;
            c.group = Grid->item(row, ColCalculo)->checkState() == Qt::Checked;
        }
        const QString side = Grid->item(row, ColCrDe)->text().trimmed();
        c.side = side.isEmpty() ? 'C' : side.at(0).toLatin1();
        c.code = Grid->item(row, ColCuenta)->data(kCodeRole).toString().toStdString();
    }
    return set;
}

bool kesh::gui::ShowConceptos(QWidget* parent, kesh::AppContext& ctx, VoucherSide side) {
    TConceptosFrm frm(parent, ctx, side);
    return frm.exec() == QDialog::Accepted;
}

void TConceptosFrm::BtnOkClick() {
    const auto set = GridToSet();
    if (!set) return;
    try {
        const std::string problem = SaveConceptSet(dsn_, side_, *set);
        if (!problem.empty()) {
            kesh::gui::ShowNotice(this, q(problem));
            return;
        }
    } catch (const kesh::db::DbError& e) {
        kesh::gui::ShowError(this, q(e.withContext("al guardar los conceptos de facturación").what()));
        return;
    }
    accept();
}
