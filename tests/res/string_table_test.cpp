// The program's texts by number, the application name placeholder and the
// printf-style filling of the texts that carry conversions.
#include <gtest/gtest.h>

#include <QStringList>

#include "res/string_table.h"

namespace {

struct TextCase {
    int id;
    const char* text;
};

void PrintTo(const TextCase& text, std::ostream* out)
{
    *out << "string " << text.id;
}

class StringTable : public testing::TestWithParam<TextCase> {};

TEST_P(StringTable, GivesTheTextOfItsNumber)
{
    EXPECT_EQ(LoadString(GetParam().id), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Quoted, StringTable,
    testing::Values(
        TextCase{104, "Windows sockets initialization failed."}, TextCase{105, "US"},
        TextCase{128, "Orvex Tavimo\n\n\n\n\n\n"}, TextCase{221, "%c: (no disc)"}, TextCase{223, "Thumbnail"},
        TextCase{224, "%s\nFolder"},
        TextCase{225, "%s\nDuration:\t%d:%.2d\nResolution:\t%d x %d\nDate:\t%.2d.%.2d.%.4d"},
        TextCase{227, "%s\nReading file information...\nDate:\t%.2d.%.2d.%.4d"},
        TextCase{228, "Do you really want to delete the selected items?"}, TextCase{231, "Video list context menu"},
        TextCase{232, "%s\nDuration:\t%d:%.2d\nFormat:\t%d Hz, %d channels and %d bits\nDate:\t%.2d.%.2d.%.4d"},
        TextCase{234, "5.1 Surround"}, TextCase{237, "No audio"},
        TextCase{239, "Title %d\nDuration:\t%d:%.2d\nAudio:\t%s\nSubtitles:\t%s"}, TextCase{242, "%s - Title %d"},
        TextCase{252, "All"}, TextCase{265, "Value"}, TextCase{274, "Audio resolution in bits"},
        TextCase{277, "Showing result number %d to %d of %d total query results"}, TextCase{278, "No results"},
        TextCase{292, "%s\nDuration:\t%.2f seconds"},
        TextCase{293, "None of the source videos are marked for transfer. Do you wish to tranfer the selected "
                      "videos?"},
        TextCase{299, "Track %d\nDuration:\t%.2d:%.2d"}, TextCase{301, "Audio CD - Track %d"}, TextCase{306, "Edit"},
        TextCase{307, "Could not establish a connection over the internet. We recommend to connect your computer "
                      "to the internet to receive automatic update notices and use all the features of this "
                      "product."},
        TextCase{400, "Frame rate"}, TextCase{2144, "Unspecified language"},
        TextCase{10074, "Windows Media Video Encoder (WMV)"}, TextCase{57344, "Orvex Tavimo"},
        TextCase{61700, "Failed to create empty document."}));

TEST(StringTable, FileFiltersListTheirPairs)
{
    const QStringList pictures = LoadString(254).split(u'|', Qt::SkipEmptyParts);
    EXPECT_EQ(pictures, QStringList({"All supported files (*.bmp;*.jpg;*.png)", "*.bmp;*.jpg;*.png",
                                     "Bitmap files (*.bmp)", "*.bmp", "JPEG files (*.jpg)", "*.jpg",
                                     "PNG files (*.png)", "*.png", "All files (*.*)", "*.*"}));
    const QStringList music = LoadString(291).split(u'|', Qt::SkipEmptyParts);
    EXPECT_EQ(music, QStringList({"All Supported files (*.wav;*.mp3;*.aac;*.mp4;*.m4a)",
                                  "*.wav;*.mp3;*.aac;*.mp4;*.m4a", "Wave Audio Files (*.wav)", "*.wav",
                                  "MP3 Audio Files (*.mp3)", "*.mp3", "AAC Audio Files (*.aac)", "*.aac",
                                  "MPEG4 Audio Files (*.mp4;*.m4a)", "*.mp4;*.m4a", "All Files (*.*)", "*.*"}));
}

TEST(StringTable, UnknownIdGivesEmptyText)
{
    EXPECT_TRUE(LoadString(2043).isEmpty());
    EXPECT_TRUE(LoadString(2086).isEmpty());
    EXPECT_TRUE(LoadString(1).isEmpty());
}

TEST(StringTable, MakersAddressIsAWebAddress)
{
    EXPECT_TRUE(LoadString(403).startsWith(QLatin1String("http://")));
}

// The 142 two-letter codes in table order take the ids from 2000, skipping
// 2043 and 2086.
int LanguageId(const QString& code)
{
    static const QStringList codes = QStringLiteral(
        "aa ab af am ar as ay az ba be bg bh bi bn bo br ca co cs cy da de dz el en eo es et eu fa fi fj fo fr "
        "fy ga gd gl gn gu ha he hi hr hu hy ia id ie ik in is it iu iw ja ji jw ka kk kl km kn ko ks ku ky la "
        "ln lo lt lv mg mi mk ml mn mo mr ms mt my na ne nl no oc om or pa pl ps pt qu rm rn ro ru rw sa sd sg "
        "sh si sk sl sm sn so sq sr ss st su sv sw ta te tg th ti tk tl tn to tr ts tt tw ug uk ur uz vi vo wo "
        "xh yi yo za zh zu").split(u' ');
    const int row = int(codes.indexOf(code));
    return IDS_FIRST_LANGUAGE + row + (row >= codes.indexOf("hr") ? 1 : 0) + (row >= codes.indexOf("no") ? 1 : 0);
}

TEST(LanguageNames, EveryCodeHasItsName)
{
    for (int id = IDS_FIRST_LANGUAGE; id < IDS_UNSPECIFIED_LANGUAGE; ++id)
        EXPECT_EQ(LoadString(id).isEmpty(), id == 2043 || id == 2086) << "string " << id;
}

TEST(LanguageNames, RowsWithTheirOwnWording)
{
    const std::pair<const char*, const char*> rows[] = {
        {"aa", "Afar"},           {"be", "Byelorussian"},   {"bn", "Bengali; Bangla"}, {"ca", "Català"},
        {"cs", "Czech(Ceske)"},   {"da", "Dansk"},          {"de", "Deutsch"},         {"dz", "Bhutani"},
        {"en", "English"},        {"es", "Español"},        {"fi", "Suomi"},           {"fr", "Français"},
        {"hi", "Hindi"},          {"hr", "Hrvatski"},       {"hu", "Magyar"},          {"in", "Indonesian"},
        {"is", "Islenska"},       {"it", "Italiano"},       {"iw", "Hebrew"},          {"ji", "Yiddish"},
        {"jw", "Javanese"},       {"km", "Cambodian"},      {"ky", "Kirghiz"},         {"lo", "Laothian"},
        {"lv", "Latvian, Lettish"}, {"nl", "Nederlands"},   {"no", "Norsk"},           {"om", "(Afan) Oromo"},
        {"ps", "Pashto, Pushto"}, {"pt", "Portugues"},      {"rn", "Kirundi"},         {"sg", "Sangho"},
        {"sh", "Serbo-Croatian"}, {"ss", "Siswati"},        {"st", "Sesotho"},         {"sv", "Svenska"},
        {"tn", "Setswana"},       {"vo", "Volapuk"},        {"zu", "Zulu"},
    };
    for (const auto& [code, name] : rows)
        EXPECT_EQ(LoadString(LanguageId(QString::fromLatin1(code))), QString::fromUtf8(name)) << code;
}

TEST(AppName, ReplacesEveryPlaceholder)
{
    EXPECT_EQ(ReplaceAppName(QStringLiteral("About §APPNAME§ and §APPNAME§")),
              QStringLiteral("About Orvex Tavimo and Orvex Tavimo"));
    EXPECT_TRUE(LoadString(230).startsWith(QLatin1String("Orvex Tavimo\n")));
    EXPECT_FALSE(LoadString(230).contains(QStringLiteral("§APPNAME§")));
}

struct FormatCase {
    const char* name;
    int id;
    QStringList values;
    const char* text;
};

void PrintTo(const FormatCase& format, std::ostream* out)
{
    *out << format.name;
}

class FormatStringTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatStringTest, FillsTheConversions)
{
    EXPECT_EQ(FormatString(GetParam().id, GetParam().values), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FormatStringTest,
    testing::Values(
        FormatCase{"plain", 294, {"Holiday"}, "Transferring Holiday"},
        FormatCase{"count and line", 218, {"3", "Transferring A"}, "3 transfer(s) left\nTransferring A"},
        FormatCase{"character", 221, {"D"}, "D: (no disc)"},
        FormatCase{"zero padded", 225, {"Clip", "2", "5", "640", "480", "7", "3", "2009"},
                   "Clip\nDuration:\t2:05\nResolution:\t640 x 480\nDate:\t07.03.2009"},
        FormatCase{"padded zero", 226, {"Odd", "0", "0", "0"}, "Odd\nUnknown format\nDate:\t00.00.0000"},
        FormatCase{"two decimals", 292, {"Beach.jpg", "5"}, "Beach.jpg\nDuration:\t5.00 seconds"},
        FormatCase{"rounded decimals", 292, {"Sunset.png", "12.456"}, "Sunset.png\nDuration:\t12.46 seconds"},
        FormatCase{"minutes over an hour", 239, {"1", "125", "3", "English (Dolby Digital, Stereo)", "No subtitles"},
                   "Title 1\nDuration:\t125:03\nAudio:\tEnglish (Dolby Digital, Stereo)\nSubtitles:\tNo subtitles"},
        FormatCase{"negative padded", 299, {"1", "-3", "7"}, "Track 1\nDuration:\t-03:07"},
        FormatCase{"not a number", 299, {"1", "x", "7"}, "Track 1\nDuration:\tx:07"},
        FormatCase{"missing value", 280, {}, "Unable to send files to ."}));

TEST(FormatString, VersionLineOfTheAboutBox)
{
    EXPECT_TRUE(FormatString(230, {"1", "0", "0", "32"}).contains(QStringLiteral("\nVersion 1.0.0 (build 32)\n")));
}

}  // namespace
