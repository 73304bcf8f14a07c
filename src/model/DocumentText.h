#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace fw {

// Bytes are UTF-8 when valid, else Windows-1252 (files written by the Windows program).
QString DecodeDocumentBytes(const QByteArray& bytes);
// Windows-1252 when every character fits, else UTF-8, so nothing typed is ever lost.
QByteArray EncodeDocumentText(const QString& text);

// Lines end with CR LF, LF or CR; a final line end adds no line.
QStringList SplitDocumentLines(QStringView text);
// Every line ended by CR LF.
QString JoinDocumentLines(const QStringList& lines);

inline constexpr int DefaultPatch = 33;
inline constexpr int DefaultInfo3Value = 555555;
inline constexpr int DefaultTempo = 120;
inline constexpr int MinTempo = 1;
inline constexpr int MaxTempo = 500;

// The per-document values a file's four "*Info" header lines carry.
struct DocumentHeader {
    int Patch = DefaultPatch;
    int Info3Value = DefaultInfo3Value;
    int Tempo = DefaultTempo;
};

// Applies each header line found at its place to header, and removes all four from lines when
// all of them are present. Returns whether they were removed.
bool ApplyHeaderLines(QStringList& lines, DocumentHeader& header);
QStringList HeaderLines(const DocumentHeader& header);

// Index of the Bass Sounds item that shows the given patch.
int BassSoundIndexForPatch(int patch);

struct LoadedDocument {
    QStringList lines;
    DocumentHeader header;
};
LoadedDocument ParseDocumentBytes(const QByteArray& bytes);

} // namespace fw
