#include "pipeline/output_name.h"

namespace {

constexpr QChar kReplacement = u'_';
constexpr char16_t kUntitled[] = u"Untitled";

// '\\' too: the output may go to a drive formatted for Windows.
bool IsUnsafe(QChar character)
{
    return character == u'/' || character == u'\\' || character.category() == QChar::Other_Control;
}

}  // namespace

QString SafeOutputName(const QString& name)
{
    if (name.isEmpty())
        return QString::fromUtf16(kUntitled);
    if (name == u"." || name == u"..")
        return QString(name.size(), kReplacement);
    QString safe = name;
    for (QChar& character : safe) {
        if (IsUnsafe(character))
            character = kReplacement;
    }
    return safe;
}
