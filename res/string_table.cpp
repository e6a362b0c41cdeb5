#include "res/string_table.h"

#include <QHash>

namespace {

const QHash<int, const char*>& Texts()
{
    static const QHash<int, const char*> texts = {
        {100, "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
        {103, "Untitled Volume"},
        {104, "Windows sockets initialization failed."},
        {128, "Orvex Tavimo\n\n\n\n\n\n"},
        {129, "Source"},
        {197, "My Computer"},
        {198, "Video DVD"},
        {218, "%d transfer(s) left\n%s"},
        {219, "An error occured during the transfer. The source item was not transferred to the target."},
        {229, "Audio CD"},
        {243, "YouTube"},
        {280, "Unable to send files to %s."},
        {289, "Slide Show"},
        {294, "Transferring %s"},
        {300, "The format of %s is not supported."},
        {309, "Netbook"},
        {10006, "AAC Encoder (Advanced Audio Coding)"},
        {10007, "AVC Encoder (Advanced Video Coding / H.264)"},
        {10008, "MPEG-4 Part 2 Encoder"},
        {10009, "Optimized for Netbooks"},
        {10010, "Computer playback"},
        {10062, "Audio CD compatible audio"},
        {10063, "MPEG-1 Layer 3 Audio Encoder"},
        {10064, "Linear PCM Audio (uncompressed audio)"},
        {10070, "Best quality (720 x 576)"},
        {10071, "High quality (640 x 480)"},
        {10072, "Fair quality (320 x 240)"},
        {10073, "Windows Media Audio Encoder (WMA)"},
        {10074, "Windows Media Video Encoder (WMV)"},
        {57344, "Orvex Tavimo"},
        {61700, "Failed to create empty document."},
    };
    return texts;
}

}  // namespace

QString AppName()
{
    return QString::fromUtf8(Texts().value(IDS_APPNAME));
}

QString ReplaceAppName(QString text)
{
    return text.replace(QStringLiteral("§APPNAME§"), AppName());
}

QString LoadString(int id)
{
    const char* text = Texts().value(id, nullptr);
    return text ? ReplaceAppName(QString::fromUtf8(text)) : QString();
}

QString FormatString(int id, const QStringList& values)
{
    const QString format = LoadString(id);
    QString text;
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != u'%' || i + 1 == format.size()) {
            text += c;
            continue;
        }
        const QChar kind = format[++i];
        if (kind == u's' || kind == u'd')
            text += next < values.size() ? values[next++] : QString();
        else if (kind == u'%')
            text += u'%';
        else
            text += c, text += kind;
    }
    return text;
}
