#include "OptionsDialog.h"

#include "FakeMessageBoxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace fw {
namespace {

    struct FakeColorChooser : ColorChooser {
        std::optional<QColor> answer;
        int calls = 0;
        std::optional<QColor> chooseColor(QWidget*) override
        {
            ++calls;
            return answer;
        }
    };

    const QString Restart = QStringLiteral("This option does not take effect until the program has been restarted.");

    class OptionsDialog : public ::testing::Test {
    protected:
        void SetUp() override
        {
            dialog.setSettings(&settings);
            dialog.setMessageBoxes(&boxes);
            dialog.setColorChooser(&chooser);
            dialog.deviceItems = [this] { return devices; };
            dialog.showChordNameLabel = [this](bool visible) {
                calls << QStringLiteral("chordName %1 fret %2").arg(visible).arg(settings.ShowFretNumbers);
            };
            dialog.showFretNumbersLabel = [this](bool visible) {
                calls << QStringLiteral("fretNumbers %1 color %2").arg(visible).arg(settings.MarkerColor);
            };
            dialog.autoCorrectAll = [this] {
                calls << QStringLiteral("autoCorrectAll device %1 auto %2")
                             .arg(settings.Device)
                             .arg(settings.AutoCorrect);
            };
        }
        QRadioButton* shapeButton(const char* caption)
        {
            return dialog.findChild<QRadioButton*>(QStringLiteral("rdoMarkerShape") + QString::fromLatin1(caption));
        }
        Settings settings;
        FakeMessageBoxes boxes;
        FakeColorChooser chooser;
        QStringList devices { QStringLiteral("Midi Mapper (Default)"), QStringLiteral("Synth A"),
            QStringLiteral("Synth B") };
        QStringList calls;
        TfrmOptions dialog;
    };

    TEST_F(OptionsDialog, EveryPageShowsEachLineOfItsTextsWhole)
    {
        dialog.show();
        for (int page = 0; page < dialog.PageControl1->count(); ++page) {
            dialog.PageControl1->setCurrentIndex(page);
            QApplication::processEvents();
            for (const QLabel* label : dialog.PageControl1->widget(page)->findChildren<QLabel*>()) {
                if (label->wordWrap()) {
                    EXPECT_GE(label->height(), label->heightForWidth(label->width())) << label->text().toStdString();
                }
            }
        }
    }

