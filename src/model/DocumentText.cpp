#include "DocumentText.h"

#include "TextRules.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <array>

namespace fw {

namespace {

    // Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five unassigned codes map to the
    // C1 controls of the same value so that every byte survives a round trip.
    constexpr std::array<char16_t, 32> Cp1252High { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178 };

    int Cp1252ByteFor(char16_t c)
    {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
            return c;
        const auto it = std::find(Cp1252High.begin(), Cp1252High.end(), c);
        return it == Cp1252High.end() ? -1 : 0x80 + static_cast<int>(it - Cp1252High.begin());
    }

    QString HeaderValueText(const QString& line) { return TrimBlanks(QStringView(line).mid(8, 20)).toString(); }

} // namespace

QString DecodeDocumentBytes(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    text.resize(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(b >= 0x80 && b < 0xA0 ? Cp1252High[b - 0x80] : char16_t(b));
    }
    return text;
}

QByteArray EncodeDocumentText(const QString& text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bool ascii = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = Cp1252ByteFor(text[i].unicode());
        if (b < 0)
            return text.toUtf8();
        bytes[i] = static_cast<char>(b);
        ascii = ascii && b < 0x80;
    }
    if (ascii)
        return bytes;
    // Plain ASCII and Windows-1252 bytes that happen to form valid UTF-8 would be read back
    // as UTF-8; such text is rare, and writing UTF-8 then keeps every character.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString reread = utf8.decode(bytes);
    if (!utf8.hasError() && reread != text)
        return text.toUtf8();
    return bytes;
}

QStringList SplitDocumentLines(QStringView text)
{
    QStringList lines;
    // A long text would otherwise copy its growing list of lines many times.
    lines.reserve(text.count(u'\n') + 1);
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start).toString());
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start).toString());
    return lines;
}

QString JoinDocumentLines(const QStringList& lines)
{
    qsizetype size = 0;
    for (const QString& line : lines)
        size += line.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString& line : lines) {
        text += line;
        text += QLatin1StringView("\r\n");
    }
    return text;
}

bool ApplyHeaderLines(QStringList& lines, DocumentHeader& header)
{
    auto lineAt = [&lines](int i) { return i < lines.size() ? lines[i] : QString(); };
    const bool first = lineAt(0).startsWith(QStringLiteral("*Info 1:"));
    const bool second = lineAt(1).startsWith(QStringLiteral("*Info 2:"));
    if (second)
        header.Patch = StrToIntDef(HeaderValueText(lineAt(1)), DefaultPatch);
    const bool third = lineAt(2).startsWith(QStringLiteral("*Info 3:"));
    if (third)
        header.Info3Value = StrToIntDef(HeaderValueText(lineAt(2)), DefaultInfo3Value);
    const bool fourth = lineAt(3).startsWith(QStringLiteral("*Info 4:"));
    if (fourth)
        header.Tempo = std::clamp(StrToIntDef(HeaderValueText(lineAt(3)), DefaultTempo), MinTempo, MaxTempo);
    const bool all = first && second && third && fourth;
    if (all)
        lines.erase(lines.begin(), lines.begin() + 4);
    return all;
}

QStringList HeaderLines(const DocumentHeader& header)
{
    return {
        QStringLiteral("*Info 1: Fretwerk Bass Version 1.0 File Information"),
        QStringLiteral("*Info 2:") + QString::number(header.Patch),
        QStringLiteral("*Info 3:") + QString::number(header.Info3Value),
        QStringLiteral("*Info 4:") + QString::number(header.Tempo),
    };
}

int BassSoundIndexForPatch(int patch) { return patch >= 32 && patch <= 38 ? patch - 32 : 1; }

LoadedDocument ParseDocumentBytes(const QByteArray& bytes)
{
    LoadedDocument document;
    document.lines = SplitDocumentLines(DecodeDocumentBytes(bytes));
    ApplyHeaderLines(document.lines, document.header);
    return document;
}

} // namespace fw
