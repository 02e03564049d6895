#include "gui/vouchers/accountchooser.h"

#include <QString>

#include "accounts/codes.h"
#include "gui/accounts/accountpicker.h"
#include "gui/accounts/accountshooks.h"
#include "gui/vouchers/edcliprovfrm.h"

namespace kesh::gui {

namespace {
AccountChooser& installed() {
    static AccountChooser chooser;
    return chooser;
}
}  // namespace

std::optional<std::string> ChooseImputableAccount(QWidget* parent, kesh::AppContext& ctx,
                                                  const std::string& startCode) {
    if (installed()) return installed()(parent, ctx, startCode);
    const QString code = PickAccount(parent, ctx, QString::fromStdString(startCode), true);
    if (code.isEmpty()) return std::nullopt;
    return code.toStdString();
}

void SetAccountChooser(AccountChooser chooser) { installed() = std::move(chooser); }

void RegisterBillingScreens() { BrowserHooks().partyEditor = EditParty; }

std::string AccountDisplayText(const std::string& internalCode, const std::string& name) {
    if (internalCode.empty()) return {};
    std::string code = ToDisplayCode(internalCode);
    if (code.size() < 10) code.resize(10, ' ');
    return code + " " + name;
}

}  // namespace kesh::gui
