#include "accounts/balance.h"

namespace kesh {

int RecalculateBalances(db::Transaction& tr) {
    return static_cast<int>(tr.queryInt("select cnt from pGenBalance"));
}

int RecalculateBalances(const std::string& dsn) {
    try {
        return db::WithTransaction(dsn, [](db::Transaction& tr) { return RecalculateBalances(tr); });
    } catch (const db::DbError& e) {
        throw e.withContext("al recalcular los saldos del balance");
    }
}

std::string BalanceUpdatedMessage(int count) {
    if (count <= 0) return {};
    return "se actualizaron " + std::to_string(count) + " registros del balance.";
}

} // namespace kesh
