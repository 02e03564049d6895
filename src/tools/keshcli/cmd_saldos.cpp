// keshcli saldos: rebuilds a company's stored final balances (pGenBalance), as the program
// does on closing with CalcBalance2, for batch work on many companies.
#include <iostream>

#include "accounts/balance.h"
#include "command.h"

namespace kesh::cli {
namespace {

int Run(const std::vector<std::string>& raw) {
    const Args args = ParseArgs(raw);
    if (args.positional.size() != 1) throw UsageError("falta la empresa");
    const int count = RecalculateBalances(args.positional[0]);
    const std::string message = BalanceUpdatedMessage(count);
    std::cout << (message.empty() ? "Los saldos del balance estaban al día." : message) << "\n";
    return 0;
}

const bool registered = RegisterCommand(
    {"saldos", "<empresa>", "recalcula los saldos del balance de la empresa", Run});

} // namespace
} // namespace kesh::cli
