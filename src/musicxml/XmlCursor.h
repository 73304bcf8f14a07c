#pragma once

#include "ScoreReader.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QXmlStreamReader>
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

    // The text of a leaf element; an element inside it makes the file an error.
    QString text()
    {
        const QString value = m_reader.readElementText().trimmed();
        --m_depth;
        return value;
    }
    // A number in a leaf element, read from the reader's own buffer when the text comes in one
    // piece, as it nearly always does: scores hold millions of them.
    long long integer(long long fallback)
    {
        if (m_reader.readNext() == QXmlStreamReader::Characters) {
            bool ok = false;
            const long long value = m_reader.text().trimmed().toLongLong(&ok);
            if (m_reader.readNext() == QXmlStreamReader::EndElement) {
                --m_depth;
                return ok ? value : fallback;
            }
            fail(QStringLiteral("Not a %1 score: a number is not plain text (line %2).")
                     .arg(m_kind)
                     .arg(m_reader.lineNumber()));
            return fallback;
        }
        if (m_reader.tokenType() == QXmlStreamReader::EndElement) {
            --m_depth;
            return fallback;
        }
        fail(QStringLiteral("Not a %1 score: a number holds other elements (line %2).")
                 .arg(m_kind)
                 .arg(m_reader.lineNumber()));
        return fallback;
    }
    // A one-letter leaf (a step), without building a string.
    QChar letter()
    {
        QChar value;
        if (m_reader.readNext() == QXmlStreamReader::Characters) {
            const QStringView text = m_reader.text().trimmed();
            if (text.size() == 1)
                value = text[0];
            m_reader.readNext();
        }
        if (m_reader.tokenType() != QXmlStreamReader::EndElement) {
            fail(QStringLiteral("Not a %1 score: a step holds other elements (line %2).")
                     .arg(m_kind)
                     .arg(m_reader.lineNumber()));
            return value;
        }
        --m_depth;
        return value;
    }
    double real(double fallback)
    {
        bool ok = false;
        const double value = text().toDouble(&ok);
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
    QString m_kind;
    QStringView m_name; // the current start element's, valid until the reader moves on
    int m_depth = 0;
    QString m_error;
};

} // namespace fw::musicxml
