// kesh.ini and the INI reader/writer under it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/inifile.h"
#include "app/settings.h"
#include "support/testsupport.h"

namespace kesh {
namespace {

std::string readAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeAll(const std::filesystem::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << text;
}

std::vector<std::string> folderEntries(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename());
    return names;
}

// Today fixed to a day of March 2006 (month index 1275) for every settings test.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { Clock::setToday(Date::fromYmd(2006, 3, 15)); }
    void TearDown() override { Clock::setToday(std::nullopt); }
};

TEST(IniFile, NamesMatchWithoutCaseAndOrderIsKept) {
    const IniFile ini = IniFile::parse(
        "\xEF\xBB\xBF; written by hand\r\n"
        "orphan=ignored\r\n"
        "[Diario]\r\n"
        "  Fuente = Arial  \r\n"
        "Tamano=10\r\n"
        "; a comment\r\n"
        "fuente=second occurrence\r\n"
        "\r\n"
        "[mayor]\r\n"
        "Color=$FF\r\n"
        "Neg=-12\r\n"
        "Bad=12abc\r\n"
        "Vacio=\r\n"
        "[DIARIO]\r\n"
        "Extra=1\r\n");
    EXPECT_EQ(ini.sections(), (std::vector<std::string>{"Diario", "mayor"}));
    EXPECT_EQ(ini.keys("diario"), (std::vector<std::string>{"Fuente", "Tamano", "Extra"}));
    EXPECT_EQ(ini.readString("DIARIO", "FUENTE"), "Arial");
    EXPECT_EQ(ini.readString("Nada", "Fuente", "def"), "def");
    EXPECT_FALSE(ini.hasKey("Diario", "orphan"));
    EXPECT_TRUE(ini.hasKey("Mayor", "vacio"));
    EXPECT_EQ(ini.readString("Mayor", "Vacio", "def"), "");

    struct IntCase { const char* key; int def; int expected; };
    const IntCase ints[] = {
        {"Color", 0, 255}, {"Neg", 0, -12}, {"Bad", 7, 7}, {"Vacio", 3, 3}, {"Missing", 5, 5},
    };
    for (const IntCase& c : ints) EXPECT_EQ(ini.readInt("Mayor", c.key, c.def), c.expected) << c.key;
    EXPECT_TRUE(ini.readBool("Mayor", "Neg", false)); // any non-zero integer
    EXPECT_TRUE(ini.readBool("Mayor", "Bad", true));  // not an integer: the default
    EXPECT_FALSE(ini.readBool("Mayor", "Bad", false));
}

TEST(IniFile, WritesInPlaceAndSavesWhole) {
    const auto dir = test::ScratchDir("inifile-save");
    const auto path = dir / "report.ini";
    EXPECT_TRUE(IniFile::load(path.string()).sections().empty()); // missing file

    writeAll(path, "[Diario]\nFuente=Arial\n; kept\nOtra=x\n[Mayor]\nA=1\n");
    IniFile ini = IniFile::load(path.string());
    ini.writeString("diario", "FUENTE", "Courier New");
    ini.writeBool("Mayor", "B", true);
    ini.writeInt("Nueva", "N", -3);
    ini.writeString("Mayor", "Linea", "dos\nlineas");
    ini.eraseKey("diario", "otra");
    ini.save(path.string());

    EXPECT_EQ(readAll(path),
              "[Diario]\nFuente=Courier New\n; kept\n\n"
              "[Mayor]\nA=1\nB=1\nLinea=dos lineas\n\n"
              "[Nueva]\nN=-3\n");
    EXPECT_EQ(IniFile::load(path.string()), ini);
    EXPECT_EQ(folderEntries(dir), std::vector<std::string>{"report.ini"}); // no temporary left

    ini.save(path.string(), true);
    EXPECT_EQ(readAll(path).substr(0, 30), "[Diario]\r\nFuente=Courier New\r\n");
    EXPECT_EQ(IniFile::load(path.string()), ini);
}

TEST(IniFile, SaveIntoMissingFolderThrows) {
    const auto dir = test::ScratchDir("inifile-nofolder");
    IniFile ini;
    ini.writeString("A", "b", "c");
    EXPECT_THROW(ini.save((dir / "no" / "x.ini").string()), std::runtime_error);
}

