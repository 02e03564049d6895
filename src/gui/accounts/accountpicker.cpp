#include "gui/accounts/accountpicker.h"

#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "accounts/codes.h"
#include "app/context.h"
#include "gui/accounts/accountshooks.h"
#include "gui/accounts/brctasfrm.h"

namespace kesh::gui {

AccountsBrowserHooks& BrowserHooks() {
    static AccountsBrowserHooks hooks;
    return hooks;
}

namespace {

// The small "Buscar" window: the text, or nullopt when cancelled.
std::optional<QString> AskSearchText(QWidget* parent, const QString& title) {
    QDialog dlg(parent);
    dlg.setObjectName("BuscarFrm");
    dlg.setWindowTitle(title);
    auto* l = new QHBoxLayout(&dlg);
    auto* ed = new QLineEdit(&dlg);
    ed->setObjectName("EdBuscar");
    auto* bt = new QPushButton("Buscar", &dlg);
    bt->setDefault(true);
    auto* bx = new QPushButton("X", &dlg);
    l->addWidget(ed, 1);
    l->addWidget(bt);
    l->addWidget(bx);
    QObject::connect(bt, &QPushButton::clicked, &dlg, &QDialog::accept);
    QObject::connect(bx, &QPushButton::clicked, &dlg, &QDialog::reject);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return ed->text();
}

} // namespace

QString PickAccount(QWidget* parent, AppContext& ctx, const QString& startCode,
                    bool imputableOnly) {
    return PickAccount(parent, ctx, startCode, imputableOnly, -1, "Buscar Cuenta");
}

QString PickAccount(QWidget* parent, AppContext& ctx, const QString& startCode,
                    bool imputableOnly, int clase, const QString& title) {
    const std::optional<QString> search = AskSearchText(parent, title);
    if (!search) return {};

    QDialog dlg(parent);
    dlg.setObjectName("PickAccountDlg");
    dlg.setWindowTitle("CUENTAS");
    auto* l = new QVBoxLayout(&dlg);
    l->setContentsMargins(0, 0, 0, 0);
    auto* browser = new TBrCtasFrm(ctx, TBrCtasFrm::Mode::Select, &dlg);
    l->addWidget(browser);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int height = screen ? screen->availableGeometry().height() * 2 / 3 : 500;
    dlg.resize(650, height);
    browser->SetClassFilter(clase == 1   ? AccountClassFilter::Providers
                            : clase == 2 ? AccountClassFilter::Customers
                            : clase == 0 ? AccountClassFilter::General
                                         : AccountClassFilter::All);
    browser->SetImputableOnly(imputableOnly);
    browser->SetRequireImputable(imputableOnly);
    browser->SetSearchText(*search);
    browser->Reload(startCode);
    QObject::connect(browser, &TBrCtasFrm::accepted, &dlg, &QDialog::accept);
    QObject::connect(browser, &TBrCtasFrm::rejected, &dlg, &QDialog::reject);
    if (dlg.exec() != QDialog::Accepted || !browser->selection()) return {};
    return QString::fromStdString(ToInternalCode(browser->selection()->cod));
}

} // namespace kesh::gui
