#include "MainWindow.h"
#include "MainWindowProxies.h"

#include "ChordDocument.h"
#include "Conversion.h"
#include "FingeringCommand.h"
#include "HelpWindow.h"
#include "ImportWiring.h"
#include "TechniqueCommand.h"

#include <QActionGroup>
#include <QMenuBar>
#include <utility>

// The menus: each item with its caption, hint and shortcut, and the command it runs.
namespace fw {

QAction* TfrmMain::addMenuItem(
    QMenu* menu, const char* objectName, const QString& caption, const QString& hint, const QKeySequence& shortcut)
{
    auto* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(objectName));
    action->setStatusTip(hint);
    action->setShortcut(shortcut);
    return action;
}

void TfrmMain::buildTechniqueMenu(QMenu* parent)
{
    QMenu* menu = parent->addMenu(QStringLiteral("Tec&hnique"));
    menu->setObjectName(QStringLiteral("Technique1"));
    menu->menuAction()->setObjectName(QStringLiteral("Technique1"));
    menu->menuAction()->setStatusTip(QStringLiteral("Mark how the caret line's notes are played."));
    struct Item {
        const char* objectName;
        const char* caption;
        const char* hint;
        Technique technique;
    };
    static constexpr Item Items[] = {
        { "TechniqueHammerOn1", "&Hammer-on", "Hammer on to the next note on each string.", Technique::HammerOn },
        { "TechniquePullOff1", "&Pull-off", "Pull off to the next note on each string.", Technique::PullOff },
        { "TechniqueSlideUp1", "Slide &up", "Slide up to the next note, or off the note.", Technique::SlideUp },
        { "TechniqueSlideDown1", "Slide &down", "Slide down to the next note, or off the note.", Technique::SlideDown },
        { "TechniqueSlideInBelow1", "Slide in from &below", "Slide into the notes from below.",
            Technique::SlideInFromBelow },
        { "TechniqueSlideInAbove1", "Slide in from &above", "Slide into the notes from above.",
            Technique::SlideInFromAbove },
        { "TechniqueTie1", "T&ie", "Hold the notes into the next note on each string.", Technique::Tie },
        { "TechniqueGhost1", "&Ghost note", "Play the notes very softly.", Technique::Ghost },
        { "TechniqueDead1", "D&ead note", "Mute the notes: a percussive sound without pitch.", Technique::Dead },
        { "TechniqueHarmonic1", "Harmo&nic", "Play natural harmonics at the notes' frets.", Technique::Harmonic },
        { "TechniqueBend1", "Bend a &whole step", "Bend the notes up two frets.", Technique::Bend },
        { "TechniqueVibrato1", "&Vibrato", "Play the notes with vibrato.", Technique::Vibrato },
        { "TechniqueSlap1", "S&lap", "Slap the line with the thumb.", Technique::Slap },
        { "TechniquePop1", "P&op", "Pop the line with a finger.", Technique::Pop },
        { "TechniqueTap1", "&Tap", "Tap the line on the fretboard.", Technique::Tap },
        { "TechniqueAccent1", "A&ccent", "Play the line louder.", Technique::Accent },
        { "TechniqueStaccato1", "&Staccato", "Play the line short.", Technique::Staccato },
        { "TechniquePalmMute1", "Pal&m mute", "Mute the line with the palm.", Technique::PalmMute },
        { "TechniqueLetRing1", "Let &ring", "Let each note ring until the next note on its string.",
            Technique::LetRing },
        { "TechniqueClear1", "Clear all mar&ks", "Take every mark off the caret line.", Technique::ClearAll },
    };
    for (const Item& item : Items) {
        if (item.technique == Technique::Slap || item.technique == Technique::ClearAll)
            menu->addSeparator();
        QAction* action
            = addMenuItem(menu, item.objectName, QString::fromLatin1(item.caption), QString::fromLatin1(item.hint));
        action->setCheckable(item.technique != Technique::ClearAll);
        const Technique technique = item.technique;
        connect(action, &QAction::triggered, this,
            [this, technique] { ApplyTechnique(*m_chordList, *this, *this, technique); });
    }
    // The check marks show what the caret line carries when the menu opens.
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        const QList<QAction*> actions = menu->actions();
        int index = 0;
        for (QAction* action : actions) {
            if (action->isSeparator())
                continue;
            const Technique technique = Items[index++].technique;
            if (action->isCheckable())
                action->setChecked(CaretLineHas(*m_chordList, technique));
        }
    });
}

