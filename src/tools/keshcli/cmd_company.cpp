// keshcli new-company / check: create a company file from the empty template, and look into one.
#include <cstdio>
#include <filesystem>

#include "app/context.h"
#include "app/date.h"
#include "command.h"
#include "db/company.h"

namespace kesh::cli {
namespace {

int NewCompany(const std::vector<std::string>& argv) {
    const Args a = ParseArgs(argv);
    if (a.positional.size() != 1) throw UsageError("indique un único archivo de empresa");
    const std::string name = a.get("name");
    if (name.empty()) throw UsageError("falta --name con el nombre de la empresa");
    std::filesystem::path target = std::filesystem::absolute(a.positional[0]);
    if (target.extension() != ".vrn") target += ".vrn";

    CompanyData d;
    d.nombre = name;
    d.cuit = a.get("cuit");
    std::optional<db::NewYear> year;
    if (a.has("ejercicio") || a.has("desde") || a.has("hasta")) {
        const auto f1 = Date::parseDisplay(a.get("desde"));
        const auto f2 = Date::parseDisplay(a.get("hasta"));
        if (!f1 || !f2) throw UsageError("--desde y --hasta deben ser fechas dd/mm/aaaa");
        year = db::NewYear{a.get("ejercicio", "Ejercicio " + std::to_string(f1->year())), *f1, *f2};
    }
    if (std::string msg = db::CheckNewCompany(target.string(), d, year); !msg.empty()) {
        std::fprintf(stderr, "keshcli new-company: %s\n", msg.c_str());
        return 1;
    }
    const std::string tmpl = a.get("plantilla", EmptyTemplatePath(ProgramDir()));
    db::CreateCompany(tmpl, target.string(), d, year);
    std::printf("Empresa creada: %s\n", target.c_str());
    return 0;
}

int Check(const std::vector<std::string>& argv) {
    const Args a = ParseArgs(argv);
    if (a.positional.size() != 1) throw UsageError("indique un único archivo de empresa");
    const std::string dsn = a.positional[0];
    if (!db::IsRemoteCompany(dsn) && !std::filesystem::is_regular_file(dsn)) {
        std::fprintf(stderr, "keshcli check: no existe el archivo %s\n", dsn.c_str());
        return 1;
    }
    const db::CompanySummary s = db::SummarizeCompany(dsn);
    const db::CompanyRecord r = db::ReadCompanyRecord(dsn);
    std::printf("empresa: %s\nversión del esquema: %d\n", r.data.nombre.c_str(), s.schemaVersion);
    for (const auto& [table, rows] : s.tableRows)
        std::printf("%-10s %lld\n", table.c_str(), static_cast<long long>(rows));
    return 0;
}

const bool registered =
    RegisterCommand({"new-company",
                     "<archivo.vrn> --name \"Nombre\" [--cuit X] [--ejercicio D --desde dd/mm/aaaa "
                     "--hasta dd/mm/aaaa] [--plantilla kesh0.fdb]",
                     "crea una empresa desde la plantilla kesh0.fdb (nunca reemplaza un archivo existente)",
                     NewCompany}) &&
    RegisterCommand({"check", "<archivo.vrn | servidor:ruta>",
                     "muestra la versión del esquema y la cantidad de filas de las tablas principales",
                     Check});

} // namespace
} // namespace kesh::cli
