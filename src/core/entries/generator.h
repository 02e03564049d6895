#pragma once
// Fills a company with a realistic book for load tests and demonstrations: a chart of about
// 400 accounts in four levels (banks, 130 customers, 100 providers, taxes, payroll,
// expenses) and N balanced entries of 2 to 6 lines (sales, purchases, collections, payments,
// payroll, bank charges, transfers) spread over the fiscal year.
//
// The same seed gives the same company: every choice comes from one fixed pseudo-random
// sequence, never from the clock or the library's distributions. Entries go through the
// grid editor's save path (numbers, lines, fingerprint), in batches of one transaction.

#include <cstdint>
#include <functional>
#include <string>

namespace kesh::entries {

struct GeneratorOptions {
    uint64_t seed = 1;
    int entries = 1000;
    int year = 0;           // fiscal year id; 0: the first year, created (2026) when there is none
    int batch = 2000;       // entries per transaction
    std::function<void(int done)> progress;  // called after each batch
};

struct GeneratorResult {
    int year = 0;
    int accountsAdded = 0;  // 0 when the company already had a chart
    int imputable = 0;
    int entries = 0;
    int lines = 0;
    std::string busiestAccount;  // internal code of the account with the most lines
};

GeneratorResult Generate(const std::string& dsn, const GeneratorOptions& opts);

} // namespace kesh::entries
