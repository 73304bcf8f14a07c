#pragma once

#include "ScoreReader.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringView>
#include <QXmlStreamReader>
#include <array>
#include <cmath>

namespace fw::musicxml {

// The stream reader, with the nesting depth counted on every element so that no input can make
// the reader hold an unbounded stack of open elements. kind names the document in messages ("Not a
// MusicXML file: ...").
class XmlCursor {
public:
    explicit XmlCursor(const QByteArray& bytes, const QString& kind = QStringLiteral("MusicXML"))
        : m_reader(bytes)
        , m_kind(kind)
    {
        // Scores use no namespaces; resolving them would only cost time on every element.
        m_reader.setNamespaceProcessing(false);
    }
    // Reads the document from device as it comes, so a packed score is never held whole.
    explicit XmlCursor(QIODevice* device)
        : m_reader(device)
    {
        m_reader.setNamespaceProcessing(false);
    }

    // Moves to the next child element of the current one; false at the current element's end.
    bool child()
    {
        while (ok()) {
            const QXmlStreamReader::TokenType token = m_reader.readNext();
            if (token == QXmlStreamReader::StartElement)
                return enter();
            if (token == QXmlStreamReader::EndElement) {
                --m_depth;
                return false;
            }
        }
        return false;
    }

    // Skips the rest of the current element.
    void skip()
    {
        int level = 0;
        while (ok()) {
            const QXmlStreamReader::TokenType token = m_reader.readNext();
            if (token == QXmlStreamReader::StartElement) {
                if (!enter())
                    return;
                ++level;
            } else if (token == QXmlStreamReader::EndElement) {
                --m_depth;
                if (level-- == 0)
                    return;
            }
        }
    }

    // The text of a leaf element, at most MaxTextLength characters of it: no title or word of a
    // score is longer, and a file's megabytes of text must not become as many in memory. An element
    // inside it makes the file an error.
    QString text()
    {
        QString value;
        while (ok()) {
            const QXmlStreamReader::TokenType token = m_reader.readNext();
            if (token == QXmlStreamReader::Characters || token == QXmlStreamReader::EntityReference) {
                if (value.size() < MaxTextLength)
                    value += m_reader.text().left(MaxTextLength - value.size());
            } else if (token == QXmlStreamReader::EndElement) {
                --m_depth;
                break;
            } else if (token == QXmlStreamReader::StartElement) {
                fail(QStringLiteral("Not a %1 score: a text holds other elements (line %2).")
                         .arg(m_kind)
                         .arg(m_reader.lineNumber()));
                break;
            }
        }
        return value.trimmed();
    }
    // A number in a leaf element, read from the reader's own buffer when the text comes in one
    // piece, as it nearly always does: scores hold millions of them.
    long long integer(long long fallback)
    {
        bool ok = false;
        const long long value = leaf([&ok](QStringView text) { return text.trimmed().toLongLong(&ok); });
        return ok ? value : fallback;
    }
    // A one-letter leaf (a step), without building a string.
    QChar letter()
    {
        return leaf([](QStringView text) {
            text = text.trimmed();
            return text.size() == 1 ? text[0] : QChar();
        });
    }
    double real(double fallback)
    {
        bool ok = false;
        const double value = text().toDouble(&ok);
        return ok && std::isfinite(value) ? value : fallback;
    }
    // A decimal number such as a duration ("1.5" is as valid as "3"), read like integer.
    double decimal(double fallback)
    {
        bool ok = false;
        const double value = leaf([&ok](QStringView text) { return text.trimmed().toDouble(&ok); });
        return ok && std::isfinite(value) ? value : fallback;
    }

    bool is(QStringView name) const { return m_name == name; }
    QString name() const { return m_name.toString(); }
    QString attribute(QLatin1StringView name) const { return m_reader.attributes().value(name).toString(); }
    int intAttribute(QLatin1StringView name, int fallback) const
    {
        bool ok = false;
        const int value = m_reader.attributes().value(name).toInt(&ok);
        return ok ? value : fallback;
    }

    // Moves to the document element.
    bool root()
    {
        while (ok()) {
            if (m_reader.readNext() == QXmlStreamReader::StartElement)
                return enter();
        }
        return false;
    }

    // Whether the token just read closes an element of that name: where a loop over the document
    // element's children must stop, and not at the document's end after the reader lost its place.
    bool atEndOf(QStringView name) const { return m_reader.isEndElement() && m_reader.name() == name; }

    bool ok() const { return m_error.isEmpty() && !m_reader.atEnd() && !m_reader.hasError(); }
    void fail(const QString& error)
    {
        if (m_error.isEmpty())
            m_error = error;
    }
    QString error() const
    {
        if (!m_error.isEmpty())
            return m_error;
        if (m_reader.hasError())
            return QStringLiteral("Not a %1 file: %2 (line %3).")
                .arg(m_kind, m_reader.errorString())
                .arg(m_reader.lineNumber());
        return QString();
    }

private:
    // Reads a leaf element's number through read: straight from the reader's buffer when the text
    // comes in one piece, else joined (a document read from a device may split a text where a block
    // ends). A number longer than a short buffer is no number.
    template <typename Read> auto leaf(Read read) -> decltype(read(QStringView()))
    {
        std::array<QChar, 40> buffer;
        qsizetype length = 0;
        int pieces = 0;
        decltype(read(QStringView())) value {};
        while (ok()) {
            const QXmlStreamReader::TokenType token = m_reader.readNext();
            if (token == QXmlStreamReader::Characters) {
                const QStringView text = m_reader.text();
                if (pieces++ == 0)
                    value = read(text);
                if (length + text.size() <= qsizetype(buffer.size()))
                    std::copy(text.begin(), text.end(), buffer.begin() + length);
                length += text.size();
            } else if (token == QXmlStreamReader::EndElement) {
                --m_depth;
                if (pieces <= 1)
                    return value;
                return read(length <= qsizetype(buffer.size()) ? QStringView(buffer.data(), length) : QStringView());
            } else if (token != QXmlStreamReader::Comment && token != QXmlStreamReader::ProcessingInstruction)
                break;
        }
        fail(QStringLiteral("Not a %1 score: a number or letter holds other elements (line %2).")
                 .arg(m_kind)
                 .arg(m_reader.lineNumber()));
        return read(QStringView());
    }

    bool enter()
    {
        m_name = m_reader.name();
        if (++m_depth > MaxXmlDepth) {
            fail(
                QStringLiteral("Not a %1 file: its elements nest deeper than %2 levels.").arg(m_kind).arg(MaxXmlDepth));
            return false;
        }
        return true;
    }

    QXmlStreamReader m_reader;
    QString m_kind = QStringLiteral("MusicXML");
    QStringView m_name; // the current start element's, valid until the reader moves on
    int m_depth = 0;
    QString m_error;
};

} // namespace fw::musicxml
