#pragma once

#include "Settings.h"

#include <QSettings>
#include <QString>
#include <optional>

namespace fw {

// Where the preferences live: named string values grouped in sections ("Options", "Midi", "Recent").
class KeyValueStore {
public:
    virtual ~KeyValueStore() = default;
    // Nothing when the section or the value is missing or cannot be read.
    virtual std::optional<QString> read(const QString& section, const QString& name) const = 0;
    // Failures are not reported: a lost preference must not stop the program.
    virtual void write(const QString& section, const QString& name, const QString& value) = 0;
};

// The per-user store of the platform: the registry key "Software\Fretwerk Bass" of the current user on
// Windows, the configuration file "Fretwerk Bass/Fretwerk Bass.conf" under the user's config folder
// elsewhere.
class QSettingsStore : public KeyValueStore {
public:
    QSettingsStore();
    std::optional<QString> read(const QString& section, const QString& name) const override;
    void write(const QString& section, const QString& name, const QString& value) override;
    // Writes pending values to disk now (the destructor does it too).
    void sync() { m_settings.sync(); }

private:
    QSettings m_settings;
};

// Integer text as the settings hold it: optional leading blanks, a sign, then decimal digits or hex
// digits after "0x", "0X" or "$", and nothing after. Hex takes up to 32 bits and wraps into an int.
std::optional<int> ParseSettingInt(const QString& text);

// Reads every value, giving each missing or unparsable one its default, and applies the folder checks:
// LastDir is emptied and InstallDir replaced by the current folder when they do not name an existing
// folder.
Settings LoadSettings(const KeyValueStore& store);
// Writes every value; booleans as "1"/"0", integers in decimal.
void SaveSettings(const Settings& settings, KeyValueStore& store);

// The same through the platform's per-user store.
Settings LoadSettings();
void SaveSettings(const Settings& settings);

} // namespace fw