    TEST_F(OptionsDialog, HasItsTabsControlsAndTexts)
    {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Settings"));
        ASSERT_EQ(dialog.PageControl1->count(), 4);
        EXPECT_EQ(dialog.PageControl1->tabText(0), QStringLiteral("General"));
        EXPECT_EQ(dialog.PageControl1->tabText(1), QStringLiteral("Markers"));
        EXPECT_EQ(dialog.PageControl1->tabText(2), QStringLiteral("Tablature"));
        EXPECT_EQ(dialog.PageControl1->tabText(3), QStringLiteral("MIDI"));
        EXPECT_EQ(dialog.PageControl1->currentIndex(), 0);

        const QList<std::pair<QCheckBox*, QString>> boxesAndCaptions = {
            { dialog.chkSavePrompts, QStringLiteral("Warning: \"Save changes to...\" ") },
            { dialog.chkCursorPlays, QStringLiteral("Cursor up/down plays chords") },
            { dialog.chkShowChordName, QStringLiteral("Show note name") },
            { dialog.chkShowFretNumbers, QStringLiteral("Show fret numbers") },
            { dialog.chkAutoCorrect, QStringLiteral("Auto note correction") },
            { dialog.chkShowTabPrompt, QStringLiteral("Prompt before showing tablature") },
            { dialog.chkTabFont, QStringLiteral("Use bold font for graphic tab") },
            { dialog.chkExternalMIDI, QStringLiteral("External MIDI") },
        };
        for (const auto& [box, caption] : boxesAndCaptions) {
            EXPECT_EQ(box->text(), caption);
            EXPECT_EQ(dialog.findChild<QCheckBox*>(box->objectName()), box);
            EXPECT_FALSE(box->accessibleName().isEmpty());
            EXPECT_FALSE(box->accessibleDescription().isEmpty()) << box->objectName().toStdString();
        }
        QStringList labels;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            labels << label->text();
        for (const char* text :
            { "Displays message prompts to warn you before you proceed with an operation that will cause you to lose "
              "your work.",
                "Chords are played when up and down keys are used.",
                "Display the current note name above the guitar neck. ", "Display fret numbers below guitar neck.",
                "Ensure that note names are correct. ", "Guitar neck markers",
                "These options allow you to change the color and shape of the chord fingering markers.", "Marker Color",
                "Displays a box for entering titles to print at the top of the tab. Comment lines containing \" * "
                "Title: \" and \" * Sub: \" can be used to specify tab titles.",
                "When viewing or printing graphic tab, show all the tabulature numbers in bold font.", "Device",
                "Select a driver for your sound card or external MIDI device.", "Channel",
                "Select a channel for MIDI output. (Channel 10 is used for drum sounds.)",
                "Check this when using external MIDI devices." })
            EXPECT_TRUE(labels.contains(QString::fromLatin1(text))) << text;
        EXPECT_EQ(dialog.Button1->text(), QStringLiteral("Select..."));
        EXPECT_EQ(dialog.rdoMarkerShape->title(), QStringLiteral("Marker Shape"));
        EXPECT_EQ(dialog.btnOK->text(), QStringLiteral("OK"));
        EXPECT_TRUE(dialog.btnOK->isDefault());
        EXPECT_EQ(dialog.btnCancel->text(), QStringLiteral("Cancel"));
        for (const char* name : { "shpSampleMarker1", "shpSampleMarker2", "shpSampleMarker3", "cboDevice", "cboChannel",
                 "Button1", "rdoMarkerShape", "btnOK", "btnCancel" })
            EXPECT_NE(dialog.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    }

    TEST_F(OptionsDialog, EveryShowingReloadsTheControlsButKeepsTheLastTab)
    {
        settings.Prompts = false;
        settings.TabPrompt = false;
        settings.TabFont = true;
        settings.ShowChordName = true;
        settings.ShowFretNumbers = false;
        settings.CursorPlays = true;
        settings.AutoCorrect = false;
        settings.ExternalMIDI = true;
        settings.Channel = 9;
        dialog.show();
        EXPECT_FALSE(dialog.chkSavePrompts->isChecked());
        EXPECT_FALSE(dialog.chkShowTabPrompt->isChecked());
        EXPECT_TRUE(dialog.chkTabFont->isChecked());
        EXPECT_TRUE(dialog.chkShowChordName->isChecked());
        EXPECT_FALSE(dialog.chkShowFretNumbers->isChecked());
        EXPECT_TRUE(dialog.chkCursorPlays->isChecked());
        EXPECT_FALSE(dialog.chkAutoCorrect->isChecked());
        EXPECT_TRUE(dialog.chkExternalMIDI->isChecked());
        EXPECT_EQ(dialog.cboChannel->currentIndex(), 9);
        QStringList channels;
        for (int i = 0; i < dialog.cboChannel->count(); ++i)
            channels << dialog.cboChannel->itemText(i);
        EXPECT_EQ(channels,
            QStringList({ " 1 (Default)", " 2", " 3", " 4", " 5", " 6", " 7", " 8", " 9", " 10 (Drums)", "11", "12",
                "13", "14", "15", "16" }));

        dialog.chkTabFont->setChecked(false);
        dialog.PageControl1->setCurrentIndex(2);
        dialog.btnCancel->click();
        settings.Prompts = true;
        dialog.show();
        EXPECT_TRUE(dialog.chkSavePrompts->isChecked());
        EXPECT_TRUE(dialog.chkTabFont->isChecked());
        EXPECT_EQ(dialog.PageControl1->currentIndex(), 2);
        EXPECT_EQ(dialog.cboChannel->count(), 16);
    }

    TEST_F(OptionsDialog, CancelAfterChangingEveryControlLeavesEverySettingAsBefore)
    {
        const Settings before = settings;
        dialog.show();
        for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
            box->toggle();
        shapeButton("Square")->click();
        chooser.answer = QColor(Qt::red);
        dialog.Button1->click();
        dialog.cboChannel->setCurrentIndex(5);
        dialog.cboDevice->setCurrentIndex(2);
        dialog.btnCancel->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(settings, before);
        EXPECT_TRUE(calls.isEmpty());
    }

    TEST_F(OptionsDialog, OkCopiesEveryControlInOrderAndRunsTheCallbacks)
    {
        settings.Octave = 0;
        dialog.show();
        dialog.chkSavePrompts->setChecked(false);
        dialog.chkShowTabPrompt->setChecked(false);
        dialog.chkCursorPlays->setChecked(true);
        dialog.chkTabFont->setChecked(true);
        dialog.chkShowChordName->setChecked(true);
        dialog.chkShowFretNumbers->setChecked(false);
        dialog.chkExternalMIDI->setChecked(true);
        chooser.answer = QColor(0x11, 0x22, 0x33);
        dialog.Button1->click();
        shapeButton("Ellipse")->click();
        dialog.cboChannel->setCurrentIndex(3);
        dialog.cboDevice->setCurrentIndex(1);
        dialog.btnOK->click();

        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(settings.Prompts);
        EXPECT_FALSE(settings.TabPrompt);
        EXPECT_TRUE(settings.CursorPlays);
        EXPECT_TRUE(settings.TabFont);
        EXPECT_TRUE(settings.ShowChordName);
        EXPECT_FALSE(settings.ShowFretNumbers);
        EXPECT_EQ(settings.MarkerColor, 0x332211);
        EXPECT_EQ(settings.MarkerShape, 4);
        EXPECT_EQ(settings.Channel, 3);
        EXPECT_EQ(settings.Octave, -12);
        EXPECT_EQ(settings.Device, 0);
        EXPECT_TRUE(settings.ExternalMIDI);
        EXPECT_TRUE(settings.AutoCorrect);
        // Each callback sees the fields copied before it and not those copied after.
        EXPECT_EQ(calls,
            QStringList({ "chordName 1 fret 1", "fretNumbers 0 color 16776960", "autoCorrectAll device 0 auto 1" }));
    }

    TEST_F(OptionsDialog, AutoCorrectAllRunsOnlyWhenAutoCorrectIsOn)
    {
        dialog.show();
        dialog.chkAutoCorrect->setChecked(false);
        dialog.btnOK->click();
        EXPECT_FALSE(settings.AutoCorrect);
        EXPECT_EQ(calls.size(), 2);
        EXPECT_FALSE(calls.join(QLatin1Char(' ')).contains(QStringLiteral("autoCorrectAll")));
    }

    TEST_F(OptionsDialog, ShapeRadioGroupMapsToShapeCodes)
    {
        const QList<std::pair<const char*, int>> clicks
            = { { "Ellipse", 4 }, { "Circle", 5 }, { "Rectangle", 0 }, { "Square", 1 } };
        for (const auto& [caption, code] : clicks) {
            dialog.show();
            shapeButton(caption)->click();
            EXPECT_EQ(dialog.shpSampleMarker2->shape(), code);
            dialog.btnOK->click();
            EXPECT_EQ(settings.MarkerShape, code) << caption;
        }

        const QList<std::pair<int, const char*>> stored = { { 0, "Rectangle" }, { 1, "Square" }, { 2, "Rectangle" },
            { 3, "Square" }, { 4, "Ellipse" }, { 5, "Circle" } };
        for (const auto& [code, caption] : stored) {
            settings.MarkerShape = code;
            dialog.show();
            EXPECT_TRUE(shapeButton(caption)->isChecked()) << code;
            // The samples show the stored shape itself, rounded forms included, until a button is clicked.
            EXPECT_EQ(dialog.shpSampleMarker1->shape(), code);
            dialog.btnOK->click();
            EXPECT_EQ(settings.MarkerShape, code);
        }
    }

    TEST_F(OptionsDialog, SamplesShowTheStoredColourAndKeepItWhenTheColourDialogIsCancelled)
    {
        settings.MarkerColor = 0x0080FF; // orange: red 0xFF, green 0x80
        dialog.show();
        for (SampleMarker* marker : { dialog.shpSampleMarker1, dialog.shpSampleMarker2, dialog.shpSampleMarker3 }) {
            EXPECT_EQ(marker->brushColor(), QColor(0xFF, 0x80, 0x00));
            EXPECT_EQ(marker->height(), 11);
        }
        chooser.answer.reset();
        dialog.Button1->click();
        EXPECT_EQ(chooser.calls, 1);
        EXPECT_EQ(dialog.shpSampleMarker3->brushColor(), QColor(0xFF, 0x80, 0x00));
        dialog.btnOK->click();
        EXPECT_EQ(settings.MarkerColor, 0x0080FF);
    }

    TEST_F(OptionsDialog, DeviceListFromTheCaller)
    {
        settings.Device = 1;
        dialog.show();
        ASSERT_EQ(dialog.cboDevice->count(), 3);
        EXPECT_EQ(dialog.cboDevice->itemText(0), QStringLiteral("Midi Mapper (Default)"));
        EXPECT_EQ(dialog.cboDevice->currentIndex(), 2);
        dialog.btnOK->click();
        EXPECT_EQ(settings.Device, 1);

        devices.clear();
        dialog.show();
        EXPECT_EQ(dialog.cboDevice->count(), 0);
        dialog.btnOK->click();
        EXPECT_EQ(settings.Device, -2);
    }

    TEST_F(OptionsDialog, ChoosingADeviceWarnsOnlyWhileMidiIsHeldOpen)
    {
        const QString warning
            = QStringLiteral("This program was started with 'External MIDI' Checked.  If you select a "
                             "new MIDI device it won't be used until the program is started again.");
        dialog.show();
        QTest::keyClick(dialog.cboDevice, Qt::Key_Down);
        EXPECT_TRUE(boxes.warnings.isEmpty());

        dialog.MidiHeldOpen = true;
        dialog.show();
        EXPECT_TRUE(boxes.warnings.isEmpty()) << "refilling the list is not a choice";
        QTest::keyClick(dialog.cboDevice, Qt::Key_Down);
        EXPECT_EQ(boxes.warnings, QStringList({ warning }));
    }

    TEST_F(OptionsDialog, ExternalMidiWarnsOnEveryMouseUpAndSpaceKey)
    {
        dialog.PageControl1->setCurrentIndex(3);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(dialog.chkExternalMIDI, Qt::LeftButton, {}, QPoint(6, dialog.chkExternalMIDI->height() / 2));
        QCoreApplication::processEvents();
        EXPECT_TRUE(dialog.chkExternalMIDI->isChecked());
        EXPECT_EQ(boxes.warnings, QStringList({ Restart }));
        QTest::mouseClick(dialog.chkExternalMIDI, Qt::LeftButton, {}, QPoint(6, dialog.chkExternalMIDI->height() / 2));
        QCoreApplication::processEvents();
        EXPECT_FALSE(dialog.chkExternalMIDI->isChecked());
        EXPECT_EQ(boxes.warnings, QStringList({ Restart, Restart }));
        QTest::keyClick(dialog.chkExternalMIDI, Qt::Key_Space);
        QCoreApplication::processEvents();
        EXPECT_TRUE(dialog.chkExternalMIDI->isChecked());
        EXPECT_EQ(boxes.warnings.size(), 3);
        // Other check boxes stay quiet.
        QTest::mouseClick(dialog.chkTabFont, Qt::LeftButton, {}, QPoint(6, dialog.chkTabFont->height() / 2));
        QCoreApplication::processEvents();
        EXPECT_EQ(boxes.warnings.size(), 3);
    }

    TEST(MarkerColorSetting, IsRedInTheLowByte)
    {
        EXPECT_EQ(MarkerColorFromSetting(16776960), QColor(0, 255, 255));
        EXPECT_EQ(MarkerColorToSetting(QColor(0, 255, 255)), 16776960);
        EXPECT_EQ(MarkerColorToSetting(MarkerColorFromSetting(0x123456)), 0x123456);
    }

} // namespace
} // namespace fw

