#pragma once
// Standard entries ("Asientos Tipo"): a name and a list of lines (account, side, concept)
// from which the template editor prepares its line slots.

#include <cstdint>
#include <string>
#include <vector>

#include "entries/entries.h"

namespace kesh::entries {

struct StandardEntry {
    int64_t id = 0;
    std::string descrip;
};

struct StandardLine {
    std::string code;  // internal code; a row without one is not saved
    char dh = 'D';
    std::string concepto;
};

enum class StandardOrder { CaseInsensitive, AsStored };
// The list screen orders by upper(descrip); the template editor's chooser by descrip.
std::vector<StandardEntry> ListStandardEntries(const std::string& dsn,
                                               StandardOrder order = StandardOrder::CaseInsensitive);
std::string StandardEntryName(const std::string& dsn, int64_t id);
// Lines in the order the database returns them (the order they were written in).
std::vector<StandardLine> LoadStandardLines(const std::string& dsn, int64_t id);
// Writes the name and replaces all lines in one transaction; id 0 adds one. Returns its id.
int64_t SaveStandardEntry(const std::string& dsn, int64_t id, const std::string& name,
                          const std::vector<StandardLine>& lines);
// The entries made from it keep their idtip.
void DeleteStandardEntry(const std::string& dsn, int64_t id);
inline constexpr const char* kMsgDeleteStandard = "Desea eliminar el asiento tipo?";

// ---- the template editor's slots ---------------------------------------------------------

inline constexpr const char* kEmptyConcept = ". . . . . . . . . . . . . . . . . .";

// Add mode: 15 slots, the first ones filled from the standard entry (ticked, account, side,
// concept); the others empty and unticked with the dotted concept.
std::vector<TemplateSlot> SlotsFromStandard(const std::vector<StandardLine>& lines);

// Change mode: the concepts of the standard entry, then the entry's lines (at most 15) into
// the slots in order, ticked, each remembering its line id.
std::vector<TemplateSlot> SlotsForEntry(const std::string& dsn, int64_t entryId,
                                        const std::vector<StandardLine>& standard);

} // namespace kesh::entries
