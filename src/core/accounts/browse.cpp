#include "accounts/browse.h"

#include <map>
#include <set>

#include "accounts/codes.h"
#include "accounts/text.h"

namespace kesh {

namespace {

int asInt(const db::Statement& s, const char* column) {
    return static_cast<int>(s.getInt(column));
}

} // namespace

// ---- accounts list ------------------------------------------------------------------------

std::string AccountListTitle(AccountClassFilter filter) {
    switch (filter) {
    case AccountClassFilter::General: return "CUENTAS GENERICAS";
    case AccountClassFilter::Providers: return "CUENTAS DE PROVEEDORES";
    case AccountClassFilter::Customers: return "CUENTAS DE CLIENTES";
    case AccountClassFilter::All: break;
    }
    return "TODAS LAS CUENTAS";
}

int SectionForClassFilter(AccountClassFilter filter, int current) {
    if (filter == AccountClassFilter::Providers) return 2;
    if (filter == AccountClassFilter::Customers) return 1;
    return current;
}

AccountSearch ParseAccountSearch(std::string_view typed) {
    AccountSearch s;
    s.text = accounts_text::Trimmed(typed);
    if (!s.text.empty() && s.text.front() == '*') {
        s.anywhere = true;
        s.text = accounts_text::Trimmed(s.text.substr(1));
    }
    return s;
}

std::vector<AccountListRow> LoadAccountList(db::Transaction& tr, const AccountListQuery& q) {
    const AccountSearch search = ParseAccountSearch(q.search);
    db::Statement s = tr.prepare("select * from pbrcuentas(?, ?, ?, ?, ?, ?)");
    s.open({q.year, q.imputableOnly ? 1 : -1, static_cast<int>(q.clase), q.section,
            search.anywhere ? 1 : 0, search.text});
    std::vector<AccountListRow> rows;
    while (s.next()) {
        AccountListRow r;
        r.nro = asInt(s, "NRO");
        r.cod = s.getText("COD");
        r.cuenta = s.getText("CUENTA");
        r.cuenta2 = s.getText("CUENTA2");
        r.moneda = s.getText("MONEDA");
        r.fullpath = s.getText("FULLPATH");
        r.niv = asInt(s, "NIV");
        r.aju = asInt(s, "AJU");
        r.subctas = asInt(s, "SUBCTAS");
        r.clase = asInt(s, "CLASE");
        r.sclase = s.getText("SCLASE");
        r.idaux = asInt(s, "IDAUX");
        r.imp = s.getInt("IMP") == 1;
        r.inicio = s.getAmount("INICIO");
        r.debe = s.getAmount("DEBE");
        r.haber = s.getAmount("HABER");
        r.saldo = s.getAmount("SALDO");
        r.final = s.getAmount("FINAL");
        r.token = s.getText("TOKEN");
        rows.push_back(std::move(r));
    }
    return rows;
}

// ---- one account --------------------------------------------------------------------------

int YearSelector(db::Transaction& tr, int currentYearId) {
    if (tr.queryInt("select count(id) from ejerc") == 0) return -2;
    if (tr.queryInt("select count(id) from ejerc where activ = '+'") > 0) return 0;
    return currentYearId;
}

std::vector<LedgerRow> LoadLedger(db::Transaction& tr, std::string_view code, int selector) {
    std::set<int> refun, cierre;
    {
        db::Statement e = tr.prepare("select idrefun, idcierre from ejerc");
        e.open();
        while (e.next()) {
            if (e.getInt("IDREFUN") > 0) refun.insert(asInt(e, "IDREFUN"));
            if (e.getInt("IDCIERRE") > 0) cierre.insert(asInt(e, "IDCIERRE"));
        }
    }
    db::Statement s = tr.prepare("select * from pMayor(?, ?)");
    s.open({ToInternalCode(code), selector});
    std::vector<LedgerRow> rows;
    while (s.next()) {
        LedgerRow r;
        r.fech = s.getDate("FECH");
        r.idej = asInt(s, "IDEJ");
        r.nro = asInt(s, "NRO");
        r.descripasi = s.getText("DESCRIPASI");
        r.detall = s.getText("DETALL");
        r.debe = s.getAmount("DEBE");
        r.haber = s.getAmount("HABER");
        r.saldo = s.getAmount("SALDO");
        r.idasi = asInt(s, "IDASI");
        r.idtip = asInt(s, "IDTIP");
        r.clase = asInt(s, "CLASE");
        r.idaux = asInt(s, "IDAUX");
        r.coleg = asInt(s, "COLEG");
        r.nrec = asInt(s, "NREC");
        if (r.idaux == -1)
            r.kind = LedgerEntryKind::Opening;
        else if (refun.count(r.idasi))
            r.kind = LedgerEntryKind::ResultClosing;
        else if (cierre.count(r.idasi))
            r.kind = LedgerEntryKind::Closing;
        rows.push_back(std::move(r));
    }
    return rows;
}

LedgerTotals LoadLedgerTotals(db::Transaction& tr, std::string_view code, int selector) {
    db::Statement s = tr.prepare("select debe, haber, saldo from pSaldosMayor(?, ?)");
    s.open({ToInternalCode(code), selector});
    LedgerTotals t;
    if (s.next()) {
        t.debe = s.getAmount("DEBE");
        t.haber = s.getAmount("HABER");
        t.saldo = s.getAmount("SALDO");
    }
    return t;
}

bool BalanceIsStale(bool imputable, Amount ledgerBalance, Amount storedFinal) {
    return imputable && (ledgerBalance - storedFinal).abs() > Amount::fromCents(0);
}

std::vector<YearBalanceRow> LoadYearBalances(db::Transaction& tr, std::string_view code,
                                             int selector) {
    db::Statement s = tr.prepare("select * from pSaldos3(?, ?)");
    s.open({ToInternalCode(code), selector});
    std::vector<YearBalanceRow> rows;
    while (s.next()) {
        YearBalanceRow r;
        r.ej = asInt(s, "EJ");
        r.descrip = s.getText("DESCRIP");
        r.fech1 = s.getDate("FECH1");
        r.fech2 = s.getDate("FECH2");
        r.suc = asInt(s, "SUC");
        r.ultfac = asInt(s, "ULTFAC");
        r.sal0 = s.getAmount("SAL0");
        r.sal1 = s.getAmount("SAL1");
        r.sal2 = s.getAmount("SAL2");
        r.deb1 = s.getAmount("DEB1");
        r.hab1 = s.getAmount("HAB1");
        r.fulldescrip = s.getText("FULLDESCRIP");
        rows.push_back(std::move(r));
    }
    return rows;
}

std::string BrowserDeleteRefusal(db::Transaction& tr, const AccountListRow& row, int selector) {
    if (row.subctas >= 1)
        return "No se puede borrar esta cuenta por tener " + std::to_string(row.subctas) +
               " subcuenta(s).";
    if (!tr.queryAmount("select sum(sal0) from psaldos(?, ?)", {row.cod, selector}).isZero())
        return "No se puede borrar esta cuenta por tener movimientos.";
    return {};
}

std::string DeleteQuestion(const AccountListRow& row) {
    return "Quiere borrar la cuenta [" + row.cod + " " + row.cuenta + "]?";
}

// ---- customer / provider data -------------------------------------------------------------

bool LoadPartyData(db::Transaction& tr, int idaux, PartyData& out) {
    db::Statement s = tr.prepare(
        "select id, respiva, loc, provincia, doc, dom, tel, cp, ib, gan, contacto, email, web, "
        "porib, poriva, porivan, codigos, calc, activ, deha from auxctas where id = ?");
    s.open({idaux});
    if (!s.next()) return false;
    out.id = asInt(s, "ID");
    out.respiva = s.getText("RESPIVA");
    out.loc = s.getText("LOC");
    out.provincia = s.getText("PROVINCIA");
    out.doc = s.getText("DOC");
    out.dom = s.getText("DOM");
    out.tel = s.getText("TEL");
    out.cp = s.getText("CP");
    out.ib = s.getText("IB");
    out.gan = s.getText("GAN");
    out.contacto = s.getText("CONTACTO");
    out.email = s.getText("EMAIL");
    out.web = s.getText("WEB");
    out.porib = s.getDouble("PORIB");
    out.codigos = s.getText("CODIGOS");
    out.calc = asInt(s, "CALC");
    out.activ = s.getText("ACTIV");
    out.deha = s.getText("DEHA");
    return true;
}

std::string PartyConceptsText(std::string_view activ, std::string_view deha) {
    static const char* names[12] = {"Neto", "IVA",  "IVA+", "ImpInt", "RetIVA", "PerIVA",
                                    "RetIB", "PerIB", "Otr1", "Otr2",   "Otr3",   "Tot"};
    std::string out;
    for (size_t i = 0; i < 12 && i < activ.size(); ++i) {
        if (activ[i] != '1') continue;
        const char side = i < deha.size() ? deha[i] : ' ';
        out += std::string(names[i]) + "(" + side + ") ";
    }
    return out;
}

// ---- amount texts -------------------------------------------------------------------------

std::string FormatAmount(Amount a) {
    const int64_t cents = a.cents();
    const uint64_t absCents = cents < 0 ? uint64_t(0) - uint64_t(cents) : uint64_t(cents);
    std::string units = std::to_string(absCents / 100);
    std::string grouped;
    for (size_t i = 0; i < units.size(); ++i) {
        if (i > 0 && (units.size() - i) % 3 == 0) grouped += '.';
        grouped += units[i];
    }
    const int c = static_cast<int>(absCents % 100);
    return (cents < 0 ? "-" : "") + grouped + "," + (c < 10 ? "0" : "") + std::to_string(c);
}

std::string FormatBalanceDC(Amount a, bool zeroText) {
    if (a.isZero()) return zeroText ? "0,00" : "";
    return FormatAmount(a.abs()) + (a.cents() > 0 ? " D" : " C");
}

std::string FormatDebitCredit(Amount a) {
    if (a.isZero()) return "";
    if (a.cents() < 0) return "(" + FormatAmount(a.abs()) + ")";
    return FormatAmount(a);
}

} // namespace kesh
