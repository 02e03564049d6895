#include "accounts/parties.h"

#include <algorithm>
#include <cctype>

#include "accounts/chart.h"
#include "accounts/codes.h"
#include "app/amount.h"
#include "app/sqlhelpers.h"
#include "db/database.h"
#include "vouchers/concepts.h"

namespace kesh::accounts {

namespace {

using vouchers::PadField;
using vouchers::Trimmed;

constexpr int kCount = 12;

std::string upperAscii(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The auxctas values in the column order of the insert and the update; the update adds
// the row id last.
db::Params auxValues(const Party& p, std::optional<int> rowId = std::nullopt) {
    const PartyConceptLists lists = FormatPartyConcepts(p);
    db::Params v{p.respiva, p.loc, p.provincia, p.doc, p.dom, p.tel, p.cp, p.ib, p.gan,
                 p.contacto, p.email, p.web,
                 Amount::fromCents(IbRateToStoredCents(p.ibRate)), lists.codigos, p.calc,
                 lists.activ, lists.deha, p.idtipoper};
    if (rowId) v.emplace_back(*rowId);
    return v;
}

int insertAux(db::Transaction& tr, const Party& p) {
    return int(tr.insertReturningId(
        "insert into auxctas (respiva, loc, provincia, doc, dom, tel, cp, ib, gan, contacto, "
        "email, web, porib, codigos, calc, activ, deha, idtipoper) "
        "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) returning id",
        auxValues(p)));
}

// Column widths of auxctas and cuentas: text beyond them is refused by the database, so the
// party is cut to fit before it is written (the screen's fields stop typing there anyway).
void cutToColumns(Party& p) {
    p.name = Utf8Left(Trimmed(p.name), 60);
    p.token = Utf8Left(upperAscii(Trimmed(p.token)), 5);
    p.respiva = Utf8Left(p.respiva, 10);
    p.doc = Utf8Left(p.doc, 20);
    p.dom = Utf8Left(p.dom, 40);
    p.loc = Utf8Left(p.loc, 30);
    p.provincia = Utf8Left(p.provincia, 20);
    p.cp = Utf8Left(p.cp, 10);
    p.tel = Utf8Left(p.tel, 30);
    p.ib = Utf8Left(p.ib, 15);
    p.gan = Utf8Left(p.gan, 15);
    p.contacto = Utf8Left(p.contacto, 80);
    p.email = Utf8Left(p.email, 80);
    p.web = Utf8Left(p.web, 80);
    if (p.calc < 0 || p.calc > 3) p.calc = 0;
}

}  // namespace

Party NewParty(int clase) {
    Party p;
    p.clase = clase;
    const bool provider = clase != kClassCustomer;
    for (int n = 1; n <= kCount; ++n) {
        const bool total = n == kCount;
        p.conceptAt(n).side = (provider != total) ? 'D' : 'C';
    }
    return p;
}

PartyConceptLists FormatPartyConcepts(const Party& party) {
    PartyConceptLists l;
    for (int n = 1; n <= kCount; ++n) {
        const PartyConcept& c = party.conceptAt(n);
        l.activ += c.active ? '1' : '0';
        l.deha += c.side == 'C' ? 'C' : 'D';
        l.codigos += PadField(c.active ? ToInternalCode(c.code) : std::string());
    }
    return l;
}

void ParsePartyConcepts(const PartyConceptLists& l, Party& party) {
    for (int n = 1; n <= kCount; ++n) {
        PartyConcept& c = party.conceptAt(n);
        const std::size_t i = std::size_t(n - 1);
        c.active = i < l.activ.size() && l.activ[i] == '1';
        if (i < l.deha.size() && (l.deha[i] == 'D' || l.deha[i] == 'C')) c.side = l.deha[i];
        c.code = vouchers::ConceptAccount(l.codigos, n);
    }
}

int IbRateFromStored(long long storedCents) {
    // 350.00 is 35000 centavos and means 3.50 %, that is 350 hundredths of a percent.
    return int((storedCents + (storedCents < 0 ? -50 : 50)) / 100);
}

long long IbRateToStoredCents(int ibRate) { return (long long)ibRate * 100; }

std::optional<Party> LoadParty(db::Transaction& tr, const std::string& code) {
    const std::string internal = ToInternalCode(code);
    db::Statement s = tr.prepare(
        "select cod, cuenta, token, ajus, imp, clase, idaux from cuentas where cod = ?");
    s.open({internal});
    if (!s.next()) return std::nullopt;
    Party p = NewParty(int(s.getInt("CLASE")));
    p.code = Trimmed(s.getText("COD"));
    p.name = s.getText("CUENTA");
    p.token = s.getText("TOKEN");
    p.ajus = int(s.getInt("AJUS"));
    p.imputable = s.getInt("IMP") == 1;
    p.auxId = int(s.getInt("IDAUX"));
    s.close();
    if (p.auxId <= 0) return p;

    db::Statement x = tr.prepare(
        "select id, respiva, loc, provincia, doc, dom, tel, cp, ib, gan, contacto, email, web, "
        "porib, codigos, calc, activ, deha, idtipoper from auxctas where id = ?");
    x.open({p.auxId});
    if (!x.next()) {
        p.auxId = 0;  // the link points nowhere: the next save makes a new row
        return p;
    }
    p.respiva = Trimmed(x.getText("RESPIVA"));
    p.loc = x.getText("LOC");
    p.provincia = x.getText("PROVINCIA");
    p.doc = x.getText("DOC");
    p.dom = x.getText("DOM");
    p.tel = x.getText("TEL");
    p.cp = x.getText("CP");
    p.ib = x.getText("IB");
    p.gan = x.getText("GAN");
    p.contacto = x.getText("CONTACTO");
    p.email = x.getText("EMAIL");
    p.web = x.getText("WEB");
    p.ibRate = IbRateFromStored(x.getAmount("PORIB").cents());
    p.calc = int(x.getInt("CALC"));
    p.idtipoper = int(x.getInt("IDTIPOPER"));
    ParsePartyConcepts({x.getText("ACTIV"), x.getText("DEHA"), x.getText("CODIGOS")}, p);
    return p;
}

std::string CheckParty(const Party& p) {
    if (p.clase != kClassProvider && p.clase != kClassCustomer && p.clase != kClassGeneral &&
        p.clase != kClassStudent)
        return "Clase de cuenta inválida.";
    const std::string vat = Trimmed(p.respiva);
    if (!vat.empty() &&
        std::find_if(kVatCategories.begin(), kVatCategories.end(),
                     [&](const char* c) { return vat == c; }) == kVatCategories.end())
        return "La responsabilidad IVA debe ser RI, MT o CF.";
    if (p.ibRate < 0 || p.ibRate > vouchers::kMaxRate)
        return "La alícuota de Ingresos Brutos debe estar entre 0 y 99.99 %.";
    if (p.ajus < 0 || p.ajus > 4) return "Indice de ajuste inválido.";
    for (int n = 1; n <= kCount; ++n) {
        const std::string& code = p.conceptAt(n).code;
        if (p.conceptAt(n).active && !code.empty() && ToInternalCode(code).size() > 20)
            return "Código de cuenta inválido: " + code;
    }
    return {};
}

std::string CreateParty(db::Transaction& tr, Party& p) {
    std::string display = Trimmed(p.code);
    while (!display.empty() && display.back() == '.') display.pop_back();
    if (display.empty()) return "Debe ingresar el código de la cuenta.";
    const std::string internal = ToInternalCode(display);
    if (internal.empty() || internal.size() > 20 || ToDisplayCode(internal).empty())
        return "Código de cuenta inválido.";
    if (p.clase != kClassProvider && p.clase != kClassCustomer)
        return "Clase de cuenta inválida.";
    cutToColumns(p);
    if (std::string problem = CheckParty(p); !problem.empty()) return problem;
    if (std::string verdict = ValidateNewAccount(tr, internal, p.imputable);
        verdict != kValidationOk)
        return verdict;

    p.code = internal;
    // The Total of a party's vouchers belongs on the party's own account; the account does
    // not exist before this save, so it cannot have been picked for a new party.
    if (p.conceptAt(12).active && p.conceptAt(12).code.empty()) p.conceptAt(12).code = internal;
    p.auxId = insertAux(tr, p);
    tr.execute(
        "insert into cuentas (cod, cuenta, token, ajus, imp, idaux, clase) "
        "values (?, ?, ?, ?, ?, ?, ?)",
        {p.code, p.name, p.token, p.ajus, p.imputable ? 1 : 0, p.auxId, p.clase});
    return {};
}

std::string ChangeParty(db::Transaction& tr, Party& p) {
    const std::string internal = ToInternalCode(p.code);
    cutToColumns(p);
    if (std::string problem = CheckParty(p); !problem.empty()) return problem;
    db::Statement s = tr.prepare("select idaux from cuentas where cod = ?");
    s.open({internal});
    if (!s.next()) return "La cuenta " + ToDisplayCode(internal) + " no existe.";
    int auxId = int(s.getInt(0));
    s.close();
    if (auxId > 0 && tr.queryInt("select count(id) from auxctas where id = ?", {auxId}) == 0)
        auxId = 0;

    tr.execute("update cuentas set cuenta = ?, token = ?, ajus = ?, clase = ?, imp = ? "
               "where cod = ?",
               {p.name, p.token, p.ajus, p.clase, p.imputable ? 1 : 0, internal});
    if (auxId > 0) {
        tr.execute(
            "update auxctas set respiva = ?, loc = ?, provincia = ?, doc = ?, dom = ?, tel = ?, "
            "cp = ?, ib = ?, gan = ?, contacto = ?, email = ?, web = ?, porib = ?, codigos = ?, "
            "calc = ?, activ = ?, deha = ?, idtipoper = ? where id = ?",
            auxValues(p, auxId));
    } else {
        auxId = insertAux(tr, p);
        tr.execute("update cuentas set idaux = ? where cod = ?", {auxId, internal});
    }
    p.code = internal;
    p.auxId = auxId;
    return {};
}

}  // namespace kesh::accounts
