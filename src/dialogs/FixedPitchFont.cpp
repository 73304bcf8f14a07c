#include "FixedPitchFont.h"

#include <QFontDatabase>

namespace fw {

QStringList FixedPitchFamilies()
{
    return { QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"), QStringLiteral("Noto Sans Mono") };
}

QFont FixedPitchFont(int pixelSize)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (const QString& family : FixedPitchFamilies()) {
        if (QFontDatabase::hasFamily(family)) {
            font.setFamilies({ family });
            break;
        }
    }
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (pixelSize > 0)
        font.setPixelSize(pixelSize);
    return font;
}

} // namespace fw
