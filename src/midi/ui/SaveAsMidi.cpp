#include "SaveAsMidi.h"

#include "ChordList.h"
#include "MessageBoxes.h"
#include "MidiFileWriter.h"
#include "SaveFileDialog.h"

#include <QFileInfo>
#include <algorithm>

namespace fw {

bool SaveAsMidi(ChordList& chordList, MessageBoxes& boxes, SaveFileDialog& dialog, QWidget* dialogParent,
    const MidiExportSettings& settings, QString& lastDir)
{
    if (!chordList.ParseAllLines(FixMidiErrorsMessage, true))
        return false;
    // Every line parsed, so a playable line is simply a note entry of the parsed list.
    if (std::none_of(chordList.ParsedLines.cbegin(), chordList.ParsedLines.cend(), IsNoteEntry)) {
        boxes.errorBox(NoMidiNotesMessage);
        return false;
    }
    chordList.SetDurationValues(MidiWholeNoteTicks);

    const SaveDialogRequest request { MidiSaveDialogTitle, MidiSaveDialogFilter, lastDir,
        ProposedMidiFileName(settings.DocumentFileName) };
    const QString fileName = dialog.getSaveFileName(dialogParent, request);
    if (fileName.isEmpty())
        return false;
    QString errorText;
    if (!WriteMidiFile(fileName, chordList.ParsedLines, settings.Tempo, settings.Patch, &errorText, chordList.tuning(),
            { chordList.CountOffBeats, chordList.fretLimit() })) {
        boxes.errorBox(errorText);
        return false;
    }
    lastDir = QFileInfo(fileName).absolutePath();
    return true;
}

} // namespace fw
