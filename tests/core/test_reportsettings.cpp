// Print settings in report.ini: stored forms, case-insensitive keys, defaults, cuts.
#include <gtest/gtest.h>

#include "app/inifile.h"
#include "reports/reportsettings.h"
#include "support/testsupport.h"

using namespace kesh;
using namespace kesh::reports;

TEST(ReportSettings, MissingFileGivesTheDefaults) {
    auto dir = test::ScratchDir("rs_missing");
    ReportSettings s = LoadReportSettingsFile((dir / "report.ini").string(), "Diario");
    EXPECT_EQ(s, ReportSettings{});
    EXPECT_EQ(s.tipoPapel, 3);
    EXPECT_EQ(s.interlin, 12);
    EXPECT_EQ(s.group(Group::Enca).back, 0x00E8D0CE);
    EXPECT_EQ(s.group(Group::Cuerpo).back2, 0xFFF2EC);
    EXPECT_EQ(s.group(Group::Titulo).size, 10);
    EXPECT_EQ(s.group(Group::Titulo).style, 1);
    EXPECT_EQ(s.group(Group::Total).style, 0);
}

TEST(ReportSettings, RoundTripThroughTheFileKeepsEveryValueAndOtherSections) {
    auto path = (test::ScratchDir("rs_round") / "report.ini").string();
    IniFile other;
    other.writeString("Balance", "Textpie", "de otro informe");
    other.save(path);

    ReportSettings s;
    s.ancho = 100.5;
    s.largo = 150;
    s.margenSup = 12;
    s.margenIzq = 25.5;
    s.pagina = 5;
    s.incLogo = s.incFecha = s.puntos = true;
    s.numerar = false;
    s.pathLogo = "logo.bmp";
    s.group(Group::Cuerpo) = {"Courier New", 9, 0x0000FF, 5, 0x123456, 0x654321};
    s.group(Group::Empre).back = 0xABCDEF;
    s.prnIndex = 2;
    s.orientacion = 1;
    s.tipoPapel = 21;
    s.textPie = "Pie de página con ñ";
    s.subtitulo = "Ejercicio 2025";
    s.interlin = 18;
    SaveReportSettingsFile(path, "Diario", s);

    EXPECT_EQ(LoadReportSettingsFile(path, "Diario"), s);
    EXPECT_EQ(LoadReportSettingsFile(path, "Balance").textPie, "de otro informe");
    IniFile written = IniFile::load(path);
    EXPECT_EQ(written.readString("Diario", "ColorFondoCuerpo1"), std::to_string(0x123456));
    EXPECT_EQ(written.readString("Diario", "ancho"), "100.5");
    EXPECT_EQ(written.readString("Diario", "Numerar"), "0");
}

TEST(ReportSettings, KeysAreReadWhateverTheirCaseAndColoursInEveryIntegerForm) {
    IniFile ini = IniFile::parse(
        "[mayor]\nmargenSup=7\nmargeninf=8,5\nFonttotal=Times New Roman\n"
        "colorFondocuerpo1=$00E8D0CE\nclrfontTitulo=255\nnumerar=2\nInterlin=x\n");
    ReportSettings s = LoadReportSettings(ini, "Mayor");
    EXPECT_EQ(s.margenSup, 7);
    EXPECT_EQ(s.margenInf, 8.5);
    EXPECT_EQ(s.group(Group::Total).font, "Times New Roman");
    EXPECT_EQ(s.group(Group::Cuerpo).back, 0x00E8D0CE);
    EXPECT_EQ(s.group(Group::Titulo).color, 255);
    EXPECT_TRUE(s.numerar);
    EXPECT_EQ(s.interlin, 12) << "a value that is not a number keeps the default";

    // Writing over a file that used the other spelling replaces the value, not adds one.
    ReportSettings changed = s;
    changed.margenSup = 9;
    StoreReportSettings(ini, "Mayor", changed);
    EXPECT_EQ(ini.keys("mayor").size(), ini.keys("Mayor").size());
    EXPECT_EQ(LoadReportSettings(ini, "MAYOR").margenSup, 9);
    int count = 0;
    for (const auto& k : ini.keys("Mayor")) count += (k == "margenSup" || k == "MargenSup");
    EXPECT_EQ(count, 1);
}

TEST(ReportSettings, LongTextsAreCutWhenRead) {
    IniFile ini;
    ini.writeString("Diario", "Textpie", std::string(100, 'a'));
    ini.writeString("Diario", "subtitulo", std::string(130, 'b'));
    ini.writeString("Diario", "FontCuerpo", std::string(45, 'c'));
    ini.writeString("Diario", "PathLogo", std::string(90, 'd'));
    ReportSettings s = LoadReportSettings(ini, "Diario");
    EXPECT_EQ(s.textPie.size(), 80u);
    EXPECT_EQ(s.subtitulo.size(), 120u);
    EXPECT_EQ(s.group(Group::Cuerpo).font.size(), 40u);
    EXPECT_EQ(s.pathLogo.size(), 80u);
}

TEST(ReportSettings, PageGeometryFollowsPaperOrientationAndCustomSize) {
    struct Case { int paper; int orient; double ancho, largo; double w, h; bool landscape; };
    const Case cases[] = {
        {3, 0, 0, 0, 210, 297, false},
        {3, 1, 0, 0, 297, 210, true},
        {2, 0, 0, 0, 297, 420, false},
        {7, 0, 0, 0, 215.9, 279.4, false},
        // "Personalizado" is portrait whatever the orientation says.
        {21, 1, 100, 150, 100, 150, false},
    };
    for (const Case& c : cases) {
        ReportSettings s;
        s.tipoPapel = c.paper;
        s.orientacion = c.orient;
        if (c.ancho) { s.ancho = c.ancho; s.largo = c.largo; }
        PageGeometry g = GeometryOf(s);
        EXPECT_DOUBLE_EQ(g.widthMm, c.w) << c.paper;
        EXPECT_DOUBLE_EQ(g.heightMm, c.h) << c.paper;
        EXPECT_EQ(g.landscape, c.landscape) << c.paper;
    }
    EXPECT_STREQ(PaperAt(21).item, "Personalizado");
    EXPECT_STREQ(PaperAt(3).item, "A4 210 x 297 mm");
}

TEST(ReportSettings, KeyTableGivesButtonsAndPdfNames) {
    struct Case { const char* key; bool config, excel; const char* pdf; };
    const Case cases[] = {
        {"SumasySaldos", true, true, "Sumas y Saldos"},
        {"PlandeCuentas", true, true, "Cuentas"},
        {"ASRESUMEN", true, true, "Diario Resumido"},
        {"Mayor", true, true, "Mayor"},
        {"PosicionIva", false, false, "Informe"},
        {"Compras", false, false, "Informe"},
        {"Clientes", false, true, "Informe"},
        {"AnalisisDeCuenta", true, true, "Informe"},
    };
    for (const Case& c : cases) {
        ReportKeyInfo k = KeyInfo(c.key);
        EXPECT_EQ(k.configEnabled, c.config) << c.key;
        EXPECT_EQ(k.excelEnabled, c.excel) << c.key;
        EXPECT_EQ(k.pdfName, c.pdf) << c.key;
    }
    EXPECT_EQ(DefaultPdfPath("/opt/kesh", "SumasySaldos"), "/opt/kesh/Datos/Sumas y Saldos.pdf");
}