namespace fw {
namespace {

    // The MIDI tab shows the SoundFont in use; Browse... changes the stored value only with OK, a
    // cancelled file choice or Cancel keeps it.
    TEST_F(OptionsDialog, SoundFontShowsTheFileInUseAndBrowseStoresItOnOk)
    {
        settings.SoundFont = QString();
        dialog.soundFontInUse = [](const QString& stored) {
            return stored.isEmpty() ? QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2") : stored;
        };
        QStringList answers { QString(), QStringLiteral("/home/me/Bass.sf2") };
        QStringList asked;
        dialog.chooseSoundFont = [&](const QString& current) {
            asked << current;
            return answers.takeFirst();
        };
        dialog.show();
        EXPECT_EQ(dialog.edtSoundFont->text(), "/usr/share/sounds/sf2/FluidR3_GM.sf2");
        EXPECT_EQ(dialog.edtSoundFont->accessibleName(), "SoundFont");
        EXPECT_EQ(dialog.btnSoundFont->text(), "Browse...");
        EXPECT_EQ(dialog.btnSoundFont->accessibleName(), "Browse...");
        EXPECT_TRUE(dialog.edtSoundFont->isReadOnly());

        QTest::mouseClick(dialog.btnSoundFont, Qt::LeftButton);
        EXPECT_EQ(dialog.edtSoundFont->text(), "/usr/share/sounds/sf2/FluidR3_GM.sf2");
        QTest::mouseClick(dialog.btnSoundFont, Qt::LeftButton);
        EXPECT_EQ(dialog.edtSoundFont->text(), "/home/me/Bass.sf2");
        EXPECT_EQ(
            asked, QStringList({ "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2" }));
        dialog.btnCancel->click();
        EXPECT_EQ(settings.SoundFont, QString());

        answers = QStringList { QStringLiteral("/home/me/Bass.sf2") };
        dialog.show();
        QTest::mouseClick(dialog.btnSoundFont, Qt::LeftButton);
        dialog.btnOK->click();
        EXPECT_EQ(settings.SoundFont, "/home/me/Bass.sf2");
        dialog.show();
        EXPECT_EQ(dialog.edtSoundFont->text(), "/home/me/Bass.sf2");
    }

} // namespace
} // namespace fw
