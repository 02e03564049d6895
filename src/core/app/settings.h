#pragma once
// kesh.ini: the program's settings, sections Config and SysConfig.
//
// Members carry the key names. Keys numbered 1..n are arrays indexed by that number
// (element 0 unused): Bnivel[3] is the key Bnivel3, Cimp[12] is Cimp12. Many keys have no
// use in this program ("kept only"); they are read and written back so that a file shared
// with other installations keeps them. The file is rewritten whole: every known key in
// its fixed order, then whatever else the file held.

#include <array>
#include <string>

#include "app/date.h"
#include "app/inifile.h"
#include "app/sqlhelpers.h"

namespace kesh {

struct Settings {
    // [Config]
    std::string Base0;  // CompanyPath of the company opened last; empty = the demo company
    int currusr = 0;    // UserIndex of the last login (recorded only)

    // [SysConfig]
    std::string Base;   // 250
    int genctas = 1;
    bool DSumasIguales = false;
    bool DApertura = true;
    bool DRefun = true;
    bool DCierre = true;
    bool DTodosNros = false;
    int DDesdeNro = 1;
    int DHastaNro = 1;
    std::string PIparrafo1 = "0"; // 20
    std::string PIparrafo2 = "0"; // 20
    std::string CodGP;            // 20
    std::string CodResul;         // 20
    bool Todascuentas = false;
    bool Todasfechas = false;
    bool BGen = true;
    bool BProv = true;
    bool BCli = true;
    std::array<bool, 6> Bnivel{false, true, true, true, true, true}; // Bnivel1..Bnivel5
    int BModo = 0;
    int BIncluir = 0;
    int cbMesIdx = 1;
    int cbSecIdx = 1;
    bool CalcBalance0 = true;
    bool CalcBalance1 = false;
    bool CalcBalance2 = false;
    bool Reenumeraras = true;
    int DesdeNumero = 1;
    std::string FontCuentas = "Tahoma"; // 40
    int FontSizeCuentas = 7;
    int FontColorCuentas = 8388608;     // 0x00BBGGRR: navy
    std::string FontAsientos = "Tahoma"; // 40
    int FontSizeAsientos = 7;
    int FontColorAsientos = 8388608;
    bool Mporfecha = false;
    bool Mhojasseparadas = false;
    bool Msaldocero = false;
    bool Marrastrasaldos = false;
    bool MTotMes = false;
    int MIncluir = 0;
    bool Rsumas = true;
    int SIncluir = 0;
    int CMes = MonthIndex(Clock::today());
    std::array<bool, 13> Cimp{false, true, true, false, false, false, false,
                              false, false, false, false, false, true}; // Cimp1..Cimp12
    int VMes = MonthIndex(Clock::today());
    std::array<bool, 13> Vimp{false, true, true, false, false, false, false,
                              false, false, false, false, false, true}; // Vimp1..Vimp12
    std::string C_TitFact;                               // 80
    std::string C_TitRecibo = "RECIBO";                  // 80
    std::string C_TitND = "NOTA DE DEBITO";              // 80
    std::string C_TitNC = "NOTA DE CREDITO";             // 80
    std::string C_Concepto;                              // 80
    int C_NRec = 0;
    int C_NFact = 0;
    int C_Ancho = 210;
    int C_Alto = 297;
    int C_Ancho2 = 210;
    int C_Alto2 = 297;
    int C_Orientacion = 0;
    int C_Orientacion3 = 0;
    int C_MargenSup = 15;
    int C_MargenIzq = 15;
    int C_MargenInf = 20;
    int C_MargenDer = 10;
    int C_MargenSup2 = 15;
    int C_MargenIzq2 = 15;
    int C_MargenInf2 = 15;
    int C_MargenDer2 = 15;
    int C_PrinterIndex = 0;
    int C_PrinterIndex2 = 0;
    int C_IdDefFactura = 0;
    bool C_FactDefByUser = false;
    bool C_IncLogo = false;
    std::string C_TitAlum = "INFORME DE ALUMNOS POR CURSO"; // 80
    int C_PrinterIndex3 = 0;
    int C_Ancho3 = 210;
    int C_Alto3 = 297;
    int C_MargenSup3 = 15;
    int C_MargenIzq3 = 15;
    int C_MargenInf3 = 20;
    int C_MargenDer3 = 10;
    int C_IdDefInfCur = 0;
    bool C_InfCurDefByUser = false;

    // Folder of the Firebird server installation (its isql-fb and UDF folder); empty means
    // the system's own. Written only when set.
    std::string FirebirdDir;

    // Everything else the file held: unknown keys of Config and SysConfig and other
    // sections, written back after the known keys.
    IniFile otherEntries;

    bool operator==(const Settings&) const = default;
};

inline constexpr const char* kConfigSection = "Config";
inline constexpr const char* kSysConfigSection = "SysConfig";

// Missing file or key: the defaults above. Text values are cut to their widths.
// Throws std::runtime_error when the file exists but cannot be read.
Settings LoadSettings(const std::string& path);
// Writes the whole file. Throws std::runtime_error.
void SaveSettings(const std::string& path, const Settings& settings);

} // namespace kesh
