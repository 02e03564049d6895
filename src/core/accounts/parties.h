#pragma once
// Customers and providers: accounts of class 1 (provider) or 2 (customer) whose cuentas.idaux
// points to their auxctas row with the address and tax data, the default operation type and
// the per-concept billing setup the voucher screen starts from.
//
// Per-concept lists of auxctas, in concept-number order (1..12):
//   activ    12 characters, "1" ticked, "0" not
//   deha     12 characters, "D" or "C"
//   codigos  12 fields of 20: the internal code of the party's own account for the concept,
//            blanks when the party has none (the company's account applies) or is unticked.

#include <array>
#include <optional>
#include <string>

namespace kesh::db {
class Transaction;
}

namespace kesh::accounts {

inline constexpr int kClassGeneral = 0;
inline constexpr int kClassProvider = 1;
inline constexpr int kClassCustomer = 2;
inline constexpr int kClassStudent = 3;

// VAT categories: responsable inscripto, monotributista, consumidor final.
inline constexpr std::array<const char*, 3> kVatCategories = {"RI", "MT", "CF"};

struct PartyConcept {
    bool active = false;
    char side = 'D';
    std::string code;  // internal code of the party's own account; empty = the company's
};

struct Party {
    // cuentas
    std::string code;  // internal code
    std::string name;
    std::string token;
    int ajus = 0;
    bool imputable = true;
    int clase = kClassProvider;
    int auxId = 0;  // cuentas.idaux, 0 for none
    // auxctas
    std::string respiva = "RI";
    std::string loc;
    std::string provincia;
    std::string doc;  // CUIT as typed
    std::string dom;
    std::string tel;
    std::string cp;
    std::string ib;
    std::string gan;
    std::string contacto;
    std::string email;
    std::string web;
    int ibRate = 0;  // gross-income rate in hundredths of a percent (350 = 3.50 %)
    int calc = 0;    // 0 Total entered, 1 Neto entered, 2 no automatic calculation
    int idtipoper = 0;
    std::array<PartyConcept, 12> concepts;

    PartyConcept& conceptAt(int number) { return concepts[std::size_t(number - 1)]; }
    const PartyConcept& conceptAt(int number) const { return concepts[std::size_t(number - 1)]; }
};

// A new party of class 1 or 2 with the default sides: a provider debits concepts 1..11 and
// credits the total, a customer the reverse.
Party NewParty(int clase);

// The three per-concept lists as stored.
struct PartyConceptLists {
    std::string activ;
    std::string deha;
    std::string codigos;
};
PartyConceptLists FormatPartyConcepts(const Party& party);
// Reads the lists into the party; positions missing from a short list stay unticked and keep
// their side.
void ParsePartyConcepts(const PartyConceptLists& lists, Party& party);

// porib holds the percentage times 100 with two decimals: 3.5 % is stored as 350.00.
// The stored NUMERIC(9,2) value in centavos <-> the rate in hundredths of a percent.
int IbRateFromStored(long long storedCents);
long long IbRateToStoredCents(int ibRate);

// The party of an account, with its auxctas data when it has a row; nothing when no account
// has that code (internal or display form).
std::optional<Party> LoadParty(db::Transaction& tr, const std::string& code);

// Why the party cannot be saved, or empty (class, VAT category, rate, mode, field widths).
std::string CheckParty(const Party& party);

// Creates the account and its auxctas row in one go, after the new-account validation of
// the chart ("La Cuenta ya existe.", missing or imputable parent, mixed kinds). Fills
// party.auxId. A ticked Total without an account of its own gets the new account itself.
// Returns the refusal message or an empty text.
std::string CreateParty(db::Transaction& tr, Party& party);
// Saves name, abbreviation, adjustment index, class, kind and the auxctas data of an
// existing account. An account that has no auxctas row yet gets one, so nothing typed is
// lost. Returns the refusal message or an empty text.
std::string ChangeParty(db::Transaction& tr, Party& party);

}  // namespace kesh::accounts
