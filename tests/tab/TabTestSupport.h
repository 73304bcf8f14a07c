#pragma once

#include "ParseEveryLine.h"
#include "TestFiles.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

namespace fw::test {

// A chord line with a fret on one string (slot 3 = G ... slot 6 = Low E) or a rest for slot 0.
inline QString FretLine(int slot, int fret)
{
    QStringList frets { "x", "x", "x", "x" };
    if (slot >= 3)
        frets[6 - slot] = QString::number(fret);
    return QStringLiteral("N, ") + frets.join(QStringLiteral(", ")) + QStringLiteral(", Q");
}

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return file.readAll();
}

} // namespace fw::test