TEST_F(SettingsTest, MissingFileGivesDefaults) {
    const auto dir = test::ScratchDir("settings-missing");
    const Settings s = LoadSettings((dir / "kesh.ini").string());
    EXPECT_EQ(s, Settings());
    EXPECT_EQ(s.CMes, 1275);
    EXPECT_EQ(s.VMes, 1275);
    EXPECT_EQ(s.Base0, "");
    EXPECT_EQ(s.FontCuentas, "Tahoma");
    EXPECT_EQ(s.FontColorAsientos, 8388608);
    EXPECT_EQ(s.PIparrafo1, "0");
    EXPECT_EQ(s.C_TitNC, "NOTA DE CREDITO");
    EXPECT_EQ(s.C_MargenInf, 20);
    EXPECT_EQ(s.C_MargenInf2, 15);
    EXPECT_EQ(s.C_MargenDer3, 10);
    for (int i = 1; i <= 12; ++i) {
        const bool on = i <= 2 || i == 12;
        EXPECT_EQ(s.Cimp[i], on) << i;
        EXPECT_EQ(s.Vimp[i], on) << i;
    }
    for (int i = 1; i <= 5; ++i) EXPECT_TRUE(s.Bnivel[i]) << i;
}

TEST_F(SettingsTest, SavesEveryKeyInFileOrder) {
    const auto dir = test::ScratchDir("settings-order");
    const auto path = dir / "kesh.ini";
    SaveSettings(path.string(), Settings());

    std::vector<std::string> sysConfig = {
        "Base", "genctas", "DSumasIguales", "DApertura", "DRefun", "DCierre", "DTodosNros",
        "DDesdeNro", "DHastaNro", "PIparrafo1", "PIparrafo2", "CodGP", "CodResul",
        "Todascuentas", "Todasfechas", "BGen", "BProv", "BCli", "Bnivel1", "Bnivel2",
        "Bnivel3", "Bnivel4", "Bnivel5", "BModo", "BIncluir", "cbMesIdx", "cbSecIdx",
        "CalcBalance0", "CalcBalance1", "CalcBalance2", "Reenumeraras", "DesdeNumero",
        "FontCuentas", "FontSizeCuentas", "FontColorCuentas", "FontAsientos",
        "FontSizeAsientos", "FontColorAsientos", "Mporfecha", "Mhojasseparadas", "Msaldocero",
        "Marrastrasaldos", "MTotMes", "MIncluir", "Rsumas", "SIncluir", "CMes"};
    for (int i = 1; i <= 12; ++i) sysConfig.push_back("Cimp" + std::to_string(i));
    sysConfig.push_back("VMes");
    for (int i = 1; i <= 12; ++i) sysConfig.push_back("Vimp" + std::to_string(i));
    for (const char* k :
         {"C_TitFact", "C_TitRecibo", "C_TitND", "C_TitNC", "C_Concepto", "C_NRec", "C_NFact",
          "C_Ancho", "C_Alto", "C_Ancho2", "C_Alto2", "C_Orientacion", "C_Orientacion3",
          "C_Margensup", "C_Margenizq", "C_Margeninf", "C_Margender", "C_Margensup2",
          "C_Margenizq2", "C_Margeninf2", "C_Margender2", "C_PrinterIndex", "C_PrinterIndex2",
          "C_Iddeffactura", "C_FactDefByUser", "C_IncLogo", "C_TitAlum", "C_PrinterIndex3",
          "C_Ancho3", "C_Alto3", "C_Margensup3", "C_Margenizq3", "C_Margeninf3",
          "C_Margender3", "C_IddefInfCur", "C_InfCurDefByUser"})
        sysConfig.push_back(k);

    const IniFile ini = IniFile::load(path.string());
    EXPECT_EQ(ini.sections(), (std::vector<std::string>{"Config", "SysConfig"}));
    EXPECT_EQ(ini.keys("Config"), (std::vector<std::string>{"Base0", "currusr"}));
    EXPECT_EQ(ini.keys("SysConfig"), sysConfig);
    const std::string text = readAll(path);
    for (const char* line : {"Base0=\n", "DApertura=1\n", "DSumasIguales=0\n", "CMes=1275\n",
                             "FontColorCuentas=8388608\n", "C_TitAlum=INFORME DE ALUMNOS POR CURSO\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

TEST_F(SettingsTest, HandWrittenFileRoundTrips) {
    const auto dir = test::ScratchDir("settings-roundtrip");
    const auto path = dir / "kesh.ini";
    writeAll(path,
             "[config]\r\n"
             "BASE0=/srv/empresas/mi empresa.vrn\r\n"
             "CurrUsr=3\r\n"
             "[Impresion]\r\n"
             "Papel=A4\r\n"
             "[SYSCONFIG]\r\n"
             "c_margensup=33\r\n"
             "C_IDDEFFACTURA=7\r\n"
             "c_iddefinfcur=9\r\n"
             "fontcuentas=Liberation Sans\r\n"
             "BNIVEL3=0\r\n"
             "cimp5=1\r\n"
             "DApertura=si\r\n"
             "CalcBalance1=2\r\n"
             "MiClave=algo\r\n"
             "C_TitFact=FACTURA\r\n"
             "FirebirdDir=/opt/firebird\r\n"
             "vmes=1200\r\n"
             "Otra=valor con = dentro\r\n");

    const Settings s = LoadSettings(path.string());
    EXPECT_EQ(s.Base0, "/srv/empresas/mi empresa.vrn");
    EXPECT_EQ(s.currusr, 3);
    EXPECT_EQ(s.C_MargenSup, 33);
    EXPECT_EQ(s.C_IdDefFactura, 7);
    EXPECT_EQ(s.C_IdDefInfCur, 9);
    EXPECT_EQ(s.FontCuentas, "Liberation Sans");
    EXPECT_FALSE(s.Bnivel[3]);
    EXPECT_TRUE(s.Cimp[5]);
    EXPECT_TRUE(s.DApertura);   // not an integer: the default
    EXPECT_TRUE(s.CalcBalance1);
    EXPECT_EQ(s.C_TitFact, "FACTURA");
    EXPECT_EQ(s.FirebirdDir, "/opt/firebird");
    EXPECT_EQ(s.VMes, 1200);
    EXPECT_EQ(s.CMes, 1275);

    SaveSettings(path.string(), s);
    const Settings again = LoadSettings(path.string());
    EXPECT_EQ(again, s);

    const IniFile ini = IniFile::load(path.string());
    EXPECT_EQ(ini.sections(), (std::vector<std::string>{"Config", "SysConfig", "Impresion"}));
    const std::vector<std::string> keys = ini.keys("SysConfig");
    ASSERT_GE(keys.size(), 4u);
    // Unknown keys follow the known ones, FirebirdDir last among those.
    EXPECT_EQ(std::vector<std::string>(keys.end() - 3, keys.end()),
              (std::vector<std::string>{"FirebirdDir", "MiClave", "Otra"}));
    EXPECT_EQ(ini.readString("SysConfig", "Otra"), "valor con = dentro");
    EXPECT_EQ(ini.readString("Impresion", "Papel"), "A4");
    const std::string text = readAll(path);
    for (const char* line : {"C_Margensup=33\n", "C_Iddeffactura=7\n", "C_IddefInfCur=9\n",
                             "Bnivel3=0\n", "Cimp5=1\n", "DApertura=1\n", "CalcBalance1=1\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(text.find("c_margensup"), std::string::npos); // one key, one line
}

TEST_F(SettingsTest, TextValuesAreCutToTheirWidths) {
    const auto dir = test::ScratchDir("settings-widths");
    const auto path = dir / "kesh.ini";
    const std::string ene = "\xC3\xB1"; // ñ: two bytes, one character
    std::string longName;
    for (int i = 0; i < 45; ++i) longName += ene;

    struct Case { const char* key; std::string value; std::string Settings::*field; size_t width; };
    const Case cases[] = {
        {"Base", std::string(300, 'b'), &Settings::Base, 250},
        {"PIparrafo1", std::string(25, '1'), &Settings::PIparrafo1, 20},
        {"CodResul", std::string(21, '4'), &Settings::CodResul, 20},
        {"FontAsientos", longName, &Settings::FontAsientos, 40},
        {"C_TitAlum", std::string(90, 'T'), &Settings::C_TitAlum, 80},
    };
    std::string text = "[SysConfig]\n";
    for (const Case& c : cases) text += std::string(c.key) + "=" + c.value + "\n";
    writeAll(path, text);

    const Settings s = LoadSettings(path.string());
    for (const Case& c : cases) {
        std::string expected;
        for (size_t i = 0, chars = 0; i < c.value.size() && chars < c.width; ++chars) {
            const size_t len = c.value.compare(i, 2, ene) == 0 ? 2 : 1;
            expected += c.value.substr(i, len);
            i += len;
        }
        EXPECT_EQ(s.*c.field, expected) << c.key;
    }
    EXPECT_EQ(s.FontAsientos.size(), 80u); // 40 characters of two bytes
}

} // namespace
} // namespace kesh