void TfrmMain::buildMenus()
{
    QMenuBar* bar = menuBar();
    auto addMenu = [bar](const char* objectName, const QString& caption, const QString& hint) {
        QMenu* menu = bar->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(objectName));
        menu->menuAction()->setObjectName(QString::fromLatin1(objectName));
        menu->menuAction()->setStatusTip(hint);
        return menu;
    };

    File1 = addMenu("File1", QStringLiteral("&File"), QStringLiteral("Open, save and print chord lists."));
    connect(addMenuItem(File1, "New1", QStringLiteral("&New"), QStringLiteral("Start a new chord list."),
                QKeySequence(Qt::CTRL | Qt::Key_N)),
        &QAction::triggered, this, &TfrmMain::New1Click);
    connect(addMenuItem(File1, "Open1", QStringLiteral("&Open..."), QStringLiteral("Open a chord list file."),
                QKeySequence(Qt::CTRL | Qt::Key_O)),
        &QAction::triggered, this, &TfrmMain::Open1Click);
    connect(addMenuItem(File1, "Import1", QStringLiteral("&Import..."),
                QStringLiteral("Import a tab or another file as a new chord list.")),
        &QAction::triggered, this, [this] { m_import->importFile(); });
    Export1 = File1->addMenu(QStringLiteral("Expo&rt"));
    Export1->setObjectName(QStringLiteral("Export1"));
    Export1->menuAction()->setStatusTip(QStringLiteral("Write the chord list in another format."));
    for (const WriterFormat& writer : Formats().writers()) {
        if (writer.extensions.contains(QStringLiteral("bss")))
            continue;
        connect(addMenuItem(Export1, "ExportFormat1", writer.name + QStringLiteral("..."),
                    QStringLiteral("Write the chord list as %1.").arg(writer.name)),
            &QAction::triggered, this, [this, writer] { m_import->exportAs(writer); });
    }
    connect(addMenuItem(File1, "Save1", QStringLiteral("&Save..."), QStringLiteral("Save the chord list."),
                QKeySequence(Qt::CTRL | Qt::Key_S)),
        &QAction::triggered, this, &TfrmMain::Save1Click);
    connect(addMenuItem(File1, "SaveAs1", QStringLiteral("Save &As..."),
                QStringLiteral("Save the chord list under a new name."), QKeySequence(Qt::CTRL | Qt::Key_A)),
        &QAction::triggered, this, &TfrmMain::SaveAs1Click);
    connect(addMenuItem(File1, "Print1", QStringLiteral("&Print..."), QStringLiteral("Print the chord list.")),
        &QAction::triggered, this, &TfrmMain::Print1Click);
    connect(addMenuItem(File1, "Options1", QStringLiteral("S&ettings..."), QStringLiteral("Change configuration.")),
        &QAction::triggered, this, &TfrmMain::Options1Click);
    connect(addMenuItem(File1, "Exit1", QStringLiteral("E&xit"), QStringLiteral("Close Fretwerk Bass.")),
        &QAction::triggered, this, &TfrmMain::Exit1Click);
    FilenameSep = File1->addSeparator();
    FilenameSep->setObjectName(QStringLiteral("FilenameSep"));
    for (int i = 0; i < 3; ++i) {
        mnuFilename[i] = addMenuItem(File1, i == 0 ? "mnuFilename0" : (i == 1 ? "mnuFilename1" : "mnuFilename2"),
            QString(), QStringLiteral("Open a recently used chord list."));
        connect(mnuFilename[i], &QAction::triggered, this,
            [this, i] { OpenRecentFile(mnuFilename[i]->data().toString()); });
    }
    FilenameSep->setVisible(false);
    for (QAction* item : mnuFilename)
        item->setVisible(false);

    Edit1 = addMenu("Edit1", QStringLiteral("&Edit"), QStringLiteral("Chord list editing operations."));
    connect(Edit1, &QMenu::aboutToShow, this, &TfrmMain::Edit1Click);
    connect(addMenuItem(Edit1, "Undo1", QStringLiteral("&Undo"), QStringLiteral("Undo most recent edit."),
                QKeySequence(Qt::CTRL | Qt::Key_Z)),
        &QAction::triggered, this, &TfrmMain::Undo1Click);
    QAction* redo = addMenuItem(Edit1, "Redo1", QStringLiteral("&Redo"), QStringLiteral("Redo the edit just undone."));
    redo->setShortcuts({ Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z });
    connect(redo, &QAction::triggered, this, &TfrmMain::Redo1Click);
    Edit1->addSeparator();
    connect(addMenuItem(Edit1, "Cut1", QStringLiteral("Cu&t"), QStringLiteral("Remove selected text to Clipboard."),
                QKeySequence(Qt::CTRL | Qt::Key_X)),
        &QAction::triggered, this, &TfrmMain::Cut1Click);
    connect(addMenuItem(Edit1, "Copy1", QStringLiteral("&Copy"), QStringLiteral("Copy selected text to Clipboard."),
                QKeySequence(Qt::CTRL | Qt::Key_C)),
        &QAction::triggered, this, &TfrmMain::Copy1Click);
    connect(addMenuItem(Edit1, "Paste1", QStringLiteral("&Paste"), QStringLiteral("Paste text from Clipboard."),
                QKeySequence(Qt::CTRL | Qt::Key_V)),
        &QAction::triggered, this, &TfrmMain::Paste1Click);
    connect(addMenuItem(Edit1, "PasteTab1", QStringLiteral("Paste Ta&b"),
                QStringLiteral("Paste tablature from the Clipboard as chord lines.")),
        &QAction::triggered, this, [this] { m_import->pasteTab(); });
    connect(addMenuItem(Edit1, "Delete1", QStringLiteral("&Delete"),
                QStringLiteral("Delete selected text without writing to Clipboard."),
                QKeySequence(Qt::CTRL | Qt::Key_Delete)),
        &QAction::triggered, this, &TfrmMain::Delete1Click);
    // Ctrl+A stays Save As, as it always was.
    connect(addMenuItem(Edit1, "SelectAll1", QStringLiteral("Select &All"),
                QStringLiteral("Select all lines in chord list."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A)),
        &QAction::triggered, this, &TfrmMain::SelectAll1Click);
    Edit1->addSeparator();
    // The editor's other clipboard keys run the menu's commands too.
    findChild<QAction*>(QStringLiteral("Cut1"))->setShortcuts({ Qt::CTRL | Qt::Key_X, Qt::SHIFT | Qt::Key_Delete });
    findChild<QAction*>(QStringLiteral("Copy1"))->setShortcuts({ Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Insert });
    findChild<QAction*>(QStringLiteral("Paste1"))->setShortcuts({ Qt::CTRL | Qt::Key_V, Qt::SHIFT | Qt::Key_Insert });
    // Items greyed while the menu was open take their keys again once it closes.
    connect(Edit1, &QMenu::aboutToHide, this, [this] {
        for (QAction* item : Edit1->actions())
            item->setEnabled(true);
    });
    Find1 = addMenuItem(Edit1, "Find1", QStringLiteral("&Find..."), QStringLiteral("Find a text string."),
        QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(Find1, &QAction::triggered, this, &TfrmMain::Find1Click);
    FindNext1 = addMenuItem(Edit1, "FindNext1", QStringLiteral("Find &Next"),
        QStringLiteral("Find next occurrence of string."), QKeySequence(Qt::Key_F3));
    connect(FindNext1, &QAction::triggered, this, &TfrmMain::FindNext1Click);

    Special1 = addMenu("Special1", QStringLiteral("&Special"), QStringLiteral("Tablature, MIDI and audio files."));
    connect(addMenuItem(Special1, "Tab1", QStringLiteral("&Tablature..."), QStringLiteral("Show tablature window."),
                QKeySequence(Qt::Key_F4)),
        &QAction::triggered, this, &TfrmMain::Tab1Click);
    connect(addMenuItem(Special1, "ASCIItab1", QStringLiteral("&ASCII Tablature..."),
                QStringLiteral("Show ASCII tablature window."), QKeySequence(Qt::Key_F5)),
        &QAction::triggered, this, &TfrmMain::ASCIItab1Click);
    connect(addMenuItem(Special1, "SaveAsMidiFile1", QStringLiteral("&Midi File..."),
                QStringLiteral("Create a MIDI file."), QKeySequence(Qt::Key_F6)),
        &QAction::triggered, this, &TfrmMain::SaveAsMidiFile1Click);
    connect(addMenuItem(
                Special1, "AudioFile1", QStringLiteral("Au&dio File..."), QStringLiteral("Create a WAV audio file.")),
        &QAction::triggered, this, &TfrmMain::SaveAsWavFile);
    connect(addMenuItem(Special1, "Tuning1", QStringLiteral("T&uning..."),
                QStringLiteral("Choose the tuning of this chord list.")),
        &QAction::triggered, this, &TfrmMain::Tuning1Click);
    connect(addMenuItem(Special1, "OptimizeFingering1", QStringLiteral("Optimize &Fingering"),
                QStringLiteral("Choose strings and frets that are easy to play.")),
        &QAction::triggered, this, [this] { OptimizeFingering(*m_chordList, *this, *m_boxes, *this); });
    connect(addMenuItem(Special1, "Transpose1", QStringLiteral("T&ranspose..."),
                QStringLiteral("Move the highlighted lines, or the whole list, up or down.")),
        &QAction::triggered, this, &TfrmMain::Transpose1Click);
    buildTechniqueMenu(Special1);

    Play1 = addMenu("Play1", QStringLiteral("&Play"), QStringLiteral("Play chords."));
    Start1 = addMenuItem(
        Play1, "Start1", QStringLiteral("&Start"), QStringLiteral("Start playing."), QKeySequence(Qt::Key_F2));
    Stop1 = addMenuItem(
        Play1, "Stop1", QStringLiteral("&Stop"), QStringLiteral("Stop Playing."), QKeySequence(Qt::Key_F2));
    Stop1->setVisible(false);
    Practice1 = addMenuItem(
        Play1, "Practice1", QStringLiteral("&Practice..."), QStringLiteral("Loop a passage and speed it up."));

    Instrument1 = addMenu("Instrument1", QStringLiteral("&Bass Sounds"), QStringLiteral("Other Bass Sounds"));
    bassSounds = new QActionGroup(this);
    bassSounds->setExclusive(true);
    const std::pair<const char*, const char*> sounds[] = {
        { "AcousticBass1", "Acoustic Bass" },
        { "ElectricBassfinger1", "Electric Bass (finger)" },
        { "ElectricBasspick1", "Electric Bass (pick)" },
        { "FretlessBass1", "Fretless Bass" },
        { "SlapBass11", "Slap Bass 1" },
        { "SlapBass21", "Slap Bass 2" },
        { "SynthBass11", "Synth Bass 1" },
    };
    int tag = 33;
    for (const auto& [name, caption] : sounds) {
        QAction* item = addMenuItem(Instrument1, name, QString::fromLatin1(caption), QStringLiteral("Bass Sound"));
        item->setCheckable(true);
        item->setData(tag++);
        bassSounds->addAction(item);
    }
    connect(bassSounds, &QActionGroup::triggered, this, &TfrmMain::SynthBass11Click);
    setBassSoundChecked(DefaultPatch);

    Help1 = addMenu("Help1", QStringLiteral("&Help"), QStringLiteral("Help and information."));
    connect(addMenuItem(Help1, "Contents1", QStringLiteral("&Contents"), QStringLiteral("Main help page."),
                QKeySequence(Qt::Key_F1)),
        &QAction::triggered, this, [] { OpenHelp(HelpCommand::Contents, 0); });
    connect(addMenuItem(Help1, "Topics1", QStringLiteral("&Topics"), QStringLiteral("Topic list.")),
        &QAction::triggered, this, [] { OpenHelp(HelpCommand::Finder, 0); });
    connect(addMenuItem(Help1, "About1", QStringLiteral("&About..."), QStringLiteral("About this program.")),
        &QAction::triggered, this, &TfrmMain::About1Click);
}

} // namespace fw
