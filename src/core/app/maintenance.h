#pragma once
// Bringing every company file of the installation up to date with the update scripts.
//
// The scripts (generated from sql/ by the build, shipped in the installation folder) are run
// with the Firebird command-line tool over every *.vrn of the data folder and of its direct
// subfolders. Each run uses -bail and its exit status is checked, so a script that fails is
// reported with the script and the company it failed on; the other companies are still
// updated. A company that failed one script gets none of the later ones, which build on it.

#include <functional>
#include <string>
#include <vector>

namespace kesh {

// The scripts of "Actualizar bases de datos...", in their fixed order; each runs only when
// present in the installation folder.
extern const std::vector<std::string> kUpdateScripts;
// The scripts keshsetup runs, in order, present or not.
extern const std::vector<std::string> kSetupScripts;

// Company files (*.vrn, any case) of `dataDir`: the files of each subfolder (names not
// starting with ".", symbolic links not followed, one level only) and the files of the
// folder itself. Subfolders and files are taken in name order.
enum class FolderOrder { SubfoldersFirst, DataFolderFirst };
std::vector<std::string> CompanyFiles(const std::string& dataDir, FolderOrder order);

// The tool's command line for one script over one company.
std::vector<std::string> IsqlCommand(const std::string& isqlTool, const std::string& script,
                                     const std::string& company);
// The same as one line of text, for logs and messages (paths between double quotes).
std::string CommandLineText(const std::vector<std::string>& argv);

struct ScriptRun {
    std::string script;   // file name
    std::string company;  // full path
    std::vector<std::string> command;
    bool started = false;
    bool ok = false;
    bool skipped = false; // not run: an earlier script failed on this company
    std::string output;   // what the tool printed
    // The first line of the tool's message that says what went wrong.
    std::string errorLine() const;
};

struct UpdateReport {
    std::string isqlTool;  // "" when the tool was not found
    std::vector<ScriptRun> runs;
    bool allOk() const;
    // The failures, one Spanish paragraph each ("El script X falló en la empresa Y: ..."),
    // empty when every run worked.
    std::string failureText() const;
};

// "Actualizar bases de datos...": runs the present scripts of kUpdateScripts found in
// `appDir` over the companies of appDir/Datos (subfolders first). `progress`, when given, is
// told each run before it starts. The caller closes its own connection to the open company
// first. Never throws for a failing company; the report says what happened.
UpdateReport UpdateAllCompanies(const std::string& appDir, const std::string& isqlTool,
                                const std::function<void(const ScriptRun&)>& progress = {});

// keshsetup: appDir/Datos/log.txt.
std::string SetupLogPath(const std::string& appDir);

// keshsetup: the three kSetupScripts, present or not, over the data folder's companies (the
// data folder first, then its subfolders), writing one line per run to SetupLogPath:
// "Ok:  CreateProcessSimple(<command line>);" when the script ran without error, "Err: " and
// the same, followed by the tool's error, when it did not start or failed. The log keeps the
// lines of all three scripts, so an early failure is not lost. Throws std::runtime_error when
// the log cannot be written (no data folder).
UpdateReport RunSetupScripts(const std::string& appDir, const std::string& isqlTool);

} // namespace kesh
