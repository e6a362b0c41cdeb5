#include <QComboBox>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

#include "app/kestrel_doc.h"
#include "medialist/folder_combo.h"
#include "medialist/media_list_ctrl.h"
#include "targets/computer_tgt_dev.h"
#include "targets/computer_tgt_page.h"
#include "targets/netbook_tgt_dev.h"
#include "targets/netbook_tgt_page.h"
#include "targets/removable_drives.h"
#include "targets/target_profile.h"
#include "tests/app/qstring_printer.h"
#include "tests/app/recording_presenters.h"
#include "tests/medialist/media_list_test_support.h"

namespace {

using namespace medialist_testing;

QStringList Entries(const QComboBox& combo)
{
    QStringList entries;
    for (int i = 0; i < combo.count(); ++i)
        entries << combo.itemText(i);
    return entries;
}

QStringList Names(const CMediaListCtrl& list)
{
    QStringList names;
    for (int row = 0; row < list.GetItemCount(); ++row)
        names << list.Row(row).item.m_strName;
    return names;
}

// The user picks an entry of a combo.
void Choose(QComboBox& combo, int index)
{
    combo.setCurrentIndex(index);
    emit combo.activated(index);
}

class TargetPagesTest : public testing::Test {
protected:
    template <class Page>
    Page* ShowPage(const GUID& device)
    {
        host.resize(500, 600);
        host.show();
        auto* page = static_cast<Page*>(document->FindDeviceByGuid(device)->CreatePage(&host));
        page->resize(480, 580);
        page->setEnabled(true);
        page->show();
        QApplication::processEvents();
        return page;
    }
    CComputerTgtDev& Computer() { return *static_cast<CComputerTgtDev*>(document->FindDeviceByGuid(GUID_ComputerTgtDev)); }

    testing_files::TempHome home;
    program_testing::RecordingPresenter presenter;
    std::unique_ptr<CKestrelDoc> document = std::make_unique<CKestrelDoc>();
    QWidget host;
};

TEST_F(TargetPagesTest, FormatsShowTheirProfilesAndEveryHandlerKeepsItsSettings)
{
    auto* page = ShowPage<CComputerTgtPage>(GUID_ComputerTgtDev);
    QComboBox& formats = *page->FormatCombo();
    QComboBox& profiles = *page->ProfileCombo();
    EXPECT_EQ(Entries(formats), (QStringList{"MPEG-4", "Windows Media Video (WMV)", "Wave Audio (WAV)",
                                             "MPEG-4 Audio, Advanced Audio Coding (AAC)", "LAME MP3 Encoded Audio (MP3)"}));
    EXPECT_EQ(formats.currentIndex(), 0);
    CTargetHandler* mpeg4 = Computer().CurrentHandler();
    mpeg4->video.bitRate = 1234;  // as the format dialog would change it

    Choose(formats, 1);
    CTargetHandler* wmv = Computer().CurrentHandler();
    EXPECT_EQ(wmv->GetFormatName(), "Windows Media Video (WMV)");
    EXPECT_EQ(Entries(profiles),
              (QStringList{"Fair quality (320 x 240)", "High quality (640 x 480)", "Best quality (720 x 576)"}));
    EXPECT_EQ(profiles.currentIndex(), 0);
    Choose(profiles, 2);
    EXPECT_EQ(wmv->video.width, 720);
    EXPECT_EQ(wmv->CurrentProfile(), 2);

    Choose(formats, 0);
    EXPECT_EQ(Computer().CurrentHandler(), mpeg4);
    EXPECT_EQ(mpeg4->video.bitRate, 1234);

    // The next run starts with the format, profile and folder chosen here.
    Choose(formats, 1);
    std::filesystem::create_directories(home.Videos() + "/Out");
    page->MediaList()->BrowseFolder(page->FolderCombo()->Current());
    page->MediaList()->setCurrentIndex(page->MediaList()->model()->index(0, 1));
    QTest::mouseDClick(page->MediaList()->viewport(), Qt::LeftButton, {},
                       page->MediaList()->visualRect(page->MediaList()->model()->index(0, 1)).center());
    EXPECT_EQ(Computer().GetOutputFolder(), Q(home.Videos() + "/Out"));
    EXPECT_EQ(page->FolderCombo()->currentText(), "Out");

    document = std::make_unique<CKestrelDoc>();
    EXPECT_EQ(Computer().CurrentHandler()->GetFormatName(), "Windows Media Video (WMV)");
    EXPECT_EQ(Computer().CurrentHandler()->CurrentProfile(), 2);
    EXPECT_EQ(Computer().GetOutputFolder(), Q(home.Videos() + "/Out"));
}

TEST_F(TargetPagesTest, TheComputerPageListsItsFolderAgainWhenATaskEnds)
{
    auto* page = ShowPage<CComputerTgtPage>(GUID_ComputerTgtDev);
    EXPECT_EQ(page->MediaList()->GetCurrentFolderPath(), Q(home.Videos()));
    EXPECT_EQ(page->MediaList()->GetItemCount(), 0);
    ASSERT_TRUE(testing_media::MakeMedia(home.Videos() + "/new.wav", "-f lavfi -i sine -t 1"));
    document->Broadcast(EVENT_TASK_FINISHED, nullptr);
    EXPECT_EQ(Names(*page->MediaList()), QStringList{"new.wav"});
}

TEST_F(TargetPagesTest, TheNetbookPageFollowsTheDrivesAndListsOnlyVideosAtTheRoot)
{
    testing_files::TempFolder first, second;
    ASSERT_TRUE(testing_media::MakeMedia(first.File("clip.mp4"), kVideoArguments));
    ASSERT_TRUE(testing_media::MakeMedia(first.File("song.mp3"), kAudioArguments));
    std::filesystem::create_directories(first.File("folder"));
    const QString firstRoot = Q(first.Path().string()), secondRoot = Q(second.Path().string());
    std::unique_ptr<ScopedRemovableDrives> drives;
    const auto plugged = [&drives](const QStringList& roots) {
        drives.reset();  // one stand-in at a time: each restores the one before it
        drives = std::make_unique<ScopedRemovableDrives>(roots);
    };
    plugged({firstRoot});

    auto* page = ShowPage<CNetbookTgtPage>(GUID_NetbookTgtDev);
    EXPECT_EQ(Entries(*page->ProfileCombo()), QStringList{"Optimized for Netbooks"});
    EXPECT_EQ(page->FolderCombo()->count(), 1);
    EXPECT_EQ(Names(*page->MediaList()), QStringList{"clip.mp4"});

    // A second stick: the combo holds both and shows the first again.
    plugged({firstRoot, secondRoot});
    document->Broadcast(EVENT_DEVICE_ARRIVED, nullptr);
    EXPECT_EQ(page->FolderCombo()->count(), 2);
    Choose(*page->FolderCombo(), 1);
    EXPECT_EQ(page->GetCurrentFolderPath(), secondRoot);
    EXPECT_EQ(page->MediaList()->GetItemCount(), 0);
    document->Broadcast(EVENT_DEVICE_ARRIVED, nullptr);
    EXPECT_EQ(page->FolderCombo()->currentIndex(), 0);
    EXPECT_EQ(page->GetCurrentFolderPath(), firstRoot);

    // No stick: the combo is empty and the list keeps what it showed.
    plugged({});
    document->Broadcast(EVENT_DEVICE_REMOVED, nullptr);
    EXPECT_EQ(page->FolderCombo()->count(), 0);
    EXPECT_EQ(page->MediaList()->GetItemCount(), 1);
}

}  // namespace
