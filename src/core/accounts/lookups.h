#pragma once
// Lookups on the chart of accounts, for every screen that shows or accepts an account: the
// entry editors, the report dialogs, the voucher screen, the account editors.
//
// Each runs one or a few selects on the caller's transaction (open one with
// db::WithTransaction for a one-off lookup). Codes may be given in either form (internal
// 0001000100040003 or display 1.1.4.3, see accounts/codes.h); codes returned are internal
// unless a comment says otherwise. A code with no account gives empty texts, never an error.

#include <optional>
#include <string>
#include <string_view>

#include "db/database.h"

namespace kesh {

// One row of cuentas.
struct AccountInfo {
    int id = 0;
    std::string code;     // internal
    std::string name;
    std::string token;
    bool imputable = false;
    int clase = 0;        // 0 general, 1 provider, 2 customer, 3 student
    int ajus = 0;         // adjustment index 0..4
    int idaux = 0;        // auxctas.id (classes 1, 2) or auxalu.id (class 3)
};

std::optional<AccountInfo> FindAccount(db::Transaction& tr, std::string_view code);
bool AccountExists(db::Transaction& tr, std::string_view code);

// Name of the account; "" when there is none.
std::string AccountName(db::Transaction& tr, std::string_view code);
// Name of the account when it is of the given kind (imputable or group); "" otherwise.
std::string AccountName(db::Transaction& tr, std::string_view code, bool imputable);

// The imputable account whose abbreviation is `token` (upper-cased first). The code is the
// DISPLAY code, as the entry editors show it; both texts empty when there is none.
struct AccountRef {
    std::string code;
    std::string name;
};
AccountRef AccountByToken(db::Transaction& tr, std::string_view token);

// Lowest imputable account (internal code), "" for a chart without one.
std::string FirstImputableAccount(db::Transaction& tr);

// Every ancestor's name and the account's own in parentheses:
// "ACTIVO -> ACTIVO CORRIENTE -> (OTROS CREDITOS)"; "(ACTIVO)" for a level-1 account.
// A trailing "." of a code being typed is ignored. A code that does not exist gives an empty
// name, so a path ending in "()" tells the editor the typed code is not an account yet.
std::string AccountPath(db::Transaction& tr, std::string_view code);

// First and last account of the whole chart (internal codes and names): the range of "all
// accounts" in the report dialogs and the range dialog. Empty for an empty chart.
struct ChartBounds {
    std::string firstCode;
    std::string firstName;
    std::string lastCode;
    std::string lastName;
};
ChartBounds GetChartBounds(db::Transaction& tr);

} // namespace kesh
