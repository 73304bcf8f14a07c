#pragma once

#include <QString>

class QWidget;

namespace fw {

class ChordList;
class MessageBoxes;
class SaveFileDialog;

inline const QString MidiSaveDialogTitle = QStringLiteral("Save As Midi");
inline const QString MidiSaveDialogFilter = QStringLiteral("Midi files (*.mid)|*.mid|All Files (*.*)|*.*");

// What the export takes from the main window.
struct MidiExportSettings {
    int Tempo = 120;
    int Patch = 33;
    // The document's name as the file-name label shows it.
    QString DocumentFileName;
};

// The "Midi File..." command: checks and times the chord list, asks for a file name and writes the
// Standard MIDI file. lastDir is the start folder and becomes the chosen file's folder once the file
// is written. Returns whether a file was written.
bool SaveAsMidi(ChordList& chordList, MessageBoxes& boxes, SaveFileDialog& dialog, QWidget* dialogParent,
    const MidiExportSettings& settings, QString& lastDir);

} // namespace fw
