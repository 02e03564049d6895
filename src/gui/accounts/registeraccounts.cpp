#include "gui/accounts/registeraccounts.h"

#include "accounts/standardchart.h"
#include "gui/accounts/accountshooks.h"
#include "gui/accounts/openaccounts.h"
#include "gui/accounts/recalc.h"
#include "gui/app/menufrm.h"
#include "gui/widgets/dialogs.h"

namespace kesh::gui {

void RegisterAccountsScreens(TMenuFrm& w) {
    w.reopenAccountsBrowser = [&w] { ReopenAccountsBrowser(w.mdiArea(), w.context()); };
    w.recalcBalances = [&w] { RecalculateBalancesWithWait(&w, w.context().companyPath); };
    w.offerStandardChart = [&w] {
        AppContext& ctx = w.context();
        try {
            OfferStandardChart(ctx.companyPath, false, ctx.companyData.nasiclase,
                               [&w](const std::string& question) {
                                   return AskYesNo(&w, QString::fromStdString(question));
                               });
        } catch (const std::exception& e) {
            ShowError(&w, QString::fromUtf8(e.what()));
        }
    };
    BrowserHooks().toggleSidePanel = [&w] { w.ToggleLeftPanel(); };
}

} // namespace kesh::gui
