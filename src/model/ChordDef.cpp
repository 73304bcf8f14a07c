#include "ChordDef.h"

#include "TextRules.h"

namespace fw {

bool IsNoteEntry(const ChordDef& def) { return !IsCommentLine(def.Name) && !TrimBlanks(def.Name).isEmpty(); }

bool IsRest(const ChordDef& def)
{
    // Slots beyond the tuning's strings are never played, so every slot can be looked at.
    for (int slot = 1; slot <= LastBassSlot; ++slot) {
        if (IsStruck(def, slot))
            return false;
    }
    return true;
}

void SetDurationValues(ParsedLineList& parsed, int whole)
{
    for (ChordDef& def : parsed) {
        if (IsNoteEntry(def))
            def.DurationValue = DurationValue(def.Duration, whole);
    }
}

} // namespace fw
