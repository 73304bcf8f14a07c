#pragma once

#include "Settings.h"

#include <QColor>
#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class QTabWidget;

namespace fw {

class MessageBoxes;

// The colour dialog behind "Select...", replaceable so tests never open a window.
class ColorChooser {
public:
    virtual ~ColorChooser() = default;
    // The colour the user confirmed, or nothing when the dialog was cancelled.
    virtual std::optional<QColor> chooseColor(QWidget* parent) = 0;
};

// The platform colour dialog; it opens with the colour chosen last (black the first time).
class QtColorChooser : public ColorChooser {
public:
    std::optional<QColor> chooseColor(QWidget* parent) override;

private:
    QColor m_last = Qt::black;
};

// A stored marker colour is 0x00BBGGRR.
QColor MarkerColorFromSetting(int value);
int MarkerColorToSetting(const QColor& color);

// One sample marker of the Markers tab: a filled shape of a MarkerShape code, without outline.
class SampleMarker : public QWidget {
    Q_OBJECT
public:
    explicit SampleMarker(QWidget* parent = nullptr);
    QColor brushColor() const { return m_color; }
    void setBrushColor(const QColor& color);
    int shape() const { return m_shape; }
    void setShape(int code);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
    int m_shape = 5;
};

// The Settings dialog. It edits the settings it is given only when OK is pressed; every showing
// reloads its controls from them.
//
// Wiring: setSettings, setMessageBoxes, and the callbacks below; deviceItems is asked at each showing.
class TfrmOptions : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOptions(QWidget* parent = nullptr);

    void setSettings(Settings* settings) { m_settings = settings; }
    void setMessageBoxes(MessageBoxes* boxes) { m_boxes = boxes; }
    // Not owned; a QtColorChooser of the dialog's own is used until one is set.
    void setColorChooser(ColorChooser* chooser);

    // The items of the device list: the default device with " (Default)", then every device; empty
    // when there is none. Item i stands for device i - 1.
    std::function<QStringList()> deviceItems;
    // Copy of ExternalMIDI taken at start: a device change then waits for the next start.
    bool MidiHeldOpen = false;
    // Run by OK, in this order, after ShowChordName, ShowFretNumbers and AutoCorrect were copied.
    std::function<void(bool visible)> showChordNameLabel;
    std::function<void(bool visible)> showFretNumbersLabel;
    // Renames every line; run by OK only when AutoCorrect is on.
    std::function<void()> autoCorrectAll;
    // The SoundFont file the built-in synthesizer uses for the stored value ("" when none is found).
    std::function<QString(const QString& stored)> soundFontInUse;
    // Asks for a SoundFont file, starting at the given one; "" when cancelled. A file dialog by default.
    std::function<QString(const QString& current)> chooseSoundFont;

    // Handlers, public so the main window and tests can drive them.
    void FormActivate();
    void rdoMarkerShapeClick(int index);
    void Button1Click();
    void cboDeviceChange();
    void chkExternalMIDIMouseUp();
    void btnSoundFontClick();
    void btnOKClick();
    void btnCancelClick();

    // The shape code chosen in the dialog (0, 1, 4 or 5 after a click; the stored code until then).
    int markerShapeCode() const { return m_shapeCode; }

    QTabWidget* PageControl1 = nullptr;
    QCheckBox* chkSavePrompts = nullptr;
    QCheckBox* chkCursorPlays = nullptr;
    QCheckBox* chkShowChordName = nullptr;
    QCheckBox* chkShowFretNumbers = nullptr;
    QCheckBox* chkAutoCorrect = nullptr;
    QLineEdit* edtNewTuning = nullptr;
    QPushButton* Button1 = nullptr;
    QGroupBox* rdoMarkerShape = nullptr;
    QButtonGroup* rdoMarkerShapeButtons = nullptr;
    SampleMarker* shpSampleMarker1 = nullptr;
    SampleMarker* shpSampleMarker2 = nullptr;
    SampleMarker* shpSampleMarker3 = nullptr;
    QCheckBox* chkShowTabPrompt = nullptr;
    QCheckBox* chkTabFont = nullptr;
    QComboBox* cboDevice = nullptr;
    QComboBox* cboChannel = nullptr;
    QCheckBox* chkExternalMIDI = nullptr;
    QLineEdit* edtSoundFont = nullptr;
    QPushButton* btnSoundFont = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildGeneralTab();
    void BuildNewTuningRow(QVBoxLayout* column, QWidget* page);
    QWidget* buildMarkersTab();
    QWidget* buildTablatureTab();
    QWidget* buildMidiTab();
    void setSamples(const QColor& color, int shape);

    Settings* m_settings = nullptr;
    MessageBoxes* m_boxes = nullptr;
    QtColorChooser m_ownChooser;
    ColorChooser* m_chooser = &m_ownChooser;
    int m_shapeCode = 5;
    QString m_soundFont;
};

} // namespace fw
