#include "app/maintenance.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <set>
#include <sstream>

#include "app/context.h"
#include "app/fbtools.h"
#include "db/database.h"

namespace fs = std::filesystem;

namespace kesh {

const std::vector<std::string> kUpdateScripts = {"Dat_0108.sql",   "DatCuadBal.sql",
                                                 "Dat_010509.SQL", "Pro_0509E.SQL",
                                                 "dayofweek.sql",  "Pro_0609.sql"};
const std::vector<std::string> kSetupScripts = {"Dat_010509.sql", "Pro_080510E.SQL",
                                                "Pro_Balance.SQL"};

namespace {

bool isCompanyFile(const fs::directory_entry& e) {
    std::error_code ec;
    if (!e.is_regular_file(ec)) return false;
    std::string name = e.path().filename().string();
    if (name.size() < 5 || name[0] == '.') return false;
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".vrn";
}

std::vector<fs::path> sortedEntries(const fs::path& dir) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) out.push_back(it->path());
    std::sort(out.begin(), out.end());
    return out;
}

void addCompaniesOf(const fs::path& dir, std::vector<std::string>& out) {
    for (const auto& p : sortedEntries(dir))
        if (isCompanyFile(fs::directory_entry(p))) out.push_back(p.string());
}

void addSubfolderCompanies(const fs::path& dir, std::vector<std::string>& out) {
    for (const auto& p : sortedEntries(dir)) {
        std::error_code ec;
        const auto st = fs::symlink_status(p, ec);
        if (ec || !fs::is_directory(st)) continue;
        if (p.filename().string().rfind('.', 0) == 0) continue;
        addCompaniesOf(p, out);
    }
}

} // namespace

std::vector<std::string> CompanyFiles(const std::string& dataDir, FolderOrder order) {
    std::vector<std::string> out;
    if (order == FolderOrder::SubfoldersFirst) {
        addSubfolderCompanies(dataDir, out);
        addCompaniesOf(dataDir, out);
    } else {
        addCompaniesOf(dataDir, out);
        addSubfolderCompanies(dataDir, out);
    }
    return out;
}

std::vector<std::string> IsqlCommand(const std::string& isqlTool, const std::string& script,
                                     const std::string& company) {
    // -bail: stop at the first failing statement and exit with status 1, so a failure can be
    // told from a success (without it the tool goes on and exits 0 or 1 by its last statement).
    return {isqlTool, "-bail", "-q", "-u", db::Connection::kUser, "-pas", db::Connection::kPassword,
            "-i", script, company};
}

std::string CommandLineText(const std::vector<std::string>& argv) {
    std::string line;
    for (const auto& a : argv) {
        if (!line.empty()) line += ' ';
        const bool quote = a.empty() || a.find_first_of(" \t\"'") != std::string::npos || a.find('/') != std::string::npos;
        line += quote ? "\"" + a + "\"" : a;
    }
    return line;
}

std::string ScriptRun::errorLine() const {
    if (!started) return "no se pudo iniciar la herramienta de Firebird";
    // The tool prints "Statement failed, SQLSTATE = ..." and then the engine's text; the text
    // is what tells the user something.
    std::istringstream in(output);
    std::string line;
    std::string first;
    bool afterFailed = false;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        if (first.empty()) first = line;
        if (line.rfind("Statement failed", 0) == 0) {
            afterFailed = true;
            continue;
        }
        if (afterFailed) return line;
    }
    return first.empty() ? "la herramienta terminó con error" : first;
}

bool UpdateReport::allOk() const {
    if (isqlTool.empty()) return false;
    return std::all_of(runs.begin(), runs.end(), [](const ScriptRun& r) { return r.ok; });
}

std::string UpdateReport::failureText() const {
    if (isqlTool.empty())
        return "No se encuentra la herramienta isql de Firebird: revise FirebirdDir en kesh.ini. "
               "No se actualizó ninguna base.";
    std::string text;
    for (const auto& r : runs) {
        if (r.ok) continue;
        if (!text.empty()) text += "\n";
        if (r.skipped)
            text += "No se aplicó el script " + r.script + " a la empresa " + r.company +
                    " porque falló un script anterior.";
        else
            text += "El script " + r.script + " falló en la empresa " + r.company + ": " + r.errorLine();
    }
    return text;
}

namespace {

// Every script over every company, script by script. `onlyPresent` skips a script file that
// does not exist (the program's update); otherwise the tool is run and reports it missing.
UpdateReport runScripts(const std::string& appDir, const std::vector<std::string>& scripts,
                        const std::vector<std::string>& companies, bool onlyPresent,
                        const std::string& isqlTool,
                        const std::function<void(const ScriptRun&)>& progress) {
    UpdateReport report;
    report.isqlTool = isqlTool;
    if (isqlTool.empty()) return report;
    // The tool must open embedded files with the program's engine root, or it would wait on
    // (or lock out) the program that holds the same file.
    db::PrepareEngine();
    std::set<std::string> failed;
    for (const auto& script : scripts) {
        const fs::path scriptPath = fs::path(appDir) / script;
        std::error_code ec;
        if (onlyPresent && !fs::is_regular_file(scriptPath, ec)) continue;
        for (const auto& company : companies) {
            ScriptRun run;
            run.script = script;
            run.company = company;
            run.command = IsqlCommand(isqlTool, scriptPath.string(), company);
            if (failed.count(company)) {
                run.skipped = true;
                report.runs.push_back(run);
                continue;
            }
            if (progress) progress(run);
            const ToolRun t = RunTool(run.command);
            run.started = t.started;
            run.ok = t.ok();
            run.output = t.output;
            if (!run.ok) failed.insert(company);
            report.runs.push_back(std::move(run));
        }
    }
    return report;
}

} // namespace

UpdateReport UpdateAllCompanies(const std::string& appDir, const std::string& isqlTool,
                                const std::function<void(const ScriptRun&)>& progress) {
    return runScripts(appDir, kUpdateScripts,
                      CompanyFiles(DataDir(appDir), FolderOrder::SubfoldersFirst), true, isqlTool,
                      progress);
}

std::string SetupLogPath(const std::string& appDir) { return DataDir(appDir) + "/log.txt"; }

UpdateReport RunSetupScripts(const std::string& appDir, const std::string& isqlTool) {
    const std::string logPath = SetupLogPath(appDir);
    std::ofstream log(logPath, std::ios::trunc);
    if (!log) throw std::runtime_error("No se puede crear " + logPath);
    const UpdateReport report =
        runScripts(appDir, kSetupScripts, CompanyFiles(DataDir(appDir), FolderOrder::DataFolderFirst),
                   false, isqlTool, {});
    if (isqlTool.empty()) log << "Err: no se encuentra la herramienta isql de Firebird\n";
    for (const auto& r : report.runs) {
        log << (r.ok ? "Ok:  " : "Err: ") << "CreateProcessSimple(" << CommandLineText(r.command) << ");";
        if (r.skipped)
            log << " no ejecutado: falló un script anterior en esta empresa";
        else if (!r.ok)
            log << " " << r.errorLine();
        log << "\n";
    }
    log.close();
    if (!log) throw std::runtime_error("No se puede escribir " + logPath);
    return report;
}

} // namespace kesh
