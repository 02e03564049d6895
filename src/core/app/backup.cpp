#include "app/backup.h"

#include <zip.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "app/fbtools.h"
#include "db/database.h"

namespace fs = std::filesystem;

namespace kesh {
namespace {

std::string twoDigits(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

bool endsWithVrn(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".vrn";
}

std::string bareName(const std::string& entryName) {
    // Archives made elsewhere may use either separator.
    const auto pos = entryName.find_last_of("/\\");
    return pos == std::string::npos ? entryName : entryName.substr(pos + 1);
}

std::string zipErrorText(int code) {
    zip_error_t err;
    zip_error_init_with_code(&err, code);
    std::string text = zip_error_strerror(&err);
    zip_error_fini(&err);
    return text;
}

// A file removed when the scope ends, unless released.
class TempFile {
public:
    explicit TempFile(fs::path p) : path_(std::move(p)) {}
    ~TempFile() {
        if (path_.empty()) return;
        std::error_code ec;
        fs::remove(path_, ec);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const fs::path& path() const { return path_; }
    void release() { path_.clear(); }

private:
    fs::path path_;
};

// A hidden name beside `target`, unique for this process.
fs::path tempBeside(const fs::path& target, const std::string& tag) {
    static int counter = 0;
    return target.parent_path() /
           ("." + target.filename().string() + "." + tag + "-" + std::to_string(::getpid()) + "-" +
            std::to_string(++counter));
}

struct ZipCloser {
    void operator()(zip_t* z) const {
        if (z) zip_discard(z);
    }
};
using ZipPtr = std::unique_ptr<zip_t, ZipCloser>;

ZipPtr openArchive(const std::string& path, int flags) {
    int code = 0;
    zip_t* z = zip_open(path.c_str(), flags, &code);
    if (!z) {
        if (code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS)
            throw BackupError("El archivo " + path + " no es un respaldo válido (no es un archivo zip).");
        if (code == ZIP_ER_NOENT)
            throw BackupError("No se encuentra el archivo " + path + ".");
        throw BackupError("No se puede abrir el archivo " + path + ": " + zipErrorText(code));
    }
    return ZipPtr(z);
}

void extractEntry(zip_t* z, zip_uint64_t index, const fs::path& to, const std::string& entryName) {
    zip_file_t* zf = zip_fopen_index(z, index, 0);
    if (!zf)
        throw BackupError("No se puede leer " + entryName + " del respaldo: " + zip_strerror(z));
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!out) {
        zip_fclose(zf);
        throw BackupError("No se puede escribir el archivo " + to.string() + ".");
    }
    std::vector<char> buf(1 << 20);
    for (;;) {
        const zip_int64_t n = zip_fread(zf, buf.data(), buf.size());
        if (n < 0) {
            // libzip checks the CRC at the end of the entry: a damaged archive ends here.
            const std::string why = zip_file_strerror(zf);
            zip_fclose(zf);
            throw BackupError("El respaldo está dañado (" + entryName + "): " + why);
        }
        if (n == 0) break;
        out.write(buf.data(), n);
        if (!out) {
            zip_fclose(zf);
            throw BackupError("No se puede escribir el archivo " + to.string() +
                              " (¿disco lleno?).");
        }
    }
    zip_fclose(zf);
    out.close();
    if (!out) throw BackupError("No se puede escribir el archivo " + to.string() + " (¿disco lleno?).");
}

// A restored file the engine cannot open is no company: better to say so now than when the
// user opens it.
void checkOpenable(const fs::path& file, const std::string& entryName) {
    try {
        db::Connection c = db::Connection::open(file.string());
        db::Transaction tr = c.begin(db::TxOptions{db::Isolation::Snapshot, true, 0});
        tr.queryInt("select count(*) from rdb$relations");
        tr.commit();
        c.close();
    } catch (const db::DbError& e) {
        throw BackupError("El archivo " + entryName +
                          " del respaldo no es una base de datos de empresa válida: " + e.serverText());
    }
}

} // namespace

std::string BackupArchiveName(const std::string& companyPath, Date day) {
    std::string name = fs::path(companyPath).filename().string();
    const std::string base = name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
    return base + twoDigits(day.day()) + "-" + twoDigits(day.month()) + "-" +
           std::to_string(day.year()) + ".zip";
}

std::string LocalCompanyFile(const std::string& dsn) {
    if (!db::Connection::isRemoteName(dsn)) return dsn;
    // host[/port]:path. Only a server on this machine leaves the file within our reach.
    const auto colon = dsn.find(':');
    if (colon == std::string::npos) return {};
    std::string host = dsn.substr(0, colon);
    if (const auto slash = host.find('/'); slash != std::string::npos) host.resize(slash);
    if (host != "localhost" && host != "127.0.0.1") return {};
    const std::string path = dsn.substr(colon + 1);
    if (::access(path.c_str(), R_OK) != 0) return {};
    return path;
}

// Held by whoever is copying a company file, so a backup mode found on the file can be told
// apart: held means another backup is running now; free means the backup that set the mode
// died before ending it (the company keeps working, but every later backup would be refused).
// Copies are only taken of files on this machine, so a lock in the shared temporary folder
// seen by every user's processes is enough; it is released when its holder ends, however.
class BackupLock {
public:
    explicit BackupLock(const std::string& localFile) {
        std::error_code ec;
        fs::path canonical = fs::weakly_canonical(localFile, ec);
        if (ec) canonical = localFile;
        const fs::path lock = fs::temp_directory_path(ec) /
                              ("kesh2-respaldo-" +
                               std::to_string(std::hash<std::string>{}(canonical.string())) +
                               ".lock");
        const mode_t old = ::umask(0);
        fd_ = ::open(lock.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
        ::umask(old);
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd_);
            throw BackupError("Ya hay un respaldo de esta empresa en curso. Espere a que termine "
                              "y vuelva a intentarlo.");
        }
        // A lock file that cannot be opened only loses the leftover check below.
    }
    ~BackupLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool held() const { return fd_ >= 0; }
    BackupLock(const BackupLock&) = delete;
    BackupLock& operator=(const BackupLock&) = delete;

private:
    int fd_ = -1;
};

// 0 normal, 1 stalled (a backup mode is on), 2 merging the side file.
int BackupState(db::Connection& conn) {
    db::Transaction tr = conn.begin();
    return static_cast<int>(tr.queryInt("select mon$backup_state from mon$database"));
}

void FrozenCopy(const std::string& dsn, const std::string& localFile, const std::string& dest,
                const std::string& nbackupTool) {
    if (nbackupTool.empty())
        throw BackupError("No se encuentra la herramienta nbackup de Firebird: revise FirebirdDir "
                          "en kesh.ini.");
    BackupLock lock(localFile);
    db::Connection conn = db::Connection::open(dsn);
    try {
        if (lock.held() && BackupState(conn) == 1) {
            // Nobody holds the lock: the mode was left by a backup that did not finish.
            conn.executeImmediate("alter database end backup");
        }
        conn.executeImmediate("alter database begin backup");
    } catch (const db::DbError& e) {
        throw BackupError("No se puede preparar la empresa para el respaldo (¿otro respaldo en "
                          "curso?): " + e.serverText());
    }
    // From here the main file does not change until "end backup"; that must run whatever
    // happens to the copy, or the company would keep writing into the side file.
    std::string copyError;
    try {
        std::error_code ec;
        fs::copy_file(localFile, dest, fs::copy_options::overwrite_existing, ec);
        if (ec) copyError = "No se puede copiar " + localFile + " a " + dest + ": " + ec.message();
    } catch (const std::exception& e) {
        copyError = e.what();
    }
    conn.executeImmediate("alter database end backup");
    conn.close();
    if (!copyError.empty()) {
        std::error_code ec;
        fs::remove(dest, ec);
        throw BackupError(copyError);
    }
    const ToolRun fix = RunTool({nbackupTool, "-F", dest});
    if (!fix.ok()) {
        std::error_code ec;
        fs::remove(dest, ec);
        throw BackupError("No se pudo preparar la copia de la empresa (nbackup -F): " + fix.output);
    }
}

std::string CreateBackup(const std::string& dsn, const std::string& folder, Date today,
                         const std::string& nbackupTool) {
    const std::string localFile = LocalCompanyFile(dsn);
    if (localFile.empty())
        throw BackupError("La empresa " + dsn + " está en otro equipo: su archivo no se puede "
                          "respaldar desde aquí. Haga el respaldo en el servidor.");
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        throw BackupError("No existe la carpeta " + folder + ".");
    const fs::path archive = fs::path(folder) / BackupArchiveName(localFile, today);
    const std::string entryName = fs::path(localFile).filename().string();

    TempFile copy(tempBeside(archive, "vrn"));
    FrozenCopy(dsn, localFile, copy.path().string(), nbackupTool);

    ZipPtr z = openArchive(archive.string(), ZIP_CREATE);
    zip_source_t* src = zip_source_file(z.get(), copy.path().c_str(), 0, -1);
    if (!src) throw BackupError("No se puede leer la copia de la empresa: " + std::string(zip_strerror(z.get())));
    const zip_int64_t idx =
        zip_file_add(z.get(), entryName.c_str(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
    if (idx < 0) {
        zip_source_free(src);
        throw BackupError("No se puede agregar la empresa al respaldo: " + std::string(zip_strerror(z.get())));
    }
    if (zip_set_file_compression(z.get(), zip_uint64_t(idx), ZIP_CM_DEFLATE, 9) != 0)
        throw BackupError("No se puede comprimir el respaldo: " + std::string(zip_strerror(z.get())));
    // zip_close writes a temporary file and renames it: a failure leaves any earlier archive.
    zip_t* raw = z.release();
    if (zip_close(raw) != 0) {
        const std::string why = zip_strerror(raw);
        zip_discard(raw);
        throw BackupError("No se puede escribir el respaldo " + archive.string() + ": " + why);
    }
    return archive.string();
}

ArchiveContents ReadArchive(const std::string& archivePath) {
    ZipPtr z = openArchive(archivePath, ZIP_RDONLY | ZIP_CHECKCONS);
    ArchiveContents c;
    const zip_int64_t n = zip_get_num_entries(z.get(), 0);
    c.entryCount = int(std::max<zip_int64_t>(n, 0));
    for (zip_int64_t i = 0; i < n; ++i) {
        const char* name = zip_get_name(z.get(), zip_uint64_t(i), 0);
        if (name && endsWithVrn(name) && !bareName(name).empty()) c.companies.push_back(name);
    }
    return c;
}

RestoreResult RestoreBackup(const std::string& archivePath, const std::string& folder,
                            bool overwrite) {
    ZipPtr z = openArchive(archivePath, ZIP_RDONLY | ZIP_CHECKCONS);
    const zip_int64_t n = zip_get_num_entries(z.get(), 0);
    if (n <= 0) throw BackupError("Error - El respaldo está vacío.");
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) throw BackupError("No existe la carpeta " + folder + ".");

    struct Item {
        zip_uint64_t index;
        std::string entry;
        fs::path target;
    };
    std::vector<Item> items;
    for (zip_int64_t i = 0; i < n; ++i) {
        const char* name = zip_get_name(z.get(), zip_uint64_t(i), 0);
        if (!name || !endsWithVrn(name)) continue;
        const std::string bare = bareName(name);
        if (bare.empty() || bare == "." || bare == "..") continue;
        items.push_back({zip_uint64_t(i), name, fs::path(folder) / bare});
    }
    if (items.empty())
        throw BackupError("El respaldo " + archivePath +
                          " no contiene ninguna empresa (archivo .vrn): no se recuperó nada.");

    RestoreResult result;
    for (const auto& it : items)
        if (fs::exists(it.target, ec)) result.existing.push_back(it.target.string());
    if (!result.existing.empty() && !overwrite) {
        result.status = RestoreStatus::Exists;
        return result;
    }
    for (const auto& it : items) {
        TempFile tmp(tempBeside(it.target, "restore"));
        extractEntry(z.get(), it.index, tmp.path(), it.entry);
        checkOpenable(tmp.path(), it.entry);
        fs::rename(tmp.path(), it.target, ec);
        if (ec) throw BackupError("No se puede escribir " + it.target.string() + ": " + ec.message());
        tmp.release();
        result.restored.push_back(it.target.string());
    }
    result.status = RestoreStatus::Restored;
    return result;
}

} // namespace kesh
