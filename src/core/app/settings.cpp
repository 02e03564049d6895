#include "app/settings.h"

#include <vector>

namespace kesh {
namespace {

constexpr size_t kNoWidth = 0;

// One list of the keys, in file order and with the spellings the file has always had,
// walked by the reader, the writer and the unknown-key filter alike.
template <class S, class V>
void visitKeys(S& s, V&& v) {
    const char* C = kConfigSection;
    const char* Y = kSysConfigSection;
    v.text(C, "Base0", s.Base0, kNoWidth);
    v.integer(C, "currusr", s.currusr);

    v.text(Y, "Base", s.Base, 250);
    v.integer(Y, "genctas", s.genctas);
    v.boolean(Y, "DSumasIguales", s.DSumasIguales);
    v.boolean(Y, "DApertura", s.DApertura);
    v.boolean(Y, "DRefun", s.DRefun);
    v.boolean(Y, "DCierre", s.DCierre);
    v.boolean(Y, "DTodosNros", s.DTodosNros);
    v.integer(Y, "DDesdeNro", s.DDesdeNro);
    v.integer(Y, "DHastaNro", s.DHastaNro);
    v.text(Y, "PIparrafo1", s.PIparrafo1, 20);
    v.text(Y, "PIparrafo2", s.PIparrafo2, 20);
    v.text(Y, "CodGP", s.CodGP, 20);
    v.text(Y, "CodResul", s.CodResul, 20);
    v.boolean(Y, "Todascuentas", s.Todascuentas);
    v.boolean(Y, "Todasfechas", s.Todasfechas);
    v.boolean(Y, "BGen", s.BGen);
    v.boolean(Y, "BProv", s.BProv);
    v.boolean(Y, "BCli", s.BCli);
    for (int i = 1; i <= 5; ++i) v.boolean(Y, "Bnivel" + std::to_string(i), s.Bnivel[i]);
    v.integer(Y, "BModo", s.BModo);
    v.integer(Y, "BIncluir", s.BIncluir);
    v.integer(Y, "cbMesIdx", s.cbMesIdx);
    v.integer(Y, "cbSecIdx", s.cbSecIdx);
    v.boolean(Y, "CalcBalance0", s.CalcBalance0);
    v.boolean(Y, "CalcBalance1", s.CalcBalance1);
    v.boolean(Y, "CalcBalance2", s.CalcBalance2);
    v.boolean(Y, "Reenumeraras", s.Reenumeraras);
    v.integer(Y, "DesdeNumero", s.DesdeNumero);
    v.text(Y, "FontCuentas", s.FontCuentas, 40);
    v.integer(Y, "FontSizeCuentas", s.FontSizeCuentas);
    v.integer(Y, "FontColorCuentas", s.FontColorCuentas);
    v.text(Y, "FontAsientos", s.FontAsientos, 40);
    v.integer(Y, "FontSizeAsientos", s.FontSizeAsientos);
    v.integer(Y, "FontColorAsientos", s.FontColorAsientos);
    v.boolean(Y, "Mporfecha", s.Mporfecha);
    v.boolean(Y, "Mhojasseparadas", s.Mhojasseparadas);
    v.boolean(Y, "Msaldocero", s.Msaldocero);
    v.boolean(Y, "Marrastrasaldos", s.Marrastrasaldos);
    v.boolean(Y, "MTotMes", s.MTotMes);
    v.integer(Y, "MIncluir", s.MIncluir);
    v.boolean(Y, "Rsumas", s.Rsumas);
    v.integer(Y, "SIncluir", s.SIncluir);
    v.integer(Y, "CMes", s.CMes);
    for (int i = 1; i <= 12; ++i) v.boolean(Y, "Cimp" + std::to_string(i), s.Cimp[i]);
    v.integer(Y, "VMes", s.VMes);
    for (int i = 1; i <= 12; ++i) v.boolean(Y, "Vimp" + std::to_string(i), s.Vimp[i]);
    v.text(Y, "C_TitFact", s.C_TitFact, 80);
    v.text(Y, "C_TitRecibo", s.C_TitRecibo, 80);
    v.text(Y, "C_TitND", s.C_TitND, 80);
    v.text(Y, "C_TitNC", s.C_TitNC, 80);
    v.text(Y, "C_Concepto", s.C_Concepto, 80);
    v.integer(Y, "C_NRec", s.C_NRec);
    v.integer(Y, "C_NFact", s.C_NFact);
    v.integer(Y, "C_Ancho", s.C_Ancho);
    v.integer(Y, "C_Alto", s.C_Alto);
    v.integer(Y, "C_Ancho2", s.C_Ancho2);
    v.integer(Y, "C_Alto2", s.C_Alto2);
    v.integer(Y, "C_Orientacion", s.C_Orientacion);
    v.integer(Y, "C_Orientacion3", s.C_Orientacion3);
    v.integer(Y, "C_Margensup", s.C_MargenSup);
    v.integer(Y, "C_Margenizq", s.C_MargenIzq);
    v.integer(Y, "C_Margeninf", s.C_MargenInf);
    v.integer(Y, "C_Margender", s.C_MargenDer);
    v.integer(Y, "C_Margensup2", s.C_MargenSup2);
    v.integer(Y, "C_Margenizq2", s.C_MargenIzq2);
    v.integer(Y, "C_Margeninf2", s.C_MargenInf2);
    v.integer(Y, "C_Margender2", s.C_MargenDer2);
    v.integer(Y, "C_PrinterIndex", s.C_PrinterIndex);
    v.integer(Y, "C_PrinterIndex2", s.C_PrinterIndex2);
    v.integer(Y, "C_Iddeffactura", s.C_IdDefFactura);
    v.boolean(Y, "C_FactDefByUser", s.C_FactDefByUser);
    v.boolean(Y, "C_IncLogo", s.C_IncLogo);
    v.text(Y, "C_TitAlum", s.C_TitAlum, 80);
    v.integer(Y, "C_PrinterIndex3", s.C_PrinterIndex3);
    v.integer(Y, "C_Ancho3", s.C_Ancho3);
    v.integer(Y, "C_Alto3", s.C_Alto3);
    v.integer(Y, "C_Margensup3", s.C_MargenSup3);
    v.integer(Y, "C_Margenizq3", s.C_MargenIzq3);
    v.integer(Y, "C_Margeninf3", s.C_MargenInf3);
    v.integer(Y, "C_Margender3", s.C_MargenDer3);
    v.integer(Y, "C_IddefInfCur", s.C_IdDefInfCur);
    v.boolean(Y, "C_InfCurDefByUser", s.C_InfCurDefByUser);
    v.optionalText(Y, "FirebirdDir", s.FirebirdDir);
}

std::string cut(const std::string& value, size_t width) {
    return width == kNoWidth ? value : Utf8Left(value, width);
}

struct Reader {
    const IniFile& ini;
    void text(const char* sec, const std::string& key, std::string& f, size_t width) {
        f = cut(ini.readString(sec, key, f), width);
    }
    void optionalText(const char* sec, const std::string& key, std::string& f) {
        f = ini.readString(sec, key, f);
    }
    void integer(const char* sec, const std::string& key, int& f) { f = ini.readInt(sec, key, f); }
    void boolean(const char* sec, const std::string& key, bool& f) { f = ini.readBool(sec, key, f); }
};

struct Writer {
    IniFile& ini;
    void text(const char* sec, const std::string& key, const std::string& f, size_t width) {
        ini.writeString(sec, key, cut(f, width));
    }
    void optionalText(const char* sec, const std::string& key, const std::string& f) {
        if (!f.empty()) ini.writeString(sec, key, f);
    }
    void integer(const char* sec, const std::string& key, int f) { ini.writeInt(sec, key, f); }
    void boolean(const char* sec, const std::string& key, bool f) { ini.writeBool(sec, key, f); }
};

// Removes the known keys, leaving what the file held beyond them.
struct Eraser {
    IniFile& ini;
    void text(const char* sec, const std::string& key, const std::string&, size_t) { ini.eraseKey(sec, key); }
    void optionalText(const char* sec, const std::string& key, const std::string&) { ini.eraseKey(sec, key); }
    void integer(const char* sec, const std::string& key, int) { ini.eraseKey(sec, key); }
    void boolean(const char* sec, const std::string& key, bool) { ini.eraseKey(sec, key); }
};

} // namespace

Settings LoadSettings(const std::string& path) {
    const IniFile ini = IniFile::load(path);
    Settings s;
    visitKeys(s, Reader{ini});
    // Keep the rest in the order a save writes it (unknown keys of the two own sections
    // first), so loading a saved file gives back the same Settings.
    IniFile rest = ini;
    const Settings& known = s;
    visitKeys(known, Eraser{rest});
    std::vector<std::string> order = {kConfigSection, kSysConfigSection};
    for (const std::string& section : rest.sections())
        if (!IniFile::namesMatch(section, kConfigSection) && !IniFile::namesMatch(section, kSysConfigSection))
            order.push_back(section);
    for (const std::string& section : order)
        for (const std::string& key : rest.keys(section))
            s.otherEntries.writeString(section, key, rest.readString(section, key));
    return s;
}

void SaveSettings(const std::string& path, const Settings& settings) {
    IniFile out;
    visitKeys(settings, Writer{out});
    // The known keys were erased from otherEntries on load; erase again in case the
    // caller put one there, so the file never holds a key twice.
    IniFile rest = settings.otherEntries;
    visitKeys(settings, Eraser{rest});
    for (const std::string& section : rest.sections())
        for (const std::string& key : rest.keys(section))
            out.writeString(section, key, rest.readString(section, key));
    out.save(path);
}

} // namespace kesh
