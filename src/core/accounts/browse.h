#pragma once
// What the accounts browser shows, read through the chart procedures: the accounts list
// (pbrcuentas), the ledger of one account (pMayor, pSaldosMayor), its balances per fiscal
// year (pSaldos3) and its customer/provider data (auxctas). Also the amount texts of the
// browser and the year selector the ledger procedures take.

#include <string>
#include <string_view>
#include <vector>

#include "app/amount.h"
#include "app/date.h"
#include "db/database.h"

namespace kesh {

// ---- accounts list ------------------------------------------------------------------------

// Class filter of the browser (also the `clase` argument of pbrcuentas).
enum class AccountClassFilter { All = -1, General = 0, Providers = 1, Customers = 2 };

// "TODAS LAS CUENTAS", "CUENTAS GENERICAS", "CUENTAS DE PROVEEDORES", "CUENTAS DE CLIENTES".
std::string AccountListTitle(AccountClassFilter filter);
// Section the browser moves to with a class filter: Proveedores 2, Clientes 1, else `current`.
int SectionForClassFilter(AccountClassFilter filter, int current);

// The search text as pbrcuentas takes it: a leading "*" asks for the text anywhere in the name
// (removed; anywhere = true); blanks trimmed. The procedure upper-cases it.
struct AccountSearch {
    bool anywhere = false;
    std::string text;
};
AccountSearch ParseAccountSearch(std::string_view typed);

struct AccountListQuery {
    int year = 0;           // CurrentEj.id; 0 when no amounts are needed
    bool imputableOnly = false;
    AccountClassFilter clase = AccountClassFilter::All;
    int section = 0;        // 0 all, 1..9 the level-1 account of that number
    std::string search;     // as typed (see ParseAccountSearch)
};

struct AccountListRow {
    int nro = 0;
    std::string cod;        // display code
    std::string cuenta;
    std::string cuenta2;
    std::string moneda;
    std::string fullpath;
    int niv = 1;
    int aju = 0;
    int subctas = 0;
    int clase = 0;
    std::string sclase;
    int idaux = 0;
    bool imp = false;
    Amount inicio, debe, haber, saldo, final;
    std::string token;
};
std::vector<AccountListRow> LoadAccountList(db::Transaction& tr, const AccountListQuery& q);

// ---- one account --------------------------------------------------------------------------

// The year selector of the ledger and balance procedures: -2 when the company has no fiscal
// year, 0 when some year is ticked, else the current year's id.
int YearSelector(db::Transaction& tr, int currentYearId);

// How a ledger row is coloured: the year's opening entry, result-closing or closing entry.
enum class LedgerEntryKind { Ordinary, Opening, ResultClosing, Closing };

struct LedgerRow {
    Date fech;
    int idej = 0;
    int nro = 0;
    std::string descripasi;
    std::string detall;
    Amount debe, haber, saldo;
    int idasi = 0, idtip = 0, clase = 0, idaux = 0, coleg = 0, nrec = 0;
    LedgerEntryKind kind = LedgerEntryKind::Ordinary;
};
std::vector<LedgerRow> LoadLedger(db::Transaction& tr, std::string_view code, int selector);

struct LedgerTotals {
    Amount debe, haber, saldo;
};
LedgerTotals LoadLedgerTotals(db::Transaction& tr, std::string_view code, int selector);

// A ledger balance that differs from the list's FINAL by more than 0.009 means the stored
// balances are stale (imputable accounts only).
bool BalanceIsStale(bool imputable, Amount ledgerBalance, Amount storedFinal);

struct YearBalanceRow {
    int ej = 0;
    std::string descrip;
    Date fech1, fech2;
    int suc = 0, ultfac = 0;
    Amount sal0, sal1, sal2, deb1, hab1;
    std::string fulldescrip;
};
std::vector<YearBalanceRow> LoadYearBalances(db::Transaction& tr, std::string_view code,
                                             int selector);

// Why the browser refuses to delete a row before the chart's own checks: subaccounts, or a
// balance in the selected years (pSaldos on the row's display code). "" when it may go on.
std::string BrowserDeleteRefusal(db::Transaction& tr, const AccountListRow& row, int selector);
// "Quiere borrar la cuenta [1.1.1.1 Caja]?"
std::string DeleteQuestion(const AccountListRow& row);

// ---- customer / provider data -------------------------------------------------------------

struct PartyData {
    int id = 0;
    std::string respiva, loc, provincia, doc, dom, tel, cp, ib, gan, contacto, email, web;
    double porib = 0;   // stored as the percentage times 100
    std::string codigos;
    int calc = 0;
    std::string activ, deha;
};
// false when there is no such record.
bool LoadPartyData(db::Transaction& tr, int idaux, PartyData& out);
// "Neto(D) IVA(D) Tot(C) ": the ticked concepts with their sides.
std::string PartyConceptsText(std::string_view activ, std::string_view deha);

// ---- amount texts -------------------------------------------------------------------------

// "1.234,56" (thousands ".", decimals ","), sign kept.
std::string FormatAmount(Amount a);
// Balance columns: "1.234,56 D" / "1.234,56 C"; "" for zero (or "0,00" when zeroText).
std::string FormatBalanceDC(Amount a, bool zeroText = false);
// Debit and credit columns: "1.234,56", "(1.234,56)" when negative, "" for zero.
std::string FormatDebitCredit(Amount a);

} // namespace kesh
