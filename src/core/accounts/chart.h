#pragma once
// Operations that change the chart of accounts, and the rules the account editor applies
// while a code is typed.
//
// Every operation runs on the caller's transaction (one db::WithTransaction per user action)
// and checks everything before it writes: a refusal returns its Spanish message and leaves
// the database untouched; success returns an empty text. Codes may be given in either form.
//
// Codes are also written in pases (lines), balance (stored balances), tippase (standard
// entries) and auxasi.codprov (the party of a voucher); a code change or a level removal
// rewrites all of them, so nothing keeps pointing at a code that no longer exists.

#include <string>
#include <string_view>

#include "db/database.h"

namespace kesh {

inline constexpr const char* kNotAuthorized = "Usuario no autorizado para esta operación.";
inline constexpr const char* kValidationOk = "Ok";

// UserLevel limits of the chart commands (a smaller level is a stronger user).
enum class ChartAction { Create, Change, Delete };
bool UserMay(ChartAction action, int userLevel);

// A well-formed code: 1 to 5 levels, each 0..9999 (display) or four digits (internal).
bool IsWellFormedCode(std::string_view code);

// The checks a new account must pass, in this order, with the first failure's message:
// "La Cuenta ya existe.", "Cuenta madre P no existe.", "La cuenta madre P no debe ser
// imputable.", "No se puede crear una cuenta imputable para la cuenta madre P", "No se puede
// crear una cuenta de grupo para la cuenta madre P". "Ok" when all pass.
std::string ValidateNewAccount(db::Transaction& tr, std::string_view code, bool imputable);

struct NewAccount {
    std::string code;
    std::string name;
    std::string token;  // upper-cased and cut to 5 characters when stored
    int ajus = 0;
    bool imputable = true;
};
// Validates (a malformed code is refused too) and inserts with clase 0 and idaux 0.
std::string CreateAccount(db::Transaction& tr, const NewAccount& account);

// New name, abbreviation and kind of an existing account, and its adjustment index for the
// account and its whole subtree. Refused when the account does not exist, when a group
// account with subaccounts would become imputable, or an imputable account with lines would
// become a group account.
std::string ChangeAccount(db::Transaction& tr, std::string_view code, const std::string& name,
                          const std::string& token, bool imputable, int ajus);

// Gives the account a new code; its lines follow. Its subaccounts move with it (the
// prefix of their codes changes), so no account is left without its parent. Refused when
// the new code is malformed, already exists, lies inside the account's own subtree, would
// give a subaccount more than five levels, or breaks the parent rules of ValidateNewAccount.
std::string ChangeAccountCode(db::Transaction& tr, std::string_view oldCode,
                              std::string_view newCode);

// "Quitar Nivel": deletes the account and moves the accounts under its parent up one level
// (the account's level number is removed from every longer code). Refused when the account
// has lines, or when two codes would become one or a new code already exists.
std::string RemoveLevel(db::Transaction& tr, std::string_view code);

// Deletes an account with no subaccounts and no lines, with its customer/provider record
// (auxctas) or student record (auxalu).
std::string DeleteAccount(db::Transaction& tr, std::string_view code);

// Next code after the account `code`: the highest sibling of the same kind plus one in the
// last level (display form), "" when there is none.
std::string ProposeNextCode(db::Transaction& tr, std::string_view code);
// Next code for a new provider (clase 1) or customer (clase 2): after the highest imputable
// account of that class; "" when the class has no account yet.
std::string ProposePartyCode(db::Transaction& tr, int clase);

// Abbreviations for the quick entry of imputable accounts. Numeric mode clears every
// abbreviation and numbers the imputable accounts of classes 0, 1 and 2 in code order with one
// counter from `start`. Letter mode fills only empty abbreviations, the counter restarting at
// `start` for each class, prefixed G, P or C; with `overwrite` the existing ones are cleared
// first. Abbreviations are cut to 5 characters; class 3 gets none. Returns how many were set.
enum class TokenMode { Numeric, Letter };
int GenerateTokens(db::Transaction& tr, TokenMode mode, int start, bool overwrite = false);

// Adjustment index for every account whose code lies between the two (inclusive). Returns
// the number of accounts changed.
int SetAdjustmentRange(db::Transaction& tr, std::string_view fromCode, std::string_view toCode,
                       int ajus);
// "No ajustable", "Ajustable por indice 1" .. "Ajustable por indice 4".
std::string AdjustmentText(int ajus);
// The question asked before SetAdjustmentRange; the ends as the dialog shows them.
std::string AdjustmentRangeQuestion(int ajus, const std::string& fromShown,
                                    const std::string& toShown);

// ---- typing a code in the account editor ------------------------------------------------

// Whether a printable key typed at the end of `text` is kept: digits always; "." unless the
// path of the text ends in "()" (not an account yet), the text is empty or ends in ".", or
// the code already has the levels of the level rule (0 = none) or five. Other keys are
// dropped; control keys are the editor's business.
bool CodeKeyAccepted(char key, std::string_view text, std::string_view path, int levelRule);

// Kind of account the editor forces for a typed code: with a level rule, imputable exactly at
// that level and the choice disabled; without, levels 1-2 group, 4-5 imputable, 3 keeps the
// current choice, the choice enabled.
struct KindChoice {
    bool imputable;
    bool enabled;
};
KindChoice KindForTypedCode(std::string_view code, int levelRule, bool currentImputable);

// The typed text without a trailing ".".
std::string WithoutTrailingDot(std::string_view code);

} // namespace kesh
