#include "accounts/chart.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "accounts/codes.h"
#include "accounts/text.h"
#include "accounts/lookups.h"
#include "app/sqlhelpers.h"
#include "vouchers/concepts.h"

namespace kesh {

namespace {

constexpr int kMaxLevels = 5;


std::string storedToken(std::string_view token) {
    return Utf8Left(accounts_text::UpperAscii(accounts_text::Trimmed(token)), 5);
}

std::vector<std::string> splitLevels(const std::string& display) {
    std::vector<std::string> parts;
    size_t pos = 0;
    while (true) {
        const size_t dot = display.find('.', pos);
        parts.push_back(display.substr(pos, dot - pos));
        if (dot == std::string::npos) break;
        pos = dot + 1;
    }
    return parts;
}

std::string joinLevels(const std::vector<std::string>& parts) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out += '.';
        out += parts[i];
    }
    return out;
}

std::vector<std::string> subtreeCodes(db::Transaction& tr, const std::string& prefix) {
    std::vector<std::string> codes;
    db::Statement s = tr.prepare("select cod from cuentas where cod starting with ? order by cod");
    s.open({prefix});
    while (s.next()) codes.push_back(accounts_text::Trimmed(s.getText("COD")));
    return codes;
}

// Deletes the customer/provider or student record an account points to.
void deleteAuxRecord(db::Transaction& tr, const AccountInfo& a) {
    if (a.idaux <= 0) return;
    if (a.clase == 1 || a.clase == 2)
        tr.execute("delete from auxctas where id = ?", {a.idaux});
    else if (a.clase == 3)
        tr.execute("delete from auxalu where id = ?", {a.idaux});
}

// The billing concepts of the company (CCodigos, VCodigos) and of each party (auxctas.codigos)
// keep account codes in fixed-width lists; a renamed account is renamed there as well, so a
// voucher never splits its amount onto a code that no longer exists.
void remapCodeLists(db::Transaction& tr,
                    const std::vector<std::pair<std::string, std::string>>& mapping) {
    std::map<std::string, std::string> to(mapping.begin(), mapping.end());
    auto remap = [&](const std::string& list, bool& changed) {
        std::string out;
        const int fields = static_cast<int>((list.size() + vouchers::kFieldWidth - 1) /
                                            vouchers::kFieldWidth);
        for (int i = 0; i < fields; ++i) {
            std::string field = vouchers::FieldAt(list, i);
            auto it = to.find(vouchers::Trimmed(field));
            if (it != to.end() && !it->first.empty()) {
                field = vouchers::PadField(it->second);
                changed = true;
            }
            out += field;
        }
        return out;
    };
    bool changed = false;
    const std::string c = remap(tr.queryText("select first 1 ccodigos from empresa"), changed);
    const std::string v = remap(tr.queryText("select first 1 vcodigos from empresa"), changed);
    if (changed) tr.execute("update empresa set ccodigos = ?, vcodigos = ?", {c, v});

    std::vector<std::pair<int64_t, std::string>> parties;
    {
        db::Statement s = tr.prepare("select id, codigos from auxctas where codigos <> ''");
        s.open();
        while (s.next()) parties.emplace_back(s.getInt("ID"), s.getText("CODIGOS"));
    }
    for (const auto& [id, list] : parties) {
        changed = false;
        const std::string codes = remap(list, changed);
        if (changed) tr.execute("update auxctas set codigos = ? where id = ?", {codes, id});
    }
}

// Rewrites account codes everywhere they are stored. Done in two steps through codes no
// account can have ("#n"), so that one account may take a code another one is leaving in
// the same change without ever meeting it (cuentas.cod is unique, and a line moved once
// must not be moved again by the next rename).
void applyCodeMapping(db::Transaction& tr,
                      const std::vector<std::pair<std::string, std::string>>& mapping) {
    struct Column { const char* update; };
    static const Column columns[] = {
        {"update cuentas set cod = ? where cod = ?"},
        {"update pases set cod = ? where cod = ?"},
        {"update balance set cod = ? where cod = ?"},
        {"update tippase set cod = ? where cod = ?"},
        {"update auxasi set codprov = ? where codprov = ?"},
    };
    for (const Column& c : columns) {
        db::Statement s = tr.prepare(c.update);
        for (size_t i = 0; i < mapping.size(); ++i)
            s.execute({"#" + std::to_string(i), mapping[i].first});
        for (size_t i = 0; i < mapping.size(); ++i)
            s.execute({mapping[i].second, "#" + std::to_string(i)});
    }
    remapCodeLists(tr, mapping);
}

} // namespace

