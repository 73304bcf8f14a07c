#pragma once

#include <QString>

namespace fw {

// The program's preferences, read once at start and written once at exit.
struct Settings {
    bool Prompts = true;
    bool TabPrompt = true;
    bool TabFont = false;
    bool ShowChordName = false;
    bool ShowFretNumbers = true;
    bool CursorPlays = false;
    QString LastDir;
    QString InstallDir;
    int MarkerColor = 16776960; // 0x00BBGGRR: cyan
    int MarkerShape = 5; // circle
    bool AutoCorrect = true;
    bool ChordEntryMode = false;
    bool AutoLineAdvance = true;
    // The tuning New starts a chord list with, as note names ("B E A D G"); empty means E A D G.
    QString NewTuning;

    bool ExternalMIDI = false;
    int Device = -1;
    int Octave = -12;
    int Channel = 0;
    int Patch = 33;
    QString SoundFont;

    QString RecentFile0;
    QString RecentFile1;
    QString RecentFile2;

    // Set once the welcome dialog has been offered to this user.
    bool Welcomed = false;

    friend bool operator==(const Settings&, const Settings&) = default;
};

} // namespace fw
