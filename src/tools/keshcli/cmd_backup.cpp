// keshcli respaldo / restaurar: the backup and restore of the "Utilidades" menu, for nightly
// copies of companies kept on a server (run on the machine that holds the files).
#include <iostream>

#include "app/backup.h"
#include "app/date.h"
#include "app/fbtools.h"
#include "command.h"

namespace kesh::cli {
namespace {

int Backup(const std::vector<std::string>& raw) {
    const Args args = ParseArgs(raw);
    if (args.positional.size() != 2) throw UsageError("faltan la empresa y la carpeta");
    const std::string archive =
        CreateBackup(args.positional[0], args.positional[1], Clock::today(),
                     FindFirebirdTool("nbackup", args.get("firebird")));
    std::cout << archive << "\n";
    return 0;
}

int Restore(const std::vector<std::string>& raw) {
    const Args args = ParseArgs(raw, {"reemplazar"});
    if (args.positional.size() != 2) throw UsageError("faltan el respaldo y la carpeta");
    const RestoreResult r =
        RestoreBackup(args.positional[0], args.positional[1], args.has("reemplazar"));
    if (r.status == RestoreStatus::Exists) {
        for (const std::string& f : r.existing)
            std::cerr << "keshcli restaurar: ya existe " << f
                      << " (use --reemplazar para reemplazarlo)\n";
        return 1;
    }
    for (const std::string& f : r.restored) std::cout << f << "\n";
    return 0;
}

const bool registeredBackup = RegisterCommand(
    {"respaldo", "<empresa> <carpeta> [--firebird carpeta-de-herramientas]",
     "respalda la empresa en carpeta/<nombre>DD-MM-AAAA.zip (la de hoy se reemplaza) y muestra "
     "su ruta",
     Backup});
const bool registeredRestore = RegisterCommand(
    {"restaurar", "<respaldo.zip> <carpeta> [--reemplazar]",
     "recupera las empresas del respaldo en la carpeta; sin --reemplazar no toca una que ya "
     "exista",
     Restore});

} // namespace
} // namespace kesh::cli
