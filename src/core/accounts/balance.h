#pragma once
// The stored final balances (table balance), rebuilt from the entry lines by pGenBalance.
// Callers: the "PROCESOS UTILES" dialog, the accounts browser when it saw a stale balance
// (CalcBalance0), the Balance report (CalcBalance1) and the end of the program (CalcBalance2).

#include <string>

#include "db/database.h"

namespace kesh {

inline constexpr const char* kRecalcWaitCaption = "Espere por favor...";
inline constexpr const char* kRecalcWaitText = "Recalculando saldos del balance...";

// Runs pGenBalance; returns how many balance rows it had to insert, change or remove.
int RecalculateBalances(db::Transaction& tr);
// The same on a per-operation connection to `dsn`, committed.
int RecalculateBalances(const std::string& dsn);

// "se actualizaron N registros del balance." for N > 0; "" when nothing changed.
std::string BalanceUpdatedMessage(int count);

} // namespace kesh
