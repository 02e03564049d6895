#pragma once
// Print settings of one report, stored per report key in report.ini, and the fixed tables
// every report shares: report keys with their captions, the paper list and the font styles.
//
// report.ini is also read by other installations of the program, so the stored forms are
// kept exactly: colours as the integer of a 0x00BBGGRR colour reference, booleans 1/0,
// millimetres in plain decimal form, key names matched without regard to case.

#include <array>
#include <string>
#include <string_view>

#include "app/inifile.h"

namespace kesh::reports {

// One style group: font, size, colour and style, plus its background colours.
struct StyleGroup {
    std::string font = "Arial"; // at most 40 characters
    int size = 8;               // points
    int color = 0xA00000;       // 0x00BBGGRR
    int style = 0;              // FontStyle index 0..7
    int back = 0xFFFFFF;        // background (not used by Titulo and Pagina)
    int back2 = 0xFFFFFF;       // second, alternating background (Cuerpo only)
    bool operator==(const StyleGroup&) const = default;
};

enum class Group { Titulo, Pagina, Empre, Enca, Cuerpo, Total };
inline constexpr int kGroupCount = 6;
// "Titulo", "Pagina", ... as used in the key names (FontTitulo, ClrFontPagina ...).
const char* GroupKeyName(Group g);
// Caption of the group's button on the "Tipos de letra" tab and of the font selector.
const char* GroupCaption(Group g);
const char* GroupSelectorCaption(Group g);
bool GroupHasBackground(Group g);  // all but Titulo and Pagina
bool GroupHasSecondBackground(Group g);  // Cuerpo only

struct ReportSettings {
    double ancho = 210;
    double largo = 297;
    double margenSup = 15;
    double margenInf = 15;
    double margenIzq = 20;
    double margenDer = 10;
    int pagina = 1;
    bool incLogo = false;
    bool incFecha = false;
    bool numerar = true;
    std::string pathLogo;        // 80; kept, not printed
    int clrFondoTitulo = 0xFFFFFF; // kept, not printed
    std::array<StyleGroup, kGroupCount> groups = DefaultGroups();
    int prnIndex = 0;
    int orientacion = 0;         // 0 portrait, 1 landscape
    int tipoPapel = 3;           // index in the paper list; 3 = A4
    bool puntos = false;
    std::string textPie;         // 80
    std::string textEmpre1;      // 80; kept, not printed
    std::string textEmpre2;      // 80; kept, not printed
    std::string subtitulo;       // 120
    int interlin = 12;           // detail line height in 1/96 inch

    StyleGroup& group(Group g) { return groups[static_cast<int>(g)]; }
    const StyleGroup& group(Group g) const { return groups[static_cast<int>(g)]; }

    static std::array<StyleGroup, kGroupCount> DefaultGroups();
    bool operator==(const ReportSettings&) const = default;
};

// Missing section or keys give the defaults; texts longer than their maximum are cut.
ReportSettings LoadReportSettings(const IniFile& ini, std::string_view reportKey);
// Writes every key of the report's section (other sections and unknown keys stay).
void StoreReportSettings(IniFile& ini, std::string_view reportKey, const ReportSettings& s);

// Reads/writes appDir/report.ini. Throws std::runtime_error on a file that cannot be read
// or written.
ReportSettings LoadReportSettingsFile(const std::string& path, std::string_view reportKey);
void SaveReportSettingsFile(const std::string& path, std::string_view reportKey,
                            const ReportSettings& s);

// ---- paper list ------------------------------------------------------------------------

struct Paper {
    const char* item;  // text of the paper list
    double widthMm;    // portrait width
    double heightMm;   // portrait height
};
inline constexpr int kPaperCount = 22;
inline constexpr int kPaperCustom = 21; // "Personalizado"
inline constexpr int kPaperA4 = 3;
const Paper& PaperAt(int index);  // index clamped to the list

// The page a report prints on: the chosen paper, orientation and margins, in millimetres.
// The custom size is always portrait.
struct PageGeometry {
    double widthMm = 210;
    double heightMm = 297;
    bool landscape = false;
    double top = 15, bottom = 15, left = 20, right = 10;
};
PageGeometry GeometryOf(const ReportSettings& s);

// ---- font styles ----------------------------------------------------------------------

struct FontStyle {
    const char* text;
    bool bold, italic, underline;
};
inline constexpr int kFontStyleCount = 8;
const FontStyle& FontStyleAt(int index);  // index clamped to 0..7

// ---- report keys ----------------------------------------------------------------------

struct ReportKeyInfo {
    bool configEnabled; // "Configurar informe"
    bool excelEnabled;  // "Excel"
    std::string pdfName; // file name offered for the PDF, without extension
};
ReportKeyInfo KeyInfo(std::string_view reportKey);

// appDir + "/Datos/" + name + ".pdf"
std::string DefaultPdfPath(const std::string& appDir, std::string_view reportKey);

} // namespace kesh::reports
