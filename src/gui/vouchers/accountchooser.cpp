#include "gui/vouchers/accountchooser.h"

#include "accounts/codes.h"

namespace kesh::gui {

namespace {
AccountChooser& installed() {
    static AccountChooser chooser;
    return chooser;
}
}  // namespace

std::optional<std::string> ChooseImputableAccount(QWidget* parent, const std::string& dsn,
                                                  const std::string& startCode) {
    if (installed()) return installed()(parent, dsn, startCode);
    return std::nullopt;
}

void SetAccountChooser(AccountChooser chooser) { installed() = std::move(chooser); }

std::string AccountDisplayText(const std::string& internalCode, const std::string& name) {
    if (internalCode.empty()) return {};
    std::string code = ToDisplayCode(internalCode);
    if (code.size() < 10) code.resize(10, ' ');
    return code + " " + name;
}

}  // namespace kesh::gui
