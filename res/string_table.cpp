#include "res/string_table.h"

#include <QHash>

namespace {

const QHash<int, const char*>& Texts()
{
    static const QHash<int, const char*> texts = {
        // Start-up, document and queue.
        {100, "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
        {103, "Untitled Volume"},
        {104, "Windows sockets initialization failed."},
        {105, "US"},
        {128, "Orvex Tavimo\n\n\n\n\n\n"},
        {129, "Source"},
        {197, "My Computer"},
        {198, "Video DVD"},
        {218, "%d transfer(s) left\n%s"},
        {219, "An error occured during the transfer. The source item was not transferred to the target."},
        // Media list rows, questions and file properties.
        {221, "%c: (no disc)"},
        {222, "Name"},
        {223, "Thumbnail"},
        {224, "%s\nFolder"},
        {225, "%s\nDuration:\t%d:%.2d\nResolution:\t%d x %d\nDate:\t%.2d.%.2d.%.4d"},
        {226, "%s\nUnknown format\nDate:\t%.2d.%.2d.%.4d"},
        {227, "%s\nReading file information...\nDate:\t%.2d.%.2d.%.4d"},
        {228, "Do you really want to delete the selected items?"},
        {229, "Audio CD"},
        {230, "§APPNAME§\nVersion %d.%d.%d (build %d)\nCopyright (C) Orvex. All rights reserved.\n"
              "Orvex Tavimo is protected by copyright law and international treaties."},
        {231, "Video list context menu"},
        {232, "%s\nDuration:\t%d:%.2d\nFormat:\t%d Hz, %d channels and %d bits\nDate:\t%.2d.%.2d.%.4d"},
        // DVD titles and their streams.
        {233, "Unknown audio format"},
        {234, "5.1 Surround"},
        {235, "%d channels"},
        {236, "Stereo"},
        {237, "No audio"},
        {238, "Stop"},
        {239, "Title %d\nDuration:\t%d:%.2d\nAudio:\t%s\nSubtitles:\t%s"},
        {240, "No subtitles"},
        {241, "Play"},
        {242, "%s - Title %d"},
        {243, "YouTube"},
        {252, "All"},
        // File dialog filters: description and pattern pairs, "|"-separated.
        {254, "All supported files (*.bmp;*.jpg;*.png)|*.bmp;*.jpg;*.png|Bitmap files (*.bmp)|*.bmp|"
              "JPEG files (*.jpg)|*.jpg|PNG files (*.png)|*.png|All files (*.*)|*.*||"},
        {265, "Value"},
        {266, "Last modified"},
        {267, "Yes"},
        {268, "No"},
        {269, "Video width"},
        {270, "Video height"},
        {271, "Length in seconds"},
        {272, "Audio sample rate"},
        {273, "Number of audio channels"},
        {274, "Audio resolution in bits"},
        {275, "Contains video"},
        {276, "Contains audio"},
        // Video search, slide show, audio CD.
        {277, "Showing result number %d to %d of %d total query results"},
        {278, "No results"},
        {280, "Unable to send files to %s."},
        {289, "Slide Show"},
        {291, "All Supported files (*.wav;*.mp3;*.aac;*.mp4;*.m4a)|*.wav;*.mp3;*.aac;*.mp4;*.m4a|"
              "Wave Audio Files (*.wav)|*.wav|MP3 Audio Files (*.mp3)|*.mp3|AAC Audio Files (*.aac)|*.aac|"
              "MPEG4 Audio Files (*.mp4;*.m4a)|*.mp4;*.m4a|All Files (*.*)|*.*||"},
        {292, "%s\nDuration:\t%.2f seconds"},
        {293, "None of the source videos are marked for transfer. Do you wish to tranfer the selected videos?"},
        {294, "Transferring %s"},
        {299, "Track %d\nDuration:\t%.2d:%.2d"},
        {300, "The format of %s is not supported."},
        {301, "Audio CD - Track %d"},
        {306, "Edit"},
        {307, "Could not establish a connection over the internet. We recommend to connect your computer to "
              "the internet to receive automatic update notices and use all the features of this product."},
        {309, "Netbook"},
        {400, "Frame rate"},
        {403, "http://www.orvex.example/tavimo"},
        // Language names of DVD streams, in the order of their two-letter codes.
        {2000, "Afar"},  // aa
        {2001, "Abkhazian"},  // ab
        {2002, "Afrikaans"},  // af
        {2003, "Amharic"},  // am
        {2004, "Arabic"},  // ar
        {2005, "Assamese"},  // as
        {2006, "Aymara"},  // ay
        {2007, "Azerbaijani"},  // az
        {2008, "Bashkir"},  // ba
        {2009, "Byelorussian"},  // be
        {2010, "Bulgarian"},  // bg
        {2011, "Bihari"},  // bh
        {2012, "Bislama"},  // bi
        {2013, "Bengali; Bangla"},  // bn
        {2014, "Tibetan"},  // bo
        {2015, "Breton"},  // br
        {2016, "Català"},  // ca
        {2017, "Corsican"},  // co
        {2018, "Czech(Ceske)"},  // cs
        {2019, "Welsh"},  // cy
        {2020, "Dansk"},  // da
        {2021, "Deutsch"},  // de
        {2022, "Bhutani"},  // dz
        {2023, "Greek"},  // el
        {2024, "English"},  // en
        {2025, "Esperanto"},  // eo
        {2026, "Español"},  // es
        {2027, "Estonian"},  // et
        {2028, "Basque"},  // eu
        {2029, "Persian"},  // fa
        {2030, "Suomi"},  // fi
        {2031, "Fiji"},  // fj
        {2032, "Faeroese"},  // fo
        {2033, "Français"},  // fr
        {2034, "Frisian"},  // fy
        {2035, "Irish"},  // ga
        {2036, "Scots Gaelic"},  // gd
        {2037, "Galician"},  // gl
        {2038, "Guarani"},  // gn
        {2039, "Gujarati"},  // gu
        {2040, "Hausa"},  // ha
        {2041, "Hebrew"},  // he
        {2042, "Hindi"},  // hi
        {2044, "Hrvatski"},  // hr
        {2045, "Magyar"},  // hu
        {2046, "Armenian"},  // hy
        {2047, "Interlingua"},  // ia
        {2048, "Indonesian"},  // id
        {2049, "Interlingue"},  // ie
        {2050, "Inupiak"},  // ik
        {2051, "Indonesian"},  // in
        {2052, "Islenska"},  // is
        {2053, "Italiano"},  // it
        {2054, "Inuktitut"},  // iu
        {2055, "Hebrew"},  // iw
        {2056, "Japanese"},  // ja
        {2057, "Yiddish"},  // ji
        {2058, "Javanese"},  // jw
        {2059, "Georgian"},  // ka
        {2060, "Kazakh"},  // kk
        {2061, "Greenlandic"},  // kl
        {2062, "Cambodian"},  // km
        {2063, "Kannada"},  // kn
        {2064, "Korean"},  // ko
        {2065, "Kashmiri"},  // ks
        {2066, "Kurdish"},  // ku
        {2067, "Kirghiz"},  // ky
        {2068, "Latin"},  // la
        {2069, "Lingala"},  // ln
        {2070, "Laothian"},  // lo
        {2071, "Lithuanian"},  // lt
        {2072, "Latvian, Lettish"},  // lv
        {2073, "Malagasy"},  // mg
        {2074, "Maori"},  // mi
        {2075, "Macedonian"},  // mk
        {2076, "Malayalam"},  // ml
        {2077, "Mongolian"},  // mn
        {2078, "Moldavian"},  // mo
        {2079, "Marathi"},  // mr
        {2080, "Malay"},  // ms
        {2081, "Maltese"},  // mt
        {2082, "Burmese"},  // my
        {2083, "Nauru"},  // na
        {2084, "Nepali"},  // ne
        {2085, "Nederlands"},  // nl
        {2087, "Norsk"},  // no
        {2088, "Occitan"},  // oc
        {2089, "(Afan) Oromo"},  // om
        {2090, "Oriya"},  // or
        {2091, "Punjabi"},  // pa
        {2092, "Polish"},  // pl
        {2093, "Pashto, Pushto"},  // ps
        {2094, "Portugues"},  // pt
        {2095, "Quechua"},  // qu
        {2096, "Rhaeto-Romance"},  // rm
        {2097, "Kirundi"},  // rn
        {2098, "Romanian"},  // ro
        {2099, "Russian"},  // ru
        {2100, "Kinyarwanda"},  // rw
        {2101, "Sanskrit"},  // sa
        {2102, "Sindhi"},  // sd
        {2103, "Sangho"},  // sg
        {2104, "Serbo-Croatian"},  // sh
        {2105, "Singhalese"},  // si
        {2106, "Slovak"},  // sk
        {2107, "Slovenian"},  // sl
        {2108, "Samoan"},  // sm
        {2109, "Shona"},  // sn
        {2110, "Somali"},  // so
        {2111, "Albanian"},  // sq
        {2112, "Serbian"},  // sr
        {2113, "Siswati"},  // ss
        {2114, "Sesotho"},  // st
        {2115, "Sundanese"},  // su
        {2116, "Svenska"},  // sv
        {2117, "Swahili"},  // sw
        {2118, "Tamil"},  // ta
        {2119, "Telugu"},  // te
        {2120, "Tajik"},  // tg
        {2121, "Thai"},  // th
        {2122, "Tigrinya"},  // ti
        {2123, "Turkmen"},  // tk
        {2124, "Tagalog"},  // tl
        {2125, "Setswana"},  // tn
        {2126, "Tonga"},  // to
        {2127, "Turkish"},  // tr
        {2128, "Tsonga"},  // ts
        {2129, "Tatar"},  // tt
        {2130, "Twi"},  // tw
        {2131, "Uighur"},  // ug
        {2132, "Ukrainian"},  // uk
        {2133, "Urdu"},  // ur
        {2134, "Uzbek"},  // uz
        {2135, "Vietnamese"},  // vi
        {2136, "Volapuk"},  // vo
        {2137, "Wolof"},  // wo
        {2138, "Xhosa"},  // xh
        {2139, "Yiddish"},  // yi
        {2140, "Yoruba"},  // yo
        {2141, "Zhuang"},  // za
        {2142, "Chinese"},  // zh
        {2143, "Zulu"},  // zu
        {2144, "Unspecified language"},
        // Target profiles and encoders.
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
        // The netbook's drive refusing an item before it starts.
        {10100, "There is not enough free space on the netbook's drive for %s: it needs about %d MB and %d MB "
                "are free. The item was not transferred."},
        {10101, "%s would take about %d MB, more than the 4 GB a file on a FAT32 drive may hold. The item was "
                "not transferred; a drive formatted as exFAT can take it."},
        // The status panel's time line.
        {10110, "%s elapsed"},
        {10111, "%s left, queue %s"},
        // The desktop notification at the end of the queue.
        {10120, "The transfers have ended"},
        {10121, "%d item(s) transferred, %d failed."},
        {10130, "The transfers have ended, but the computer could not be turned off."},
        {57344, "Orvex Tavimo"},
        {61700, "Failed to create empty document."},
    };
    return texts;
}

// One printf conversion, "%[-0][width][.precision]type" with type s, d, c or f.
struct Conversion {
    bool leftAlign = false;
    bool zeroPad = false;
    int width = 0;
    int precision = -1;
    QChar type;        // null when the text is no conversion
    qsizetype end = 0; // the position after the type letter
};

int ReadNumber(const QString& format, qsizetype& at)
{
    int number = 0;
    while (at < format.size() && format[at].isDigit())
        number = number * 10 + format[at++].digitValue();
    return number;
}

Conversion ParseConversion(const QString& format, qsizetype at)
{
    Conversion conversion;
    for (; at < format.size() && (format[at] == u'-' || format[at] == u'0'); ++at)
        (format[at] == u'-' ? conversion.leftAlign : conversion.zeroPad) = true;
    conversion.width = ReadNumber(format, at);
    if (at < format.size() && format[at] == u'.')
        conversion.precision = ReadNumber(format, ++at);
    if (at < format.size() && QStringLiteral("sdcf").contains(format[at])) {
        conversion.type = format[at];
        conversion.end = at + 1;
    }
    return conversion;
}

// The value as the conversion prints it; a value that is not a number is
// printed as it is by the numeric conversions.
QString Convert(const Conversion& conversion, const QString& value)
{
    bool number = false;
    QString text = value;
    if (conversion.type == u'c') {
        text = value.left(1);
    } else if (conversion.type == u'd') {
        const qlonglong integer = value.toLongLong(&number);
        if (number) {
            QString digits = QString::number(integer);
            if (integer < 0)
                digits.remove(0, 1);
            text = digits.rightJustified(conversion.precision, u'0');
            if (integer < 0)
                text.prepend(u'-');
        }
    } else if (conversion.type == u'f') {
        const double real = value.toDouble(&number);
        if (number)
            text = QString::number(real, 'f', conversion.precision < 0 ? 6 : conversion.precision);
    } else if (conversion.precision >= 0) {
        text.truncate(conversion.precision);
    }
    if (text.size() >= conversion.width)
        return text;
    if (conversion.leftAlign)
        return text.leftJustified(conversion.width, u' ');
    if (!conversion.zeroPad || !number)
        return text.rightJustified(conversion.width, u' ');
    const bool negative = text.startsWith(u'-');
    return (negative ? QStringLiteral("-") : QString()) +
           text.mid(negative ? 1 : 0).rightJustified(conversion.width - (negative ? 1 : 0), u'0');
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
        if (format[i] != u'%') {
            text += format[i];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == u'%') {
            text += u'%';
            ++i;
            continue;
        }
        const Conversion conversion = ParseConversion(format, i + 1);
        if (conversion.type.isNull()) {
            text += format[i];
            continue;
        }
        text += Convert(conversion, next < values.size() ? values[next++] : QString());
        i = conversion.end - 1;
    }
    return text;
}
