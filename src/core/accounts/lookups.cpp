#include "accounts/lookups.h"

#include "accounts/codes.h"
#include "accounts/text.h"

namespace kesh {

std::optional<AccountInfo> FindAccount(db::Transaction& tr, std::string_view code) {
    const std::string internal = ToInternalCode(code);
    if (internal.empty()) return std::nullopt;
    db::Statement s = tr.prepare(
        "select id, cod, cuenta, token, imp, clase, ajus, idaux from cuentas where cod = ?");
    s.open({internal});
    if (!s.next()) return std::nullopt;
    AccountInfo a;
    a.id = static_cast<int>(s.getInt("ID"));
    a.code = accounts_text::Trimmed(s.getText("COD"));
    a.name = s.getText("CUENTA");
    a.token = s.getText("TOKEN");
    a.imputable = s.getInt("IMP") == 1;
    a.clase = static_cast<int>(s.getInt("CLASE"));
    a.ajus = static_cast<int>(s.getInt("AJUS"));
    a.idaux = static_cast<int>(s.getInt("IDAUX"));
    return a;
}

bool AccountExists(db::Transaction& tr, std::string_view code) {
    const std::string internal = ToInternalCode(code);
    return !internal.empty() &&
           tr.queryInt("select count(id) from cuentas where cod = ?", {internal}) > 0;
}

std::string AccountName(db::Transaction& tr, std::string_view code) {
    return tr.queryText("select cuenta from cuentas where cod = ?", {ToInternalCode(code)});
}

std::string AccountName(db::Transaction& tr, std::string_view code, bool imputable) {
    return tr.queryText("select cuenta from cuentas where imp = ? and cod = ?",
                        {imputable ? 1 : 0, ToInternalCode(code)});
}

AccountRef AccountByToken(db::Transaction& tr, std::string_view token) {
    const std::string key = accounts_text::UpperAscii(accounts_text::Trimmed(token));
    if (key.empty()) return {};
    db::Statement s = tr.prepare("select cod, cuenta from cuentas where imp = 1 and token = ?");
    s.open({key});
    if (!s.next()) return {};
    return {ToDisplayCode(s.getText("COD")), s.getText("CUENTA")};
}

std::string FirstImputableAccount(db::Transaction& tr) {
    return accounts_text::Trimmed(
        tr.queryText("select first 1 cod from cuentas where imp = 1 order by cod"));
}

std::string AccountPath(db::Transaction& tr, std::string_view code) {
    std::string display = ToDisplayCode(code);
    if (!display.empty() && display.back() == '.') display.pop_back();
    if (display.empty()) return "()";
    std::string path;
    size_t pos = 0;
    while (true) {
        const size_t dot = display.find('.', pos);
        const std::string prefix = display.substr(0, dot);
        const std::string name = AccountName(tr, prefix);
        if (dot == std::string::npos) {
            path += "(" + name + ")";
            break;
        }
        path += name + " -> ";
        pos = dot + 1;
    }
    return path;
}

ChartBounds GetChartBounds(db::Transaction& tr) {
    ChartBounds b;
    b.lastCode = accounts_text::Trimmed(tr.queryText("select max(cod) from cuentas"));
    b.lastName = tr.queryText("select cuenta from cuentas where cod = ?", {b.lastCode});
    b.firstCode = accounts_text::Trimmed(tr.queryText("select min(cod) from cuentas"));
    b.firstName = tr.queryText("select cuenta from cuentas where cod = ?", {b.firstCode});
    return b;
}

} // namespace kesh
