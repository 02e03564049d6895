#pragma once
// Windows-style initialisation files: kesh.ini, report.ini, the recent-company lists and
// the entry package files.
//
// "[Section]" lines and "key=value" lines. Section and key names match without regard to
// (ASCII) case, as those files were always read that way; the spelling of the first
// occurrence is kept. The whole file is held in memory in file order, so keys this program
// does not know survive a rewrite. Comment lines (";" or "#") are kept with their section;
// blank lines are not. Values are stored as read, blanks around them removed; no quote
// handling. Text is kept as bytes (UTF-8 in files written here).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesh {

class IniFile {
public:
    IniFile() = default;

    // Reads a file; a missing file gives an empty IniFile. Throws std::runtime_error when
    // the file exists but cannot be read.
    static IniFile load(const std::string& path);
    static IniFile parse(std::string_view text);

    // Writes the whole file through a temporary file in the same folder renamed over the
    // target, so a crash leaves either the old or the new file, never half of one.
    // Lines end with "\r\n" when crlf is set (files read by Windows programs), else "\n".
    // Throws std::runtime_error.
    void save(const std::string& path, bool crlf = false) const;
    std::string toText(bool crlf = false) const;

    bool hasSection(std::string_view section) const;
    bool hasKey(std::string_view section, std::string_view key) const;
    // Section names in file order.
    std::vector<std::string> sections() const;
    // Key names of a section in file order (empty for a missing section).
    std::vector<std::string> keys(std::string_view section) const;

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view def = {}) const;
    // Decimal, or hexadecimal with "$" or "0x"; the default when missing or not an integer.
    int readInt(std::string_view section, std::string_view key, int def) const;
    // True when the value is a non-zero integer; the default when missing or not an integer.
    bool readBool(std::string_view section, std::string_view key, bool def) const;

    // Replaces the value in place, or appends the key to its section (appending the
    // section when missing).
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInt(std::string_view section, std::string_view key, int value);
    void writeBool(std::string_view section, std::string_view key, bool value); // "1"/"0"

    void eraseKey(std::string_view section, std::string_view key);
    void eraseSection(std::string_view section);
    void clear() { sections_.clear(); }

    // The name comparison of sections and keys: ASCII letters without regard to case.
    static bool namesMatch(std::string_view a, std::string_view b);

    bool operator==(const IniFile&) const = default;

private:
    struct Line {
        std::string key;   // empty for a comment line
        std::string value; // the value, or the whole comment line
        bool operator==(const Line&) const = default;
    };
    struct Section {
        std::string name;
        std::vector<Line> lines;
        bool operator==(const Section&) const = default;
    };

    const Section* findSection(std::string_view name) const;
    Section* findSection(std::string_view name);
    Section& sectionFor(std::string_view name);
    static const Line* findLine(const Section& s, std::string_view key);

    std::vector<Section> sections_;
};

} // namespace kesh
