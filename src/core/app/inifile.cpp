#include "app/inifile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace kesh {
namespace {

std::string_view trimmed(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return s.substr(b, e - b);
}

std::optional<int> parseInt(std::string_view s) {
    s = trimmed(s);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s[0] == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty() || s[0] == '-' || s[0] == '+') return std::nullopt;
    long long v = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
    if (negative) v = -v;
    if (v < INT32_MIN || v > UINT32_MAX) return std::nullopt;
    // Hexadecimal colours may be written as unsigned 32-bit values.
    return static_cast<int>(static_cast<int32_t>(static_cast<uint32_t>(v)));
}

std::string errnoText() { return std::strerror(errno); }

} // namespace

IniFile IniFile::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        struct stat st;
        if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return IniFile();
        throw std::runtime_error("No se puede leer el archivo " + path + ": " + errnoText());
    }
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) throw std::runtime_error("No se puede leer el archivo " + path + ": " + errnoText());
    return parse(ss.str());
}

IniFile IniFile::parse(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    IniFile ini;
    Section* current = nullptr;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = trimmed(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty()) continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            const std::string_view name =
                trimmed(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
            current = &ini.sectionFor(name);
            continue;
        }
        if (!current) continue; // nothing outside a section is ever read
        if (line.front() == ';' || line.front() == '#') {
            current->lines.push_back({std::string(), std::string(line)});
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = trimmed(line.substr(0, eq));
        if (key.empty() || findLine(*current, key)) continue; // the first occurrence wins
        current->lines.push_back({std::string(key), std::string(trimmed(line.substr(eq + 1)))});
    }
    return ini;
}

std::string IniFile::toText(bool crlf) const {
    const char* eol = crlf ? "\r\n" : "\n";
    std::string out;
    bool first = true;
    for (const Section& s : sections_) {
        if (!first) out += eol;
        first = false;
        out += '[' + s.name + ']' + eol;
        for (const Line& l : s.lines) {
            if (l.key.empty()) out += l.value;
            else out += l.key + '=' + l.value;
            out += eol;
        }
    }
    return out;
}

void IniFile::save(const std::string& path, bool crlf) const {
    const std::string text = toText(crlf);
    const std::string tmp = path + ".tmp" + std::to_string(::getpid());
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw std::runtime_error("No se puede crear el archivo " + tmp + ": " + errnoText());
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const std::string why = errnoText();
            ::close(fd);
            ::unlink(tmp.c_str());
            throw std::runtime_error("No se puede escribir el archivo " + path + ": " + why);
        }
        done += size_t(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const std::string why = errnoText();
        ::unlink(tmp.c_str());
        throw std::runtime_error("No se puede escribir el archivo " + path + ": " + why);
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        const std::string why = errnoText();
        ::unlink(tmp.c_str());
        throw std::runtime_error("No se puede reemplazar el archivo " + path + ": " + why);
    }
}

bool IniFile::namesMatch(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

const IniFile::Section* IniFile::findSection(std::string_view name) const {
    for (const Section& s : sections_)
        if (namesMatch(s.name, name)) return &s;
    return nullptr;
}

IniFile::Section* IniFile::findSection(std::string_view name) {
    return const_cast<Section*>(std::as_const(*this).findSection(name));
}

IniFile::Section& IniFile::sectionFor(std::string_view name) {
    if (Section* s = findSection(name)) return *s;
    sections_.push_back({std::string(name), {}});
    return sections_.back();
}

const IniFile::Line* IniFile::findLine(const Section& s, std::string_view key) {
    for (const Line& l : s.lines)
        if (!l.key.empty() && namesMatch(l.key, key)) return &l;
    return nullptr;
}

bool IniFile::hasSection(std::string_view section) const { return findSection(section) != nullptr; }

bool IniFile::hasKey(std::string_view section, std::string_view key) const {
    return value(section, key).has_value();
}

std::vector<std::string> IniFile::sections() const {
    std::vector<std::string> out;
    for (const Section& s : sections_) out.push_back(s.name);
    return out;
}

std::vector<std::string> IniFile::keys(std::string_view section) const {
    std::vector<std::string> out;
    if (const Section* s = findSection(section))
        for (const Line& l : s->lines)
            if (!l.key.empty()) out.push_back(l.key);
    return out;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    const Section* s = findSection(section);
    if (!s) return std::nullopt;
    const Line* l = findLine(*s, key);
    if (!l) return std::nullopt;
    return l->value;
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view def) const {
    auto v = value(section, key);
    return v ? *v : std::string(def);
}

int IniFile::readInt(std::string_view section, std::string_view key, int def) const {
    auto v = value(section, key);
    if (!v) return def;
    return parseInt(*v).value_or(def);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool def) const {
    return readInt(section, key, def ? 1 : 0) != 0;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    // A line break in a value would start a new line of the file.
    std::string v(value);
    for (char& c : v)
        if (c == '\n' || c == '\r') c = ' ';
    v = std::string(trimmed(v));
    Section& s = sectionFor(section);
    if (Line* l = const_cast<Line*>(findLine(s, key))) {
        l->value = v;
        return;
    }
    s.lines.push_back({std::string(key), v});
}

void IniFile::writeInt(std::string_view section, std::string_view key, int value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

void IniFile::eraseKey(std::string_view section, std::string_view key) {
    Section* s = findSection(section);
    if (!s) return;
    std::erase_if(s->lines, [&](const Line& l) { return !l.key.empty() && namesMatch(l.key, key); });
}

void IniFile::eraseSection(std::string_view section) {
    std::erase_if(sections_, [&](const Section& s) { return namesMatch(s.name, section); });
}

} // namespace kesh
