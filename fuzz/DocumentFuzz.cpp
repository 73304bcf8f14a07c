#include "DocumentText.h"
#include "FuzzChordLists.h"

#include <QByteArray>

using namespace fw;

// Any bytes as a chord-list file: decoding must pick an encoding, split lines on every kind of line
// end, read header values within their limits, and survive a save and reload unchanged.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const LoadedDocument document = ParseDocumentBytes(bytes);
    for (const QString& line : document.lines) {
        if (line.contains(u'\r') || line.contains(u'\n'))
            fuzz::Fail(QStringLiteral("a line holds a line end"));
    }
    if (document.header.Tempo < MinTempo || document.header.Tempo > MaxTempo)
        fuzz::Fail(QStringLiteral("tempo %1").arg(document.header.Tempo));
    const int index = BassSoundIndexForPatch(document.header.Patch);
    if (index < 0 || index > 6)
        fuzz::Fail(QStringLiteral("bass sound index %1").arg(index));

    const QString text = DecodeDocumentBytes(bytes);
    if (DecodeDocumentBytes(EncodeDocumentText(text)) != text)
        fuzz::Fail(QStringLiteral("decoded text changes when encoded and decoded again"));

    // What the program saves: header lines and the lines, each ended by CR LF.
    QStringList saved = HeaderLines(document.header);
    saved += document.lines;
    const LoadedDocument reloaded = ParseDocumentBytes(EncodeDocumentText(JoinDocumentLines(saved)));
    if (reloaded.lines != document.lines)
        fuzz::Fail(QStringLiteral("lines change when saved and loaded again"));
    if (reloaded.header.Tempo != document.header.Tempo || reloaded.header.Patch != document.header.Patch
        || reloaded.header.Info3Value != document.header.Info3Value)
        fuzz::Fail(QStringLiteral("header values change when saved and loaded again"));
    return 0;
}
