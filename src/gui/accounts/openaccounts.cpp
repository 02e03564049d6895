#include "gui/accounts/openaccounts.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include "app/context.h"
#include "gui/accounts/brctasfrm.h"

namespace kesh::gui {

TBrCtasFrm* OpenAccountsBrowser(QMdiArea* mdi, AppContext& ctx, AccountClassFilter filter) {
    TBrCtasFrm* browser = nullptr;
    for (QMdiSubWindow* sub : mdi->subWindowList()) {
        QWidget* w = sub->widget();
        if (!w) continue;
        if (auto* b = qobject_cast<TBrCtasFrm*>(w)) {
            browser = b;
        } else if (w->objectName() == "TBrAsiFrm" ||
                   QByteArray(w->metaObject()->className()) == "TBrAsiFrm") {
            sub->close();
        }
    }
    if (!browser) {
        browser = new TBrCtasFrm(ctx, TBrCtasFrm::Mode::Browse);
        QMdiSubWindow* sub = mdi->addSubWindow(browser);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->showMaximized();
    }
    ctx.accountsBrowserOpen = true;
    browser->SetClassFilter(filter);
    browser->Reload();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(browser->parentWidget())) mdi->setActiveSubWindow(sub);
    return browser;
}

void ReopenAccountsBrowser(QMdiArea* mdi, AppContext& ctx) {
    for (QMdiSubWindow* sub : mdi->subWindowList())
        if (qobject_cast<TBrCtasFrm*>(sub->widget())) sub->close();
    OpenAccountsBrowser(mdi, ctx);
}

} // namespace kesh::gui
