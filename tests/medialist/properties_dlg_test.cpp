#include "medialist/properties_dlg.h"

#include <QFileInfo>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "medialist/media_item.h"
#include "medialist/property_map.h"
#include "tests/app/qstring_printer.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

namespace {

using testing_files::TempFolder;
using testing_files::WriteFileBytes;
using testing_media::MakeMedia;

using Rows = QList<QPair<QString, QString>>;

TEST(PropertyMap, ListsInTheOrderOfItsBucketsAndKeepsAPlaceForANameGivenTwice)
{
    CPropertyMap map;
    for (const char* name : {"Last modified", "Contains video", "Video width", "Video height", "Length in seconds",
                             "Frame rate", "Contains audio", "Audio sample rate", "Number of audio channels",
                             "Audio resolution in bits"})
        map.Insert(name, "first");
    map.Insert("Video width", "second");
    QStringList names;
    for (const auto& pair : map.Pairs())
        names << pair.first;
    EXPECT_EQ(names, QStringList({"Contains video", "Video width", "Video height", "Number of audio channels",
                                  "Audio sample rate", "Length in seconds", "Frame rate", "Audio resolution in bits",
                                  "Contains audio", "Last modified"}));
    EXPECT_EQ(map.Pairs()[1].second, "second");
}

class PropertiesTest : public testing::Test {
protected:
    // The dialog's rows for a row of the given kind, as shown.
    Rows Shown(const std::string& path, int kind)
    {
        CMediaItem row;
        row.m_strPath = QString::fromStdString(path);
        row.m_nKind = kind;
        row.m_tModified = QFileInfo(row.m_strPath).lastModified().toLocalTime();
        CPropertiesDlg dialog;
        AddFileProperties(row, dialog);
        dialog.show();
        Rows rows;
        for (int i = 0; i < dialog.List()->topLevelItemCount(); ++i)
            rows.append({dialog.List()->topLevelItem(i)->text(0), dialog.List()->topLevelItem(i)->text(1)});
        return rows;
    }
    QString Date(const std::string& path)
    {
        return QFileInfo(QString::fromStdString(path)).lastModified().toLocalTime().toString("dd.MM.yyyy");
    }

    TempFolder temp;
};

TEST_F(PropertiesTest, ShowWhatTheFileHoldsInTheListingOrder)
{
    const std::string video = temp.File("clip.mp4");
    ASSERT_TRUE(MakeMedia(video, "-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=sample_rate=48000 "
                                 "-t 2 -ac 2 -c:v libx264 -c:a aac"));
    const std::string song = temp.File("song.wav");
    ASSERT_TRUE(MakeMedia(song, "-f lavfi -i sine=sample_rate=22050 -t 1.5 -c:a pcm_s16le"));
    const std::string broken = temp.File("broken.mkv");
    WriteFileBytes(broken, std::string(2048, '\x11'));

    const Rows videoRows = Shown(video, MK_VIDEO);
    ASSERT_EQ(videoRows.size(), 10);
    EXPECT_EQ(videoRows, Rows({{"Contains video", "Yes"}, {"Video width", "320"}, {"Video height", "240"},
                              {"Number of audio channels", "2"}, {"Audio sample rate", "48000"},
                              {"Length in seconds", videoRows[5].second}, {"Frame rate", "25.00"},
                              {"Audio resolution in bits", "16"}, {"Contains audio", "Yes"},
                              {"Last modified", Date(video)}}));
    EXPECT_NEAR(videoRows[5].second.toDouble(), 2.0, 0.05);
    EXPECT_EQ(videoRows[5].second.section('.', 1).size(), 2) << "two decimals";

    EXPECT_EQ(Shown(song, MK_AUDIO), Rows({{"Contains video", "No"}, {"Number of audio channels", "1"},
                                           {"Audio sample rate", "22050"}, {"Audio resolution in bits", "16"},
                                           {"Contains audio", "Yes"}, {"Last modified", Date(song)}}));
    EXPECT_EQ(Shown(broken, MK_VIDEO), Rows({{"Contains video", "No"}, {"Contains audio", "No"},
                                             {"Last modified", Date(broken)}}));
    EXPECT_EQ(Shown(temp.Path().string(), MK_FOLDER), Rows({{"Contains video", "No"}, {"Contains audio", "No"}}));
}

TEST_F(PropertiesTest, TheDialogIsTheFilePropertiesWindowWithNameAndValueColumns)
{
    CPropertiesDlg dialog;
    dialog.AddProperty("Contains video", "Yes");
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "File Properties");
    EXPECT_EQ(dialog.List()->headerItem()->text(0), "Name");
    EXPECT_EQ(dialog.List()->headerItem()->text(1), "Value");
    EXPECT_EQ(dialog.List()->columnWidth(0), 200);
    EXPECT_EQ(dialog.List()->objectName(), "1087");
    EXPECT_EQ(dialog.List()->topLevelItemCount(), 1);
}

}  // namespace
