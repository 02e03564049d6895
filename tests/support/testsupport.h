#pragma once
// Scratch folders and company files for tests. Everything is made under one temporary folder
// per test program and removed at exit, unless KESH_KEEP_TEST_FILES is set.

#include <filesystem>
#include <string>

namespace kesh::test {

// A new empty folder for this test.
std::filesystem::path ScratchDir(const std::string& name);
// Folder of the built programs, templates and update scripts.
std::filesystem::path AppDir();
// A fresh copy of a template ("kesh0.fdb" or "demo0.fdb") named `name`.vrn in a scratch folder.
std::string CopyTemplate(const std::string& templateName, const std::string& name);
// The loopback server the test command started ("localhost/<port>"), or "" when none.
std::string ServerHost();
// How a file is named on that server ("localhost/3057:/abs/path").
std::string ServerName(const std::string& localPath);

} // namespace kesh::test