bool UserMay(ChartAction action, int userLevel) {
    switch (action) {
    case ChartAction::Create: return userLevel < 4;
    case ChartAction::Change: return userLevel < 3;
    case ChartAction::Delete: return userLevel < 2;
    }
    return false;
}

bool IsWellFormedCode(std::string_view code) {
    const std::string internal = ToInternalCode(code);
    if (internal.empty() || internal.size() % 4 != 0 || internal.size() > 4 * kMaxLevels)
        return false;
    if (!std::all_of(internal.begin(), internal.end(),
                     [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    // A display code whose groups were cut (10005 -> 0005) or dropped (a sixth level) is not
    // the code the user typed.
    if (IsDisplayForm(code)) {
        const std::string display = accounts_text::Trimmed(code);
        for (const std::string& part : splitLevels(display))
            if (part.empty() || part.size() > 4) return false;
        if (splitLevels(display).size() > static_cast<size_t>(kMaxLevels)) return false;
    }
    return true;
}

std::string ValidateNewAccount(db::Transaction& tr, std::string_view code, bool imputable) {
    const std::string internal = ToInternalCode(code);
    if (tr.queryInt("select count(id) from cuentas where cod = ?", {internal}) > 0)
        return "La Cuenta ya existe.";
    const std::string parent = ParentCode(code);
    const std::string parentInternal = ToInternalCode(parent);
    if (CodeLevel(code) >= 2 &&
        tr.queryInt("select count(id) from cuentas where cod = ?", {parentInternal}) == 0)
        return "Cuenta madre " + parent + " no existe.";
    if (!parent.empty() &&
        tr.queryInt("select imp from cuentas where cod = ?", {parentInternal}) == 1)
        return "La cuenta madre " + parent + " no debe ser imputable.";
    const std::string siblings = parentInternal + "____";
    if (imputable &&
        tr.queryInt("select count(id) from cuentas where imp = 0 and cod like ?", {siblings}) > 0)
        return "No se puede crear una cuenta imputable para la cuenta madre " + parent;
    if (!imputable &&
        tr.queryInt("select count(id) from cuentas where imp = 1 and cod like ?", {siblings}) > 0)
        return "No se puede crear una cuenta de grupo para la cuenta madre " + parent;
    return kValidationOk;
}

std::string CreateAccount(db::Transaction& tr, const NewAccount& account) {
    if (!IsWellFormedCode(account.code))
        return "El código de cuenta " + accounts_text::Trimmed(account.code) + " no es válido.";
    const std::string verdict = ValidateNewAccount(tr, account.code, account.imputable);
    if (verdict != kValidationOk) return verdict;
    tr.execute("insert into cuentas (cod, cuenta, token, ajus, imp) values (?, ?, ?, ?, ?)",
               {ToInternalCode(account.code), Utf8Left(account.name, 60),
                storedToken(account.token), std::clamp(account.ajus, 0, 4),
                account.imputable ? 1 : 0});
    return {};
}

std::string ChangeAccount(db::Transaction& tr, std::string_view code, const std::string& name,
                          const std::string& token, bool imputable, int ajus) {
    const auto account = FindAccount(tr, code);
    if (!account) return "La cuenta " + ToDisplayCode(code) + " no existe.";
    if (imputable && !account->imputable &&
        tr.queryInt("select count(id) from cuentas where cod starting with ?",
                    {account->code}) > 1)
        return "La cuenta tiene subcuentas: no puede ser imputable.";
    if (!imputable && account->imputable &&
        tr.queryInt("select count(id) from pases where cod = ?", {account->code}) > 0)
        return "La cuenta tiene movimientos: no puede ser una cuenta de grupo.";
    tr.execute("update cuentas set cuenta = ?, token = ?, imp = ? where cod = ?",
               {Utf8Left(name, 60), storedToken(token), imputable ? 1 : 0, account->code});
    tr.execute("update cuentas set ajus = ? where cod starting with ?",
               {std::clamp(ajus, 0, 4), account->code});
    return {};
}

std::string ChangeAccountCode(db::Transaction& tr, std::string_view oldCode,
                              std::string_view newCode) {
    const auto account = FindAccount(tr, oldCode);
    if (!account) return "La cuenta " + ToDisplayCode(oldCode) + " no existe.";
    if (!IsWellFormedCode(newCode))
        return "El código de cuenta " + accounts_text::Trimmed(newCode) + " no es válido.";
    const std::string oldInternal = account->code;
    const std::string newInternal = ToInternalCode(newCode);
    if (newInternal == oldInternal) return {};
    if (AccountExists(tr, newInternal)) return "La Cuenta ya existe.";
    if (newInternal.compare(0, oldInternal.size(), oldInternal) == 0)
        return "La cuenta no puede pasar a estar debajo de sí misma.";
    const std::string verdict = ValidateNewAccount(tr, newInternal, account->imputable);
    if (verdict != kValidationOk) return verdict;

    std::vector<std::pair<std::string, std::string>> mapping;
    for (const std::string& c : subtreeCodes(tr, oldInternal)) {
        const std::string target = newInternal + c.substr(oldInternal.size());
        if (target.size() > 4 * kMaxLevels)
            return "Las subcuentas de la cuenta pasarían a tener más de 5 niveles.";
        if (c != oldInternal && AccountExists(tr, target))
            return "La cuenta " + ToDisplayCode(target) + " ya existe.";
        mapping.emplace_back(c, target);
    }
    applyCodeMapping(tr, mapping);
    return {};
}

std::string RemoveLevel(db::Transaction& tr, std::string_view code) {
    const auto account = FindAccount(tr, code);
    if (!account) return "La cuenta " + ToDisplayCode(code) + " no existe.";
    if (tr.queryInt("select count(id) from pases where cod = ?", {account->code}) > 0)
        return "No se puede quitar el nivel: la cuenta tiene movimientos.";
    const int level = CodeLevel(account->code);
    const std::string parent = ToInternalCode(ParentCode(account->code));

    // Every code under the parent except the account's own, and what it becomes.
    std::vector<std::pair<std::string, std::string>> mapping;
    std::map<std::string, std::string> taken; // new code -> old code that gets it
    for (const std::string& c : subtreeCodes(tr, parent)) {
        if (c == account->code) continue;
        std::string target = c;
        if (static_cast<int>(c.size()) / 4 > level)
            target = c.substr(0, 4 * (level - 1)) + c.substr(4 * level);
        const auto [it, fresh] = taken.emplace(target, c);
        if (!fresh)
            return "No se puede quitar el nivel: las cuentas " + ToDisplayCode(it->second) +
                   " y " + ToDisplayCode(c) + " pasarían a tener el código " +
                   ToDisplayCode(target) + ".";
        if (target != c) mapping.emplace_back(c, target);
    }

    deleteAuxRecord(tr, *account);
    tr.execute("delete from cuentas where cod = ?", {account->code});
    tr.execute("delete from balance where cod = ?", {account->code});
    applyCodeMapping(tr, mapping);
    return {};
}

std::string DeleteAccount(db::Transaction& tr, std::string_view code) {
    const std::string internal = ToInternalCode(code);
    if (tr.queryInt("select count(id) from cuentas where cod starting with ?", {internal}) >= 2)
        return "La cuenta no se puede borrar por tener subcuentas.";
    if (tr.queryInt("select count(id) from pases where cod = ?", {internal}) > 0)
        return "La cuenta no se puede borrar por tener movimientos.";
    const auto account = FindAccount(tr, internal);
    if (!account) return "La cuenta " + ToDisplayCode(code) + " no existe.";
    deleteAuxRecord(tr, *account);
    tr.execute("delete from cuentas where cod = ?", {internal});
    tr.execute("delete from balance where cod = ?", {internal});
    return {};
}

std::string ProposeNextCode(db::Transaction& tr, std::string_view code) {
    const std::string internal = ToInternalCode(code);
    const int kind = static_cast<int>(
        tr.queryInt("select imp from cuentas where cod = ?", {internal}));
    const std::string parent = ToInternalCode(ParentCode(code));
    const std::string highest = accounts_text::Trimmed(
        tr.queryText("select max(cod) from cuentas where imp = ? and f_lrtrim(cod) like ?",
                     {kind, parent + "____"}));
    const std::string display = ToDisplayCode(highest);
    if (display.empty()) return {};
    std::vector<std::string> parts = splitLevels(display);
    parts.back() = std::to_string(std::stoi(parts.back()) + 1);
    return joinLevels(parts);
}

std::string ProposePartyCode(db::Transaction& tr, int clase) {
    const std::string highest = accounts_text::Trimmed(tr.queryText(
        "select max(cod) from cuentas where imp = 1 and clase = ?", {clase}));
    if (highest.empty()) return {};
    return ProposeNextCode(tr, ToDisplayCode(highest));
}

int GenerateTokens(db::Transaction& tr, TokenMode mode, int start, bool overwrite) {
    static const char letters[] = {'G', 'P', 'C'};
    if (mode == TokenMode::Numeric || overwrite) tr.execute("update cuentas set token = ''");
    db::Statement update = tr.prepare("update cuentas set token = ? where id = ?");
    int counter = start;
    int count = 0;
    for (int clase = 0; clase <= 2; ++clase) {
        std::vector<int64_t> ids;
        db::Statement s = tr.prepare(
            mode == TokenMode::Numeric
                ? "select id from cuentas where imp = 1 and clase = ? order by cod"
                : "select id from cuentas where coalesce(token, '') = '' and imp = 1 and clase = ? order by cod");
        s.open({clase});
        while (s.next()) ids.push_back(s.getInt("ID"));
        if (mode == TokenMode::Letter) counter = start;
        for (int64_t id : ids) {
            std::string token = std::to_string(counter++);
            if (mode == TokenMode::Letter) token = letters[clase] + token;
            update.execute({token.substr(0, 5), id});
            ++count;
        }
    }
    return count;
}

int SetAdjustmentRange(db::Transaction& tr, std::string_view fromCode, std::string_view toCode,
                       int ajus) {
    return static_cast<int>(
        tr.execute("update cuentas set ajus = ? where cod between ? and ?",
                   {std::clamp(ajus, 0, 4), ToInternalCode(fromCode), ToInternalCode(toCode)}));
}

std::string AdjustmentText(int ajus) {
    if (ajus < 1 || ajus > 4) return "No ajustable";
    return "Ajustable por indice " + std::to_string(ajus);
}

std::string AdjustmentRangeQuestion(int ajus, const std::string& fromShown,
                                    const std::string& toShown) {
    return "Se marcarán como [" + AdjustmentText(ajus) + "] las cuentas del rango:\n   Inicio: " +
           fromShown + "\n   Fin: " + toShown + "\n";
}

// ---- typing a code ----------------------------------------------------------------------

bool CodeKeyAccepted(char key, std::string_view text, std::string_view path, int levelRule) {
    if (key >= '0' && key <= '9') return true;
    if (key != '.') return false;
    if (text.empty() || text.back() == '.') return false;
    if (path.size() >= 2 && path.substr(path.size() - 2) == "()") return false;
    const int levels = 1 + static_cast<int>(std::count(text.begin(), text.end(), '.'));
    if (levelRule > 0 && levels >= levelRule) return false;
    return levels < kMaxLevels;
}

KindChoice KindForTypedCode(std::string_view code, int levelRule, bool currentImputable) {
    const int level = CodeLevel(WithoutTrailingDot(code));
    if (levelRule >= 3 && levelRule <= 5) return {level == levelRule, false};
    if (level <= 2) return {false, true};
    if (level >= 4) return {true, true};
    return {currentImputable, true};
}

std::string WithoutTrailingDot(std::string_view code) {
    std::string s = accounts_text::Trimmed(code);
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

} // namespace kesh
