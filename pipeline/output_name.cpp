#include "pipeline/output_name.h"

namespace {

constexpr QChar kReplacement = u'_';
constexpr char16_t kUntitled[] = u"Untitled";

// All of them, not only '/': the output may go to a drive formatted for Windows.
bool IsUnsafe(QChar character)
{
    static const QString kForbidden = QStringLiteral("/\\\"*:<>?|");
    return kForbidden.contains(character) || character.category() == QChar::Other_Control;
}

bool IsDroppedAtEnd(QChar character)
{
    return character == u'.' || character == u' ';
}

}  // namespace

QString SafeOutputName(const QString& name)
{
    if (name.isEmpty())
        return QString::fromUtf16(kUntitled);
    QString safe = name;
    while (!safe.isEmpty() && IsDroppedAtEnd(safe.back()))
        safe.chop(1);
    if (safe.isEmpty())
        return QString(name.size(), kReplacement);
    for (QChar& character : safe) {
        if (IsUnsafe(character))
            character = kReplacement;
    }
    return safe;
}
