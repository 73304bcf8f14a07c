#include "ChordDef.h"

#include "TextRules.h"

namespace fw {

bool IsNoteEntry(const ChordDef& def) { return !IsCommentLine(def.Name) && !TrimBlanks(def.Name).isEmpty(); }

bool IsRest(const ChordDef& def)
{
    for (int slot = FirstBassSlot; slot <= LastBassSlot; ++slot) {
        if (def.Frets[slot] != NotPlayedFret)
            return false;
    }
    return true;
}

} // namespace fw
