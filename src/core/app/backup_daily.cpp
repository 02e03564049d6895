#include "app/backup_daily.h"

#include <filesystem>
#include <system_error>

#include "app/backup.h"
#include "app/context.h"
#include "app/fbtools.h"
#include "app/sqlhelpers.h"
#include "db/database.h"

namespace kesh {

std::string DailyCopyName(const std::string& companyPath, Date today) {
    std::string name;
    name.reserve(companyPath.size() + 3);
    for (char c : companyPath) {
        switch (c) {
        case '.': name += '@'; break;
        case ':': name += '$'; break;
        case '/': case '\\': name += '~'; break;
        default: name += c;
        }
    }
    return name + "." + std::to_string(today.day());
}

bool TakesDailyCopy(const std::string& companyPath) {
    return !companyPath.empty() && !db::Connection::isRemoteName(companyPath);
}

std::string TakeDailyCopy(const std::string& appDir, const std::string& companyPath, Date today,
                          const std::string& firebirdDir) {
    try {
        std::error_code ec;
        if (!TakesDailyCopy(companyPath) || !std::filesystem::is_regular_file(companyPath, ec))
            return {};
        const std::string dir = BackupDir(appDir);
        std::filesystem::create_directories(dir, ec);
        if (ec) return {};
        const std::string target = dir + "/" + DailyCopyName(companyPath, today);
        // Copy under a temporary name and rename, so an interrupted copy never replaces the
        // good copy of a month ago with half a file.
        const std::string tmp = target + ".tmp";
        // Other users may still be writing the file: freeze it while it is copied, as the
        // backup does. Without the tool, the plain copy is all we can do.
        const std::string nbackup = FindFirebirdTool("nbackup", firebirdDir);
        if (nbackup.empty())
            CopyFileStream(companyPath, tmp);
        else
            FrozenCopy(companyPath, companyPath, tmp, nbackup);
        std::filesystem::rename(tmp, target, ec);
        if (ec) {
            std::filesystem::remove(tmp, ec);
            return {};
        }
        return target;
    } catch (...) {
        return {};
    }
}

} // namespace kesh
