// The program's main job, done from the window as a person does it: walk to
// the files, mark them, choose the target's folder and format, press
// Transfer, and see the new files in the target's list.
#include <QComboBox>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

#include "app/kestrel_doc.h"
#include "app/kestrel_view.h"
#include "medialist/media_list_ctrl.h"
#include "sources/computer/computer_src_dev.h"
#include "sources/computer/computer_src_page.h"
#include "targets/computer_tgt_dev.h"
#include "targets/computer_tgt_page.h"
#include "tests/app/qstring_printer.h"
#include "tests/app/recording_presenters.h"
#include "tests/medialist/media_list_test_support.h"
#include "ui/flat_button.h"

namespace {

using namespace medialist_testing;
using testing_media::MakeMedia;
using testing_media::Probe;

void SelectTab(CDeviceTabHandler& tabs, const GUID& device)
{
    for (int tab = 0; tab < tabs.TabCount(); ++tab) {
        tabs.SetSelection(tab);
        if (tabs.GetSelectedId() == device)
            return;
    }
    FAIL() << "no tab for the device";
}

int RowNamed(const CMediaListCtrl& list, const QString& name)
{
    for (int row = 0; row < list.GetItemCount(); ++row) {
        if (list.Row(row).item.m_strName == name)
            return row;
    }
    return -1;
}

QStringList Names(const CMediaListCtrl& list)
{
    QStringList names;
    for (int row = 0; row < list.GetItemCount(); ++row)
        names << list.Row(row).item.m_strName;
    return names;
}

TEST(TransferFromWindow, MarkedVideosAndASongBecomeWavFilesInTheChosenFolder)
{
    testing_files::TempHome home;
    program_testing::RecordingPresenter presenter;
    const std::string videos = home.Videos();
    ASSERT_TRUE(MakeMedia(videos + "/Beach.mp4", kVideoArguments));
    ASSERT_TRUE(MakeMedia(videos + "/Party.avi", "-f lavfi -i testsrc=size=320x240 -f lavfi -i sine -t 1 -c:v mpeg4"));
    ASSERT_TRUE(MakeMedia(videos + "/Theme.mp3", kAudioArguments));
    ASSERT_TRUE(MakeMedia(videos + "/Unmarked.mp4", kVideoArguments));
    std::filesystem::create_directories(videos + "/Converted");

    CKestrelDoc document;
    CKestrelView view(&document);
    SelectTab(view.SourceTabs(), GUID_ComputerSrcDev);
    SelectTab(view.TargetTabs(), GUID_ComputerTgtDev);
    view.resize(1000, 700);
    view.show();
    view.LayoutPages();
    QApplication::processEvents();
    auto* source = static_cast<CComputerSrcPage*>(document.FindDeviceByGuid(GUID_ComputerSrcDev)->Page());
    auto* target = static_cast<CComputerTgtPage*>(document.FindDeviceByGuid(GUID_ComputerTgtDev)->Page());
    ASSERT_TRUE(source->isVisible() && target->isVisible());

    // The target: WAV, into the "Converted" folder below the videos.
    target->FormatCombo()->setCurrentIndex(2);
    emit target->FormatCombo()->activated(2);
    CMediaListCtrl& targetList = *target->MediaList();
    const int converted = RowNamed(targetList, "Converted");
    ASSERT_GE(converted, 0);
    const QPoint convertedRow = targetList.visualRect(targetList.model()->index(converted, 1)).center();
    QTest::mouseClick(targetList.viewport(), Qt::LeftButton, {}, convertedRow);
    QTest::mouseDClick(targetList.viewport(), Qt::LeftButton, {}, convertedRow);
    ASSERT_EQ(targetList.GetCurrentFolderPath(), Q(videos + "/Converted"));

    // The source: three files marked in their marks cells.
    CMediaListCtrl& sourceList = *source->MediaList();
    ASSERT_TRUE(ProcessEventsUntil([&] { return AllRowsRead(sourceList); }));
    for (const char* name : {"Beach.mp4", "Party.avi", "Theme.mp3"}) {
        const QRect row = sourceList.visualRect(sourceList.model()->index(RowNamed(sourceList, name), 0));
        QTest::mouseClick(sourceList.viewport(), Qt::LeftButton, {}, QPoint(18, row.center().y()));
    }

    ASSERT_TRUE(view.Transfer()->isEnabled());
    QTest::mouseClick(view.Transfer(), Qt::LeftButton);
    ASSERT_TRUE(ProcessEventsUntil([&] {
        return document.Queue().empty() && document.CurrentTask() == nullptr && targetList.GetItemCount() == 3 &&
               AllRowsRead(targetList);
    })) << "left: " << document.Queue().size();

    EXPECT_EQ(Names(targetList), (QStringList{"Beach.wav", "Party.wav", "Theme.wav"}));
    for (const char* name : {"Beach.wav", "Party.wav", "Theme.wav"}) {
        const Probe probe(videos + "/Converted/" + name);
        EXPECT_EQ(probe.Stream(0, "codec_name"), "pcm_s16le") << name;
        EXPECT_GT(probe.Duration(), 0.5) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(videos + "/Converted/Unmarked.wav"));
    EXPECT_TRUE(presenter.errors.isEmpty()) << presenter.errors.join("; ").toStdString();
}

}  // namespace
