#pragma once
// Operators: the supervisor and six operators, with display names, passwords and access
// levels. They are kept per login account (not per company) in the INI file UsersIniPath(),
// section "Users", with the value names passsup/passop1..6, namesup/nameop1..6 and
// levelop1..6. Passwords are stored scrambled and hex-encoded (ScramblePassword, HexEncode).

#include <array>
#include <string>
#include <vector>

namespace kesh {

inline constexpr int kUserCount = 7;           // 0 supervisor, 1..6 operators
inline constexpr int kDefaultOperatorLevel = 4; // most restricted
inline constexpr const char* kUsersSection = "Users";
inline constexpr const char* kNotAuthorized = "Usuario no autorizado para esta operación.";

// Highest UserLevel allowed to run each guarded command.
namespace level {
inline constexpr int kUsuarios = 0;        // Utilidades > Usuarios, Contraseñas
inline constexpr int kNuevaEmpresa = 3;    // Empresa > Nueva
inline constexpr int kImportarPaquete = 1; // paquete de asientos > Importar
inline constexpr int kConceptos = 1;       // Conceptos de Facturación (compras y ventas)
inline constexpr int kTiposOperacion = 1;
inline constexpr int kCopiarDatos = 1;
inline constexpr int kImportarKardo = 1;
inline constexpr int kRecuperarRespaldo = 1;
inline constexpr int kBorrarAsientos = 1;  // checked when the deletion is confirmed
inline constexpr int kAgregarCuenta = 3;
inline constexpr int kModificarCuenta = 2;
inline constexpr int kBorrarCuenta = 1;
inline constexpr int kAgregarAsiento = 3;
inline constexpr int kModificarAsiento = 2;
inline constexpr int kReenumerar = 2;
inline constexpr int kBorrarAsiento = 1;
inline constexpr int kGestorInformes = 1;
} // namespace level

// True when a user of `userLevel` may run a command whose highest allowed level is maxLevel.
inline bool LevelAllows(int userLevel, int maxLevel) { return userLevel <= maxLevel; }

class UserStore {
public:
    UserStore();

    // Defaults first (names "Supervisor", "Operador1".."Operador6", no passwords, operator
    // level 4), then every value present in the file. A missing file keeps the defaults.
    // Throws std::invalid_argument when a stored password is not hexadecimal, and
    // std::runtime_error when the file exists but cannot be read.
    static UserStore load(const std::string& path);
    // Writes all 20 values (creating the folder and file when missing), keeping whatever
    // else the file holds. Throws std::runtime_error.
    void save(const std::string& path) const;

    static std::string defaultName(int index);
    // The stored name, or the default when it was left empty.
    std::string displayName(int index) const;
    const std::string& storedName(int index) const { return names_.at(index); }
    void setName(int index, std::string name) { names_.at(index) = std::move(name); }

    // The supervisor is always level 0.
    int level(int index) const;
    void setLevel(int index, int level); // clamped to 0..4; ignored for the supervisor

    const std::string& password(int index) const { return passwords_.at(index); }
    void setPassword(int index, std::string password) { passwords_.at(index) = std::move(password); }
    bool hasPassword(int index) const { return !passwords_.at(index).empty(); }
    // Compared without regard to case (ASCII and the accented letters of Spanish).
    bool passwordMatches(int index, const std::string& typed) const;

    bool operator==(const UserStore&) const = default;

private:
    std::array<std::string, kUserCount> names_;
    std::array<std::string, kUserCount> passwords_; // plain text in memory
    std::array<int, kUserCount> levels_;
};

// Lower case for ASCII and the Latin-1 letters (UTF-8), for password comparison.
std::string LowerText(const std::string& text);

// The login account that needs no login at all ("administrator", any case).
bool IsAdministratorAccount(const std::string& accountName);

// Who is logged in.
struct LoginResult {
    bool ok = false;
    int userIndex = 0;
    int userLevel = 0;
    std::string userName;
};

// What start-up does before any dialog: the administrator account and a supervisor without
// password log in at once (as the supervisor, level 0). ok = false means the dialog is needed.
LoginResult LoginWithoutDialog(const UserStore& store, const std::string& accountName);
// The dialog's "Aceptar": the typed password against user `index`'s.
LoginResult Login(const UserStore& store, int index, const std::string& typed);
// Whether the dialog's "Aceptar" may be pressed: always for the supervisor, otherwise only
// with a password of more than 2 characters.
bool LoginAcceptEnabled(int index, const std::string& typed);

// The explanation box of the users screen ("RESTRICCIONES DE NIVELES DE USUARIOS").
std::vector<std::string> LevelExplanationLines();

// What the password dialog's "Aceptar" does with the two typed fields.
enum class PasswordChange { AskClear, Mismatch, Store };
PasswordChange CheckPasswordChange(const std::string& password, const std::string& confirmation);

} // namespace kesh
