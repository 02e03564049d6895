#pragma once
// The Firebird command-line tools (isql-fb, nbackup, gfix) and how we run them.
//
// The tools are found in the configured server folder (kesh.ini SysConfig FirebirdDir), else
// in $KESH_FIREBIRD_DIR, else on the system's PATH, where Debian installs isql as "isql-fb".
// They inherit our environment, so an embedded company is opened with the same private engine
// root (FIREBIRD, FIREBIRD_LOCK) the program uses and both can hold the file at once.

#include <string>
#include <vector>

namespace kesh {

// Full path of the tool `name` ("isql", "nbackup", "gfix"), or "" when it is nowhere.
// `firebirdDir` is the FirebirdDir setting (may be empty). Inside a server folder the tool is
// looked for in bin/ and in the folder itself, as "isql-fb" and "isql".
std::string FindFirebirdTool(const std::string& name, const std::string& firebirdDir);

struct ToolRun {
    bool started = false;  // false: the program could not be started at all
    int exitCode = -1;     // exit status; -1 when it ended by a signal or never started
    std::string output;    // standard output and standard error, interleaved
    bool ok() const { return started && exitCode == 0; }
};

// Starts argv[0] with the arguments argv[1..] (no shell, so no quoting problems), feeds it no
// input, collects its output and waits for its end.
ToolRun RunTool(const std::vector<std::string>& argv);

} // namespace kesh
