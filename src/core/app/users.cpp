#include "app/users.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/inifile.h"
#include "app/sqlhelpers.h"

namespace kesh {
namespace {

std::string passKey(int i) { return i == 0 ? "passsup" : "passop" + std::to_string(i); }
std::string nameKey(int i) { return i == 0 ? "namesup" : "nameop" + std::to_string(i); }
std::string levelKey(int i) { return "levelop" + std::to_string(i); }

} // namespace

UserStore::UserStore() {
    for (int i = 0; i < kUserCount; ++i) {
        names_[i] = defaultName(i);
        levels_[i] = i == 0 ? 0 : kDefaultOperatorLevel;
    }
}

std::string UserStore::defaultName(int index) {
    return index == 0 ? "Supervisor" : "Operador" + std::to_string(index);
}

std::string UserStore::displayName(int index) const {
    const std::string& n = names_.at(index);
    return n.empty() ? defaultName(index) : n;
}

int UserStore::level(int index) const { return index == 0 ? 0 : levels_.at(index); }

void UserStore::setLevel(int index, int level) {
    if (index <= 0 || index >= kUserCount) return;
    levels_[index] = std::clamp(level, 0, 4);
}

bool UserStore::passwordMatches(int index, const std::string& typed) const {
    return LowerText(passwords_.at(index)) == LowerText(typed);
}

UserStore UserStore::load(const std::string& path) {
    UserStore s;
    const IniFile ini = IniFile::load(path);
    for (int i = 0; i < kUserCount; ++i) {
        if (auto v = ini.value(kUsersSection, nameKey(i))) s.names_[i] = *v;
        if (auto v = ini.value(kUsersSection, passKey(i)))
            s.passwords_[i] = UnscramblePassword(HexDecode(*v));
        if (i > 0) s.setLevel(i, ini.readInt(kUsersSection, levelKey(i), kDefaultOperatorLevel));
    }
    return s;
}

void UserStore::save(const std::string& path) const {
    std::error_code ec;
    const auto dir = std::filesystem::path(path).parent_path();
    if (!dir.empty()) std::filesystem::create_directories(dir, ec);
    if (ec) throw std::runtime_error("No se puede crear la carpeta " + dir.string() + ": " + ec.message());
    IniFile ini = IniFile::load(path);
    for (int i = 0; i < kUserCount; ++i) {
        ini.writeString(kUsersSection, passKey(i), HexEncode(ScramblePassword(passwords_[i])));
        ini.writeString(kUsersSection, nameKey(i), names_[i]);
    }
    for (int i = 1; i < kUserCount; ++i) ini.writeInt(kUsersSection, levelKey(i), levels_[i]);
    ini.save(path);
}

std::string LowerText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c + 32);
        } else if (c == 0xC3 && i + 1 < text.size()) {
            // U+00C0..U+00DE (except U+00D7, the multiplication sign) are the capitals of
            // U+00E0..U+00FE; in UTF-8 they share the lead byte 0xC3.
            unsigned char n = static_cast<unsigned char>(text[i + 1]);
            if (n >= 0x80 && n <= 0x9E && n != 0x97) n += 0x20;
            out += static_cast<char>(c);
            out += static_cast<char>(n);
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool IsAdministratorAccount(const std::string& accountName) {
    return LowerText(accountName) == "administrator";
}

LoginResult LoginWithoutDialog(const UserStore& store, const std::string& accountName) {
    LoginResult r;
    if (IsAdministratorAccount(accountName) || !store.hasPassword(0)) {
        r.ok = true;
        r.userIndex = 0;
        r.userLevel = 0;
        r.userName = store.displayName(0);
    }
    return r;
}

LoginResult Login(const UserStore& store, int index, const std::string& typed) {
    LoginResult r;
    if (index < 0 || index >= kUserCount) return r;
    if (!store.passwordMatches(index, typed)) return r;
    r.ok = true;
    r.userIndex = index;
    r.userLevel = store.level(index);
    r.userName = store.displayName(index);
    return r;
}

bool LoginAcceptEnabled(int index, const std::string& typed) {
    return index == 0 || Utf8Length(typed) > 2;
}

std::vector<std::string> LevelExplanationLines() {
    const std::string indent(7, ' ');
    return {
        "0: Sin restricciones",
        "1: No puede",
        indent + "Modificar Usuarios",
        indent + "Cambiar Contraseñas",
        "2: No puede además de lo anterior",
        indent + "Importar paquetes de asientos",
        indent + "Modificar Conceptos de facturación",
        indent + "Utilizar el gestor de informes",
        indent + "Copiar datos entre ejercicios",
        indent + "Importar de Kardo2001",
        indent + "Recuperar respaldo",
        indent + "Borrar registros",
        "3: No puede además de lo anterior ",
        indent + "Modificar registros",
        "4: No puede además de lo anterior ",
        indent + "Crear registros",
    };
}

PasswordChange CheckPasswordChange(const std::string& password, const std::string& confirmation) {
    if (password.empty() && confirmation.empty()) return PasswordChange::AskClear;
    if (LowerText(password) != LowerText(confirmation)) return PasswordChange::Mismatch;
    return PasswordChange::Store;
}

} // namespace kesh
