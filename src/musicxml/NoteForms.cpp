#include "NoteForms.h"

namespace fw::musicxml {

const std::array<NoteForm, NoteFormCount>& NoteForms()
{
    // Longest first, so LongestFormWithin can stop at the first fit.
    static const std::array<NoteForm, NoteFormCount> forms { {
        { ".W", 576, "whole", true, false },
        { "W", 384, "whole", false, false },
        { ".H", 288, "half", true, false },
        { "H", 192, "half", false, false },
        { ".Q", 144, "quarter", true, false },
        { "/W", 128, "half", false, true },
        { "Q", 96, "quarter", false, false },
        { ".E", 72, "eighth", true, false },
        { "/H", 64, "quarter", false, true },
        { "E", 48, "eighth", false, false },
        { ".S", 36, "16th", true, false },
        { "/Q", 32, "eighth", false, true },
        { "S", 24, "16th", false, false },
        { ".T", 18, "32nd", true, false },
        { "/E", 16, "16th", false, true },
        { "T", 12, "32nd", false, false },
        { ".F", 9, "64th", true, false },
        { "/S", 8, "32nd", false, true },
        { "F", 6, "64th", false, false },
        { "/T", 4, "64th", false, true },
        { "/F", 2, "128th", false, true },
    } };
    return forms;
}

const NoteForm* FormOfDuration(QStringView text)
{
    for (const NoteForm& form : NoteForms()) {
        if (text.compare(QLatin1StringView(form.text), Qt::CaseInsensitive) == 0)
            return &form;
    }
    return nullptr;
}

const NoteForm* FormOfLength(long long divisions)
{
    for (const NoteForm& form : NoteForms()) {
        if (form.divisions == divisions)
            return &form;
    }
    return nullptr;
}

const NoteForm* LongestFormWithin(long long divisions)
{
    for (const NoteForm& form : NoteForms()) {
        if (form.divisions <= divisions)
            return &form;
    }
    return nullptr;
}

SpelledPitch SpellKey(int key)
{
    static constexpr char Steps[] = "CCDDEFFGGAAB";
    static constexpr int Alters[] = { 0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 0 };
    const int pitchClass = ((key % 12) + 12) % 12;
    return { Steps[pitchClass], Alters[pitchClass], (key - pitchClass) / 12 - 1 };
}

int KeyOfPitch(QChar step, int alter, int octave)
{
    static constexpr int StepPitch[] = { 9, 11, 0, 2, 4, 5, 7 }; // A B C D E F G
    const char16_t letter = step.toUpper().unicode();
    if (letter < u'A' || letter > u'G')
        return -1;
    return 12 * (octave + 1) + StepPitch[letter - u'A'] + alter;
}

} // namespace fw::musicxml
