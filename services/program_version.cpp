#include "services/program_version.h"

#include <QStringList>

#include "version.h"

ProductVersion ParseProductVersion(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    const auto part = [&parts](qsizetype index) { return index < parts.size() ? parts[index].toInt() : 0; };
    return {part(0), part(1), part(2), part(3) & 0xFFFF};
}

ProductVersion ProgramVersion()
{
    return ParseProductVersion(QString::fromLatin1(kApplicationVersion));
}
