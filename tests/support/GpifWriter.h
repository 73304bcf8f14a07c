#pragma once

#include "GuitarProScore.h"

#include <QByteArray>
#include <QList>
#include <QPair>

// Test-only writers of Guitar Pro 6, 7 and 8 files, from the public descriptions of score.gpif and of
// the GPX container, so that the readers can be tried on whole files made to order.

namespace fw::test {

enum class GpifDialect {
    Gp6, // instrument and program in the track, tuning in its properties
    Gp7, // instrument set, sounds and MIDI connection, tuning in the first staff's properties
};

// The score as a score.gpif document: one rhythm per note value, bars, voices, beats and notes numbered in
// the order they come.
QByteArray WriteGpif(const guitarpro::Score& score, GpifDialect dialect);

// A "BCFS" file system holding the named files, sector by sector.
QByteArray PackBcfs(const QList<QPair<QByteArray, QByteArray>>& files);

// The file system compressed as "BCFZ", in literal runs and, where bytes repeat the ones just
// before, copies of them.
QByteArray PackBcfz(const QByteArray& system);

} // namespace fw::test
