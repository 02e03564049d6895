#pragma once
// The application context: what the main window holds for the whole run and every screen
// reads (installation folder, open company, logged-in user, current fiscal year), and the
// fixed names of the installation folder.

#include <string>

#include "app/date.h"
#include "app/settings.h"

namespace kesh {

// A row of ejerc. id 0 means "no current fiscal year".
struct FiscalYear {
    int id = 0;
    std::string descrip;
    Date fech1;
    Date fech2;
    char activ = '-'; // '+' when the year is ticked in the list of years
    int suc = 0;
    int ultfac = 0;
    int idrefun = 0;  // result-closing entry, 0 = none
    int idcierre = 0; // closing entry, 0 = none

    bool ticked() const { return activ == '+'; }
    // No entry may be added to or changed in a closed year.
    bool closed() const { return idrefun != 0 || idcierre != 0; }
};

// The empresa row as the main window shows it.
struct CompanyData {
    std::string nombre;
    std::string domicilio;
    std::string ciudad;
    std::string codpostal;
    std::string telefonos;
    std::string cuit;
    std::string ingbrut;
    std::string ganancias;
    std::string obs;
    std::string logo;
    std::string email;
    int nctasmode = 0;
    int nasimode = 0;
    int nasiclase = 0;
    int sucursal = 0;
    int nivel = 0; // level rule of the chart: 0 none, else 3..5
};

// Bounds of the chart and the account range and period of the report dialogs. Codes are
// internal codes.
struct ReportRange {
    std::string firstCode;
    std::string firstName;
    std::string lastCode;
    std::string lastName;
    std::string fromCode;
    std::string toCode;
    Date fromDate;
    Date toDate;
};

struct AppContext {
    std::string appDir;
    std::string companyPath; // local file path, or host:path on a server
    int userIndex = 0;       // 0 supervisor, 1..6 operators
    int userLevel = 0;       // 0 no restriction .. 4 most restricted
    std::string userName;
    FiscalYear currentEj;
    CompanyData companyData;
    ReportRange reportRange;
    bool accountsBrowserOpen = false;
    bool entriesBrowserOpen = false;
    Settings settings;
};

// ---- fixed names inside the installation folder ---------------------------------------

std::string DataDir(const std::string& appDir);            // appDir/Datos
std::string DemoCompanyPath(const std::string& appDir);    // appDir/Datos/demo.vrn
std::string KeshIniPath(const std::string& appDir);        // appDir/kesh.ini
std::string LocalListPath(const std::string& appDir);      // appDir/Locallist.ini
std::string RemoteListPath(const std::string& appDir);     // appDir/Remotelist.ini
std::string BackupDir(const std::string& appDir);          // appDir/RESPALDOS
std::string EmptyTemplatePath(const std::string& appDir);  // appDir/kesh0.fdb
std::string DemoTemplatePath(const std::string& appDir);   // appDir/demo0.fdb
std::string ReportIniPath(const std::string& appDir);      // appDir/report.ini

inline constexpr const char* kEmptyTemplateName = "kesh0.fdb";
inline constexpr const char* kDemoTemplateName = "demo0.fdb";

// Folder of the running program file.
std::string ProgramDir();

// The installation folder for a program in programDir:
//   $KESH_HOME when set (created when missing);
//   else programDir when the user may write there;
//   else $XDG_DATA_HOME/kesh2 (default ~/.local/share/kesh2), created and seeded from the
//   program's files (SeedAppDir) so a system-wide install gives every user a working one.
// Throws std::runtime_error when the folder cannot be created.
std::string ResolveAppDir(const std::string& programDir);

// Copies into appDir the templates and the *.sql update scripts it lacks, taken from
// sourceDir or, for an installed program, from sourceDir/../share/kesh2. Existing files
// are never replaced: they may be the user's.
void SeedAppDir(const std::string& appDir, const std::string& sourceDir);

// The operator store: $XDG_CONFIG_HOME/kesh2/users.ini (default ~/.config/kesh2/users.ini),
// section "Users". The folder is not created here.
std::string UsersIniPath();

} // namespace kesh
