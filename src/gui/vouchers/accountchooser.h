#pragma once
// How the billing screens let the user pick an imputable account: the accounts browser in
// selection mode. Kept behind one function so the screen tests can answer the pick.

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace kesh {
struct AppContext;
}

namespace kesh::gui {

// Internal code of the chosen imputable account, or nothing when the user cancelled.
// `startCode` (internal) is the account preselected.
using AccountChooser =
    std::function<std::optional<std::string>(QWidget* parent, kesh::AppContext& ctx,
                                             const std::string& startCode)>;

std::optional<std::string> ChooseImputableAccount(QWidget* parent, kesh::AppContext& ctx,
                                                  const std::string& startCode);
// Replaces the chooser (tests); an empty function restores the accounts browser.
void SetAccountChooser(AccountChooser chooser);

// Hooks the billing screens into the accounts browser (its customer/provider editor).
// Called once when the main window starts.
void RegisterBillingScreens();

// "1.1.4.3    Caja": the display code padded to 10 (longer codes unpadded), a blank and
// the account's name; empty for no code.
std::string AccountDisplayText(const std::string& internalCode, const std::string& name);

}  // namespace kesh::gui
