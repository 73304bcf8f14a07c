#pragma once

#include <QFont>
#include <QStringList>

namespace fw {

// Families tried in order for text whose columns must line up, such as ASCII tab. They are named
// rather than left to the system's "monospace", which resolves to whatever font was installed last.
QStringList FixedPitchFamilies();

// The first installed of FixedPitchFamilies(), else the system's fixed font; pixelSize > 0 sets the size.
QFont FixedPitchFont(int pixelSize = 0);

} // namespace fw
