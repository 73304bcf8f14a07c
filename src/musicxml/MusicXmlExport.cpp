#include "MusicXml.h"
#include "MusicXmlScore.h"
#include "MxlContainer.h"

namespace fw {

MusicXmlExport ExportMusicXml(const QStringList& lines, const DocumentHeader& header, MusicXmlContainer container)
{
    MusicXmlExport result;
    const auto score = musicxml::ScoreFromLines(lines, header, result.error);
    if (!score)
        return result;
    const QByteArray xml = musicxml::WriteScoreXml(*score);
    if (container == MusicXmlContainer::Plain)
        result.bytes = xml;
    else
        result.bytes = musicxml::PackMxl(xml, result.error);
    return result;
}

MusicXmlContainer MusicXmlContainerForFileName(const QString& fileName)
{
    return fileName.endsWith(QLatin1String(".mxl"), Qt::CaseInsensitive) ? MusicXmlContainer::Compressed
                                                                         : MusicXmlContainer::Plain;
}

} // namespace fw
