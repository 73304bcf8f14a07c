#include "SettingsStore.h"

#include <QDir>
#include <QFileInfo>

namespace fw {

namespace {

    const QString Options = QStringLiteral("Options");
    const QString Midi = QStringLiteral("Midi");
    const QString Recent = QStringLiteral("Recent");

    class Reader {
    public:
        explicit Reader(const KeyValueStore& store)
            : m_store(store)
        {
        }

        int integer(const QString& section, const QString& name, int fallback) const
        {
            const std::optional<QString> text = m_store.read(section, name);
            if (!text)
                return fallback;
            return ParseSettingInt(*text).value_or(fallback);
        }

        // Fields held in a byte only make sense within their range; anything else gets the default.
        int ranged(const QString& section, const QString& name, int fallback, int low, int high) const
        {
            const int value = integer(section, name, fallback);
            return value >= low && value <= high ? value : fallback;
        }

        bool boolean(const QString& section, const QString& name, bool fallback) const
        {
            return integer(section, name, fallback ? 1 : 0) != 0;
        }

        QString text(const QString& section, const QString& name) const
        {
            return m_store.read(section, name).value_or(QString());
        }

    private:
        const KeyValueStore& m_store;
    };

    bool IsExistingFolder(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

    QString BoolText(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }

} // namespace

QSettingsStore::QSettingsStore()
#ifdef Q_OS_WIN
    // The key the program has always used, without the application level QSettings would add.
    : m_settings(QStringLiteral("HKEY_CURRENT_USER\\Software\\Fretwerk Bass"), QSettings::NativeFormat)
#else
    : m_settings(
        QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Fretwerk Bass"), QStringLiteral("Fretwerk Bass"))
#endif
{
}

std::optional<QString> QSettingsStore::read(const QString& section, const QString& name) const
{
    const QString key = section + QLatin1Char('/') + name;
    if (!m_settings.contains(key))
        return std::nullopt;
    const QVariant value = m_settings.value(key);
    if (!value.canConvert<QString>())
        return std::nullopt;
    return value.toString();
}

void QSettingsStore::write(const QString& section, const QString& name, const QString& value)
{
    m_settings.setValue(section + QLatin1Char('/') + name, value);
}

std::optional<int> ParseSettingInt(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (text.mid(i, 2).compare(QLatin1String("0x"), Qt::CaseInsensitive) == 0) {
        base = 16;
        i += 2;
    } else if (i < text.size() && text.at(i) == QLatin1Char('$')) {
        base = 16;
        ++i;
    }
    const QString digits = text.mid(i);
    if (digits.isEmpty())
        return std::nullopt;
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        const bool decimal = u >= u'0' && u <= u'9';
        const bool hex = decimal || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
        if (!(base == 10 ? decimal : hex))
            return std::nullopt;
    }
    bool ok = false;
    const qulonglong magnitude = digits.toULongLong(&ok, base);
    if (!ok)
        return std::nullopt;
    if (base == 16) {
        if (magnitude > 0xFFFFFFFFull)
            return std::nullopt;
        const int value = static_cast<int>(static_cast<quint32>(magnitude));
        return negative ? static_cast<int>(0u - static_cast<quint32>(value)) : value;
    }
    const qlonglong limit = negative ? 2147483648LL : 2147483647LL;
    if (magnitude > static_cast<qulonglong>(limit))
        return std::nullopt;
    return static_cast<int>(negative ? -static_cast<qlonglong>(magnitude) : static_cast<qlonglong>(magnitude));
}

Settings LoadSettings(const KeyValueStore& store)
{
    const Settings d;
    const Reader r(store);
    Settings s;
    s.Prompts = r.boolean(Options, QStringLiteral("Prompts"), d.Prompts);
    s.TabPrompt = r.boolean(Options, QStringLiteral("TabPrompt"), d.TabPrompt);
    s.TabFont = r.boolean(Options, QStringLiteral("TabFont"), d.TabFont);
    s.ShowChordName = r.boolean(Options, QStringLiteral("ShowChordName"), d.ShowChordName);
    s.ShowFretNumbers = r.boolean(Options, QStringLiteral("ShowFretNumbers"), d.ShowFretNumbers);
    s.CursorPlays = r.boolean(Options, QStringLiteral("CursorPlays"), d.CursorPlays);
    s.LastDir = r.text(Options, QStringLiteral("LastDir"));
    if (!IsExistingFolder(s.LastDir))
        s.LastDir.clear();
    s.InstallDir = r.text(Options, QStringLiteral("InstallDir"));
    if (!IsExistingFolder(s.InstallDir))
        s.InstallDir = QDir::currentPath();
    s.MarkerColor = r.integer(Options, QStringLiteral("MarkerColor"), d.MarkerColor);
    s.MarkerShape = r.ranged(Options, QStringLiteral("MarkerShape"), d.MarkerShape, 0, 5);
    s.AutoCorrect = r.boolean(Options, QStringLiteral("AutoCorrect"), d.AutoCorrect);
    s.ChordEntryMode = r.boolean(Options, QStringLiteral("ChordEntryMode"), d.ChordEntryMode);
    s.AutoLineAdvance = r.boolean(Options, QStringLiteral("AutoLineAdvance"), d.AutoLineAdvance);
    s.Welcomed = r.boolean(Options, QStringLiteral("Welcomed"), d.Welcomed);
    s.NewTuning = r.text(Options, QStringLiteral("NewTuning"));

    s.ExternalMIDI = r.boolean(Midi, QStringLiteral("ExternalMIDI"), d.ExternalMIDI);
    s.Device = r.integer(Midi, QStringLiteral("Device"), d.Device);
    s.Octave = r.integer(Midi, QStringLiteral("Octave"), d.Octave);
    s.Channel = r.ranged(Midi, QStringLiteral("Channel"), d.Channel, 0, 15);
    s.Patch = r.ranged(Midi, QStringLiteral("Patch"), d.Patch, 0, 127);
    s.SoundFont = r.text(Midi, QStringLiteral("SoundFont"));

    s.RecentFile0 = r.text(Recent, QStringLiteral("RecentFile0"));
    s.RecentFile1 = r.text(Recent, QStringLiteral("RecentFile1"));
    s.RecentFile2 = r.text(Recent, QStringLiteral("RecentFile2"));
    return s;
}

void SaveSettings(const Settings& s, KeyValueStore& store)
{
    const auto flag = [&](const QString& section, const char* name, bool value) {
        store.write(section, QString::fromLatin1(name), BoolText(value));
    };
    const auto number = [&](const QString& section, const char* name, int value) {
        store.write(section, QString::fromLatin1(name), QString::number(value));
    };
    const auto text = [&](const QString& section, const char* name, const QString& value) {
        store.write(section, QString::fromLatin1(name), value);
    };
    flag(Options, "Prompts", s.Prompts);
    flag(Options, "TabPrompt", s.TabPrompt);
    flag(Options, "TabFont", s.TabFont);
    flag(Options, "ShowChordName", s.ShowChordName);
    flag(Options, "ShowFretNumbers", s.ShowFretNumbers);
    flag(Options, "CursorPlays", s.CursorPlays);
    text(Options, "LastDir", s.LastDir);
    text(Options, "InstallDir", s.InstallDir);
    number(Options, "MarkerColor", s.MarkerColor);
    number(Options, "MarkerShape", s.MarkerShape);
    flag(Options, "AutoCorrect", s.AutoCorrect);
    flag(Options, "ChordEntryMode", s.ChordEntryMode);
    flag(Options, "AutoLineAdvance", s.AutoLineAdvance);
    flag(Options, "Welcomed", s.Welcomed);
    text(Options, "NewTuning", s.NewTuning);

    flag(Midi, "ExternalMIDI", s.ExternalMIDI);
    number(Midi, "Device", s.Device);
    number(Midi, "Octave", s.Octave);
    number(Midi, "Channel", s.Channel);
    number(Midi, "Patch", s.Patch);
    text(Midi, "SoundFont", s.SoundFont);

    text(Recent, "RecentFile0", s.RecentFile0);
    text(Recent, "RecentFile1", s.RecentFile1);
    text(Recent, "RecentFile2", s.RecentFile2);
}

Settings LoadSettings()
{
    const QSettingsStore store;
    return LoadSettings(store);
}

void SaveSettings(const Settings& settings)
{
    QSettingsStore store;
    SaveSettings(settings, store);
    store.sync();
}

} // namespace fw
