#pragma once
// Backups of a company: a zip archive holding the company file, and the restore from one.
//
// A company file in use cannot be copied byte for byte: the engine (or another user on the
// server) may be writing pages while we read them, and the copy would be torn. So the file is
// first frozen with the engine's backup lock (`alter database begin backup`: from then on every
// write goes to a side file and the main file stays as it was at that instant), copied, and
// unfrozen; the copy still says "frozen" in its header, which `nbackup -F` clears. The archive
// then holds a normal, openable company file, and a restore is a plain extraction.
//
// Failures are BackupError with the Spanish message to show; nothing half-written is left
// behind (the archive is written through a temporary file and renamed by libzip).

#include <stdexcept>
#include <string>
#include <vector>

#include "app/date.h"

namespace kesh {

class BackupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// base + DD-MM-YYYY + ".zip": base is the file name without its last 4 characters (".vrn").
// "/x/demo.vrn" on 9/12/2026 gives "demo09-12-2026.zip".
std::string BackupArchiveName(const std::string& companyPath, Date day);

// The local file of a company name: the path itself, or for "localhost:/p" (a server on this
// machine) the part after the colon when that file can be read here; "" when the file lives
// on another machine.
std::string LocalCompanyFile(const std::string& dsn);

// Copies the company `dsn` (whose file is `localFile`) to `dest` while the file is frozen, then
// clears the frozen state of the copy with `nbackupTool`. `dest` is replaced. Used by the
// backup and by the daily copy on close.
void FrozenCopy(const std::string& dsn, const std::string& localFile, const std::string& dest,
                const std::string& nbackupTool);

// "Crear respaldo...": writes folder/BackupArchiveName(dsn, today) holding one entry, the
// company file under its bare name, deflated at level 9. An archive of that name from earlier
// the same day gets its entry replaced. Returns the archive path.
std::string CreateBackup(const std::string& dsn, const std::string& folder, Date today,
                         const std::string& nbackupTool);

// Entries of an archive whose names end in ".vrn" (any case), as stored.
struct ArchiveContents {
    int entryCount = 0;
    std::vector<std::string> companies;
};
// Throws BackupError when the file is missing or is not a zip archive.
ArchiveContents ReadArchive(const std::string& archivePath);

enum class RestoreStatus {
    Restored,  // every company file of the archive was written into the folder
    Exists,    // nothing written: these files are already there (see `existing`)
};
struct RestoreResult {
    RestoreStatus status = RestoreStatus::Restored;
    std::vector<std::string> restored;  // full paths written
    std::vector<std::string> existing;  // full paths that would be replaced
};

// "Recuperar Respaldo...": extracts every .vrn entry of the archive into `folder` (under its
// bare name: folder names inside the archive are dropped, so an entry cannot land elsewhere).
// Without `overwrite`, an existing file stops the restore before anything is written.
// Each file is extracted beside its target under a temporary name, checked (CRC, and the
// engine can open it) and only then renamed over the target.
// Throws BackupError: not a zip, "Error - El respaldo está vacío." for no entries, no .vrn
// entry, a damaged entry, a write failure.
RestoreResult RestoreBackup(const std::string& archivePath, const std::string& folder,
                            bool overwrite);

} // namespace kesh
