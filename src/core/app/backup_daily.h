#pragma once
// The daily copy taken when the program closes: the open local company file copied into
// AppDir/RESPALDOS, one copy per day of the month (the same day of the next month replaces
// it). The caller closes every connection of the program to the file first, so the copy
// is a consistent database.

#include <string>

#include "app/date.h"

namespace kesh {

// The company's full path with "." -> "@", ":" -> "$", "/" and "\" -> "~", then "." and
// the day of the month without leading zero: /home/ana/Datos/demo.vrn on the 9th gives
// "~home~ana~Datos~demo@vrn.9".
std::string DailyCopyName(const std::string& companyPath, Date today);

// Whether a company gets a daily copy: only files reached directly (not host:path).
bool TakesDailyCopy(const std::string& companyPath);

// Creates RESPALDOS when missing and copies the file. Never throws: the copy is a courtesy,
// and closing the program must not fail because of it. Returns the copy's path, or "" when
// no copy was made.
// The file is frozen while it is copied (FrozenCopy) when the nbackup tool is found in
// firebirdDir or the system's installation, so users still working on it do not spoil the copy.
std::string TakeDailyCopy(const std::string& appDir, const std::string& companyPath, Date today,
                          const std::string& firebirdDir = {});

} // namespace kesh
