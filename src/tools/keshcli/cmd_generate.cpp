// keshcli generate: a realistic company book for load tests (chart and balanced entries).
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "command.h"
#include "entries/entries.h"
#include "entries/generator.h"

namespace kesh::cli {
namespace {

int ToInt(const std::string& text, const char* what) {
    try {
        size_t used = 0;
        long long v = std::stoll(text, &used);
        if (used != text.size() || v < 0 || v > 100'000'000) throw std::invalid_argument(text);
        return int(v);
    } catch (const std::exception&) {
        throw UsageError(std::string(what) + " no es un número válido: " + text);
    }
}

int Run(const std::vector<std::string>& argv) {
    Args a = ParseArgs(argv, {"renumerar"});
    if (a.positional.size() != 1) throw UsageError("falta la empresa");
    entries::GeneratorOptions o;
    o.entries = ToInt(a.get("asientos", "1000"), "--asientos");
    o.seed = uint64_t(ToInt(a.get("semilla", "1"), "--semilla"));
    o.year = ToInt(a.get("ejercicio", "0"), "--ejercicio");
    o.batch = std::max(1, ToInt(a.get("lote", "2000"), "--lote"));
    o.progress = [&](int done) {
        std::fprintf(stderr, "\r%d / %d asientos", done, o.entries);
        std::fflush(stderr);
    };
    entries::GeneratorResult r = entries::Generate(a.positional[0], o);
    std::fprintf(stderr, "\n");
    if (a.has("renumerar")) entries::Renumber(a.positional[0], r.year, 1, true);
    std::printf("ejercicio %d: %d cuentas agregadas (%d imputables), %d asientos, %d pases; "
                "cuenta con más pases %s\n",
                r.year, r.accountsAdded, r.imputable, r.entries, r.lines, r.busiestAccount.c_str());
    return 0;
}

const bool registered = RegisterCommand(
    {"generate",
     "EMPRESA [--asientos N] [--semilla S] [--ejercicio ID] [--lote N] [--renumerar]",
     "Genera un plan de cuentas realista (si la empresa no tiene) y N asientos balanceados de 2 a 6 "
     "pases, siempre iguales para la misma semilla.",
     Run});

} // namespace
} // namespace kesh::cli
