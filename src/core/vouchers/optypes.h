#pragma once
// Operation types: user-defined labels that classify vouchers, one list for purchases
// (tip "C") and one for sales (tip "V"), in table TipOper. A voucher keeps its type in
// auxasi.idtipop and a party its default in auxctas.idtipoper; 0 means none.

#include <string>
#include <vector>

#include "vouchers/concepts.h"

namespace kesh::db {
class Transaction;
}

namespace kesh::vouchers {

inline constexpr const char* kNoOperationType = "No definido";
inline constexpr std::size_t kOperationTypeWidth = 60;

struct OperationType {
    int id = 0;
    char tip = 'C';
    std::string descrip;
};

// The types of one side ('C' or 'V'), ordered by description.
std::vector<OperationType> ListOperationTypes(db::Transaction& tr, char tip);

// The description as it will be stored: trimmed and cut to 60 characters. An apostrophe
// is kept as typed (values are bound, never spliced into the statement).
std::string CleanOperationTypeText(const std::string& text);

// Each returns the refusal message, or an empty text when done. An empty description is
// refused; the new id is written to *newId when given.
std::string AddOperationType(db::Transaction& tr, char tip, const std::string& descrip,
                             int* newId = nullptr);
std::string ChangeOperationType(db::Transaction& tr, int id, const std::string& descrip);
// Refused while a voucher uses the type: "No se puede borrar por existir comprobantes que
// que lo utilizan." (the doubled word is the program's own text).
std::string DeleteOperationType(db::Transaction& tr, int id);
// Vouchers whose operation type is id.
int VouchersUsingOperationType(db::Transaction& tr, int id);

// "No definido" for 0; otherwise the stored description, empty when the row is gone.
std::string OperationTypeDescription(db::Transaction& tr, int id);
std::string OperationTypeDescription(const std::string& dsn, int id);

// The maintenance process "Asignar Tipo de Operación a Comprobantes": every voucher without
// an operation type takes its party's default, when the party has an auxctas row with one.
// Vouchers that already have a type are left alone. Returns the vouchers changed.
int AssignOperationTypes(db::Transaction& tr);
int AssignOperationTypes(const std::string& dsn);

}  // namespace kesh::vouchers
