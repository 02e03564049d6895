// keshsetup: run once after installing or upgrading the program. Brings every company file of
// the installation's data folder up to date with the shipped update scripts and writes
// Datos/log.txt.
//
// There is no function library to copy into the server: the one function the company SQL calls
// (f_lrtrim) is defined inside each company database.

#include <cstdio>
#include <exception>

#include "app/context.h"
#include "app/fbtools.h"
#include "app/maintenance.h"
#include "app/settings.h"
#include "app/termination.h"

int main() {
    kesh::ExitOnTermination();
    try {
        const std::string appDir = kesh::ResolveAppDir(kesh::ProgramDir());
        const kesh::Settings settings = kesh::LoadSettings(kesh::KeshIniPath(appDir));
        const std::string isql = kesh::FindFirebirdTool("isql", settings.FirebirdDir);
        const kesh::UpdateReport report = kesh::RunSetupScripts(appDir, isql);
        if (!report.allOk()) {
            std::fprintf(stderr, "%s\n", report.failureText().c_str());
            return 1;
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "keshsetup: %s\n", e.what());
        return 2;
    }
}
