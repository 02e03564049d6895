#pragma once
// Screens of other subsystems that the accounts browser opens. They are set by whoever owns
// them (the main window, the billing and entry screens), so this subsystem does not depend on
// theirs; a command whose screen is not set shows "En construcción".

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

namespace kesh {
struct AppContext;
}

namespace kesh::gui {

struct AccountsBrowserHooks {
    // The customer/provider editor: clase 1 or 2; code empty for a new party (proposedCode is
    // then the proposal), else the account to change. True when something was saved.
    std::function<bool(QWidget* parent, kesh::AppContext& ctx, int clase, const QString& code,
                       const QString& proposedCode)>
        partyEditor;
    // The entry editor on an existing entry, from the ledger tab (Ctrl+M). True when saved.
    std::function<bool(QWidget* parent, kesh::AppContext& ctx, int64_t entryId)> editEntry;
    // The ledger report for one account (internal code), "Informe Mayor...".
    std::function<void(QWidget* parent, kesh::AppContext& ctx, const QString& code)> ledgerReport;
    // F11: collapse or expand the main window's side panel.
    std::function<void()> toggleSidePanel;
};

AccountsBrowserHooks& BrowserHooks();

} // namespace kesh::gui
