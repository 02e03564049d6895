#include "reports/reportsettings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/sqlhelpers.h"

namespace kesh::reports {

namespace {

constexpr const char* kGroupKeys[kGroupCount] = {"Titulo", "Pagina", "Empre",
                                                 "Enca",   "Cuerpo", "Total"};
// Background keys of each group; empty when the group has none.
constexpr const char* kBackKeys[kGroupCount] = {"", "", "ClrFondoEmpre", "ClrFondoEnca",
                                                "ColorFondoCuerpo1", "ColorFondoTotal"};

double ReadReal(const IniFile& ini, std::string_view section, std::string_view key, double def) {
    auto v = ini.value(section, key);
    if (!v || v->empty()) return def;
    std::string text = CommaToDot(*v);
    char* end = nullptr;
    double d = std::strtod(text.c_str(), &end);
    return (end && *end == '\0') ? d : def;
}

std::string RealText(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    std::string s = buf;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

std::string Cut(std::string s, std::size_t n) { return Utf8Left(s, n); }

constexpr Paper kPapers[kPaperCount] = {
    {"10x14 pulg", 254.0, 355.6},
    {"11x17 pulg", 279.4, 431.8},
    {"A3 297 x 420 mm", 297.0, 420.0},
    {"A4 210 x 297 mm", 210.0, 297.0},
    {"A5 148 x 210 mm", 148.0, 210.0},
    {"B4 250 x 354 mm", 250.0, 354.0},
    {"B5 182 x 257 mm", 182.0, 257.0},
    {"Carta 8 1/2 x 11 pulg", 215.9, 279.4},
    {"Ejecutivo 7 1/2 x 10 pulg", 184.2, 266.7},
    {"Folio 8 1/2 x 13 pulg", 215.9, 330.2},
    {"Quarto 215 x 275 mm", 215.0, 275.0},
    {"Legal 8 1/2 x 14 pulg", 215.9, 355.6},
    {"Mayor 17 x 11 pulg", 431.8, 279.4},
    {"Nota 8 1/2 x 11 pulg", 215.9, 279.4},
    {"Sentencia 5 1/2 x 8 1/2 pulg", 139.7, 215.9},
    {"Sobre Nº9 3 7/8 x 8 7/8 pulg", 98.4, 225.4},
    {"Sobre Nº10 4 1/8 x 9 1/2 pulg", 104.8, 241.3},
    {"Sobre Nº11 4 1/2 x 10 3/8 pulg", 114.3, 263.5},
    {"Sobre Nº12 4 ¾ x 11 pulg", 120.7, 279.4},
    {"Sobre Nº14 4 ¾ x 11 pulg", 127.0, 292.1},
    {"Tabloid 11 x 17 pulg", 279.4, 431.8},
    {"Personalizado", 210.0, 297.0},
};

constexpr FontStyle kStyles[kFontStyleCount] = {
    {"Normal", false, false, false},
    {"Negrita", true, false, false},
    {"Inclinada", false, true, false},
    {"subrayada", false, false, true},
    {"Inclinada subrayada", false, true, true},
    {"Negrita inclinada", true, true, false},
    {"Negrita subrayada", true, false, true},
    {"Negrita Inclinada Subrayada", true, true, true},
};

bool IEquals(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

const char* GroupKeyName(Group g) { return kGroupKeys[static_cast<int>(g)]; }

const char* GroupCaption(Group g) {
    static constexpr const char* captions[kGroupCount] = {
        "Título (tipo de letra) ",
        "Numeración de página (tipo de letra)",
        "Datos de la empresa (Letra y color de fondo)",
        "Encabezado de columnas (Letra y color fondo)",
        "Cuerpo del informe (Letra y color de fondo)",
        "Totales del informe (Letra y color de fondo)"};
    return captions[static_cast<int>(g)];
}

const char* GroupSelectorCaption(Group g) {
    static constexpr const char* captions[kGroupCount] = {
        "Título", "Numeración de página", "Datos de la empresa",
        "Encabezado de columnas", "Cuerpo del informe", "Totales del informe"};
    return captions[static_cast<int>(g)];
}

bool GroupHasBackground(Group g) { return g != Group::Titulo && g != Group::Pagina; }
bool GroupHasSecondBackground(Group g) { return g == Group::Cuerpo; }

std::array<StyleGroup, kGroupCount> ReportSettings::DefaultGroups() {
    std::array<StyleGroup, kGroupCount> g;
    g[0] = {"Arial", 10, 0xA00000, 1, 0xFFFFFF, 0xFFFFFF};
    g[1] = {"Arial", 8, 0xA00000, 1, 0xFFFFFF, 0xFFFFFF};
    g[2] = {"Arial", 8, 0xA00000, 1, 0xFFF2EC, 0xFFFFFF};
    g[3] = {"Arial", 8, 0xA00000, 1, 0x00E8D0CE, 0xFFFFFF};
    g[4] = {"Arial", 7, 0xA00000, 0, 0xFFFFFF, 0xFFF2EC};
    g[5] = {"Arial", 7, 0xA00000, 0, 0xFFFFFF, 0xFFFFFF};
    return g;
}

ReportSettings LoadReportSettings(const IniFile& ini, std::string_view key) {
    ReportSettings s;
    s.ancho = ReadReal(ini, key, "ancho", s.ancho);
    s.largo = ReadReal(ini, key, "largo", s.largo);
    s.margenSup = ReadReal(ini, key, "MargenSup", s.margenSup);
    s.margenInf = ReadReal(ini, key, "MargenInf", s.margenInf);
    s.margenIzq = ReadReal(ini, key, "MargenIzq", s.margenIzq);
    s.margenDer = ReadReal(ini, key, "MargenDer", s.margenDer);
    s.pagina = ini.readInt(key, "Pagina", s.pagina);
    s.incLogo = ini.readBool(key, "IncLogo", s.incLogo);
    s.incFecha = ini.readBool(key, "IncFecha", s.incFecha);
    s.numerar = ini.readBool(key, "Numerar", s.numerar);
    s.pathLogo = Cut(ini.readString(key, "PathLogo"), 80);
    s.clrFondoTitulo = ini.readInt(key, "ClrFondoTitulo", s.clrFondoTitulo);
    for (int i = 0; i < kGroupCount; ++i) {
        StyleGroup& g = s.groups[i];
        const std::string n = kGroupKeys[i];
        g.font = Cut(ini.readString(key, "Font" + n, g.font), 40);
        if (g.font.empty()) g.font = "Arial";
        g.size = ini.readInt(key, "FontSize" + n, g.size);
        g.color = ini.readInt(key, "ClrFont" + n, g.color);
        g.style = std::clamp(ini.readInt(key, "FontStyle" + n, g.style), 0, kFontStyleCount - 1);
        if (*kBackKeys[i]) g.back = ini.readInt(key, kBackKeys[i], g.back);
    }
    s.group(Group::Cuerpo).back2 = ini.readInt(key, "ColorFondoCuerpo2", s.group(Group::Cuerpo).back2);
    s.prnIndex = ini.readInt(key, "PrnIndex", s.prnIndex);
    s.orientacion = ini.readInt(key, "Orientacion", s.orientacion);
    s.tipoPapel = std::clamp(ini.readInt(key, "TipoPapel", s.tipoPapel), 0, kPaperCount - 1);
    s.puntos = ini.readBool(key, "Puntos", s.puntos);
    s.textPie = Cut(ini.readString(key, "Textpie"), 80);
    s.textEmpre1 = Cut(ini.readString(key, "TextEmpre1"), 80);
    s.textEmpre2 = Cut(ini.readString(key, "TextEmpre2"), 80);
    s.subtitulo = Cut(ini.readString(key, "subtitulo"), 120);
    s.interlin = ini.readInt(key, "Interlin", s.interlin);
    return s;
}

void StoreReportSettings(IniFile& ini, std::string_view key, const ReportSettings& s) {
    ini.writeString(key, "ancho", RealText(s.ancho));
    ini.writeString(key, "largo", RealText(s.largo));
    ini.writeString(key, "MargenSup", RealText(s.margenSup));
    ini.writeString(key, "MargenInf", RealText(s.margenInf));
    ini.writeString(key, "MargenIzq", RealText(s.margenIzq));
    ini.writeString(key, "MargenDer", RealText(s.margenDer));
    ini.writeInt(key, "Pagina", s.pagina);
    ini.writeBool(key, "IncLogo", s.incLogo);
    ini.writeBool(key, "IncFecha", s.incFecha);
    ini.writeBool(key, "Numerar", s.numerar);
    ini.writeString(key, "PathLogo", Cut(s.pathLogo, 80));
    ini.writeInt(key, "ClrFondoTitulo", s.clrFondoTitulo);
    for (int i = 0; i < kGroupCount; ++i) {
        const StyleGroup& g = s.groups[i];
        const std::string n = kGroupKeys[i];
        ini.writeString(key, "Font" + n, Cut(g.font, 40));
        ini.writeInt(key, "FontSize" + n, g.size);
        ini.writeInt(key, "ClrFont" + n, g.color);
        ini.writeInt(key, "FontStyle" + n, g.style);
        if (*kBackKeys[i]) ini.writeInt(key, kBackKeys[i], g.back);
    }
    ini.writeInt(key, "ColorFondoCuerpo2", s.group(Group::Cuerpo).back2);
    ini.writeInt(key, "PrnIndex", s.prnIndex);
    ini.writeInt(key, "Orientacion", s.orientacion);
    ini.writeInt(key, "TipoPapel", s.tipoPapel);
    ini.writeBool(key, "Puntos", s.puntos);
    ini.writeString(key, "Textpie", Cut(s.textPie, 80));
    ini.writeString(key, "TextEmpre1", Cut(s.textEmpre1, 80));
    ini.writeString(key, "TextEmpre2", Cut(s.textEmpre2, 80));
    ini.writeString(key, "subtitulo", Cut(s.subtitulo, 120));
    ini.writeInt(key, "Interlin", s.interlin);
}

ReportSettings LoadReportSettingsFile(const std::string& path, std::string_view key) {
    return LoadReportSettings(IniFile::load(path), key);
}

void SaveReportSettingsFile(const std::string& path, std::string_view key,
                            const ReportSettings& s) {
    IniFile ini = IniFile::load(path);
    StoreReportSettings(ini, key, s);
    ini.save(path);
}

const Paper& PaperAt(int index) { return kPapers[std::clamp(index, 0, kPaperCount - 1)]; }

PageGeometry GeometryOf(const ReportSettings& s) {
    PageGeometry g;
    if (s.tipoPapel == kPaperCustom) {
        g.widthMm = s.ancho;
        g.heightMm = s.largo;
        g.landscape = false;
    } else {
        const Paper& p = PaperAt(s.tipoPapel);
        g.landscape = s.orientacion == 1;
        g.widthMm = g.landscape ? p.heightMm : p.widthMm;
        g.heightMm = g.landscape ? p.widthMm : p.heightMm;
    }
    // A page too small for its margins would lay out nothing and loop for ever.
    g.widthMm = std::max(g.widthMm, 20.0);
    g.heightMm = std::max(g.heightMm, 20.0);
    g.top = std::clamp(s.margenSup, 0.0, g.heightMm / 3);
    g.bottom = std::clamp(s.margenInf, 0.0, g.heightMm / 3);
    g.left = std::clamp(s.margenIzq, 0.0, g.widthMm / 3);
    g.right = std::clamp(s.margenDer, 0.0, g.widthMm / 3);
    return g;
}

const FontStyle& FontStyleAt(int index) {
    return kStyles[std::clamp(index, 0, kFontStyleCount - 1)];
}

ReportKeyInfo KeyInfo(std::string_view key) {
    ReportKeyInfo info{true, true, "Informe"};
    for (const char* k : {"PosicionIva", "NumerosFaltantes", "Compras", "Ventas"})
        if (IEquals(key, k)) info.configEnabled = info.excelEnabled = false;
    for (const char* k : {"Proveedores", "Clientes"})
        if (IEquals(key, k)) info.configEnabled = false;
    static constexpr std::pair<const char*, const char*> names[] = {
        {"PlandeCuentas", "Cuentas"}, {"Balance", "Balance"},
        {"Diario", "Diario"},         {"ASRESUMEN", "Diario Resumido"},
        {"Mayor", "Mayor"},           {"SumasySaldos", "Sumas y Saldos"}};
    for (const auto& [k, n] : names)
        if (IEquals(key, k)) info.pdfName = n;
    return info;
}

std::string DefaultPdfPath(const std::string& appDir, std::string_view key) {
    return appDir + "/Datos/" + KeyInfo(key).pdfName + ".pdf";
}

} // namespace kesh::reports
