#pragma once
// The two forms of an account code.
//
// Internal (stored in cuentas.cod and pases.cod): four digits per level, levels
// concatenated, 1 to 5 levels: 0001000100040003. Display (shown and typed): the level
// numbers without leading zeros joined by ".": 1.1.4.3.
//
// Every function trims blanks first. A text is taken as a display code when it is shorter
// than 4 characters or has a "."; so "123" is display (internal 0123) while "1234" is an
// internal level-1 code. These rules decide how typed codes and stored data are read, so
// they are kept exactly even where they look odd (see the tests).

#include <string>
#include <string_view>

namespace kesh {

bool IsDisplayForm(std::string_view code);

// Display code to internal code; an internal code comes back trimmed. Groups after the
// fifth are dropped, a group is cut to its last four digits (10005 -> 0005) and an empty
// group becomes 0000, so "1." gives 00010000: callers that accept a trailing "." drop it
// first. An empty text gives an empty text.
std::string ToInternalCode(std::string_view code);

// Internal code to display code; a display code comes back trimmed. Empty when the length
// is not a multiple of four or a group is not made of digits.
std::string ToDisplayCode(std::string_view code);

// 1 + the dots of the display form, a dot in the first or last place not counted.
int CodeLevel(std::string_view code);

// Display code of the parent: the display form cut before its last "."; empty for a
// level-1 code.
std::string ParentCode(std::string_view code);

} // namespace kesh
