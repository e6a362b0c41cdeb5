#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "app/kestrel_doc.h"
#include "pipeline/graph_context.h"
#include "pipeline/graph_utils.h"
#include "targets/computer_tgt_dev.h"
#include "targets/netbook_tgt_dev.h"
#include "targets/removable_drives.h"
#include "tests/app/recording_presenters.h"
#include "tests/platform/dshow/test_filters.h"
#include "tests/support/temp_folder.h"

namespace {

using testing_files::TempFolder;

QString PathOf(const TempFolder& folder, const char* name = "")
{
    return QString::fromStdString(folder.File(name));
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

class NetbookTest : public testing::Test {
protected:
    NetbookTest() : drives({PathOf(drive, "")}), netbook(document.FindDeviceByGuid(GUID_NetbookTgtDev))
    {
        static_cast<CNetbookTgtDev*>(netbook)->SetProgramFolder(PathOf(program));
        Write(PathOf(program, "Plavex.exe"), "player");
        for (const char* name : CNetbookTgtDev::kCodecFiles)
            Write(PathOf(program, name), name);
    }
    CNetbookTgtDev& Netbook() { return *static_cast<CNetbookTgtDev*>(netbook); }

    TempFolder drive, program;
    ScopedRemovableDrives drives;
    CKestrelDoc document;
    CBaseDevice* netbook;
};

TEST_F(NetbookTest, IsAvailableOnlyWithARemovableDrive)
{
    EXPECT_TRUE(Netbook().IsAvailable());
    EXPECT_EQ(Netbook().GetOutputFolder(), PathOf(drive, ""));
    ScopedRemovableDrives none({});
    EXPECT_FALSE(Netbook().IsAvailable());
    CGraphContext context("Movie", "/v/Movie.avi", false);
    EXPECT_EQ(Netbook().PrepareGraph(nullptr, &context), E_FAIL);  // never the file system's root
    EXPECT_TRUE(context.GetOutputPath().isEmpty());
}

TEST_F(NetbookTest, DeploysThePlayerOnceAndRestoresWhatWasDeleted)
{
    Netbook().DeployPlayer();
    const QDir root(PathOf(drive, ""));
    EXPECT_EQ(Contents(root.filePath("Plavex.exe")), "player");
    for (const char* name : CNetbookTgtDev::kCodecFiles)
        EXPECT_EQ(Contents(root.filePath(QStringLiteral("Codecs/") + name)), name) << name;

    Write(root.filePath("Plavex.exe"), "the user's own player");
    QFile::remove(root.filePath("Codecs/mc_dec_aac.dll"));
    Netbook().DeployPlayer();
    EXPECT_EQ(Contents(root.filePath("Plavex.exe")), "the user's own player");  // never overwritten
    EXPECT_EQ(Contents(root.filePath("Codecs/mc_dec_aac.dll")), "mc_dec_aac.dll");
}

TEST_F(NetbookTest, MissingPlayerFilesDoNotStopTheDeployment)
{
    QFile::remove(PathOf(program, "Plavex.exe"));
    Netbook().DeployPlayer();
    const QDir root(PathOf(drive, ""));
    EXPECT_FALSE(QFile::exists(root.filePath("Plavex.exe")));
    EXPECT_TRUE(QFile::exists(root.filePath("Codecs/mc_demux_mp4_ds.ax")));
}

TEST_F(NetbookTest, ThePlayerGoesOnlyWhereItFitsBesideTheItem)
{
    constexpr qint64 kItemBytes = 1000000;
    qint64 playerBytes = QFileInfo(PathOf(program, "Plavex.exe")).size();
    for (const char* name : CNetbookTgtDev::kCodecFiles)
        playerBytes += QFileInfo(PathOf(program, name)).size();
    const QDir root(PathOf(drive, ""));
    for (const auto& [freeBytes, deployed] :
         {std::pair{kItemBytes + playerBytes - 1, false}, std::pair{kItemBytes + playerBytes, true}}) {
        SCOPED_TRACE(freeBytes);
        const ScopedDriveSpace stick({freeBytes, true});
        Netbook().DeployPlayer(kItemBytes);
        EXPECT_EQ(QFile::exists(root.filePath("Plavex.exe")), deployed);
        EXPECT_EQ(QFile::exists(root.filePath("Codecs/mc_dec_aac.dll")), deployed);  // all or nothing
    }
}

TEST_F(NetbookTest, SameNamesGetNumberedOnTheDrive)
{
    CGraphContext first("Movie", "/a/Movie.avi", false);
    ASSERT_EQ(Netbook().PrepareGraph(nullptr, &first), S_OK);
    EXPECT_EQ(first.GetOutputPath(), QDir(PathOf(drive, "")).filePath("Movie.mp4"));
    Write(first.GetOutputPath(), "written");
    CGraphContext second("Movie", "/b/Movie.mp4", false);
    ASSERT_EQ(Netbook().PrepareGraph(nullptr, &second), S_OK);
    EXPECT_EQ(second.GetOutputPath(), QDir(PathOf(drive, "")).filePath("Movie (2).mp4"));
}

// A stick too small or a file too large for FAT refuses the item, with a
// message, before anything is written; an item that fits goes on to the
// player's deployment.
TEST_F(NetbookTest, RefusesAnItemTheStickCannotHold)
{
    constexpr qint64 kMB = 1000 * 1000;
    const struct {
        const char* what;
        DriveSpace stick;
        int minutes;
        HRESULT refusal;  // S_OK: not refused
        const char* message;
    } cases[] = {
        {"a 100 MB FAT32 stick, 1 minute", {100 * kMB, true}, 1, S_OK, ""},
        {"a 100 MB FAT32 stick, 10 minutes", {100 * kMB, true}, 10, HRESULT_FROM_WIN32(ERROR_DISK_FULL),
         "There is not enough free space on the netbook's drive for Movie: it needs about 260 MB and 100 MB are free."},
        {"a 64 GB FAT32 stick, 4 hours", {64000 * kMB, true}, 240, HRESULT_FROM_WIN32(223),  // ERROR_FILE_TOO_LARGE
         "Movie would take about 6195 MB, more than the 4 GB a file on a FAT32 drive may hold."},
    };
    Netbook().CurrentHandler()->video.bitRate = 3000;
    Netbook().CurrentHandler()->audio.bitRate = 128;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(PathOf(drive, "Plavex.exe"));
        const ScopedDriveSpace stick(c.stick);
        program_testing::RecordingPresenter presenter;
        testing_filters::SourceSettings settings;
        settings.count = c.minutes * 60 * int(UNITS / testing_filters::kFrameTime);
        const ComPtr<IBaseFilter> source(new testing_filters::CNumberedSource(settings));
        ComPtr<IPin> out;
        ASSERT_EQ(FindPin(source.Get(), PINDIR_OUTPUT, GUID_NULL, out.ReleaseAndGetAddressOf()), S_OK);
        ComPtr<IMediaSeeking> seeking;
        ASSERT_EQ(out.As(&seeking), S_OK);

        CGraphContext context("Movie", "/v/Movie.avi", false);
        ASSERT_EQ(Netbook().PrepareGraph(nullptr, &context), S_OK);
        context.SetMediaSeeking(seeking.Get());
        const HRESULT hr = Netbook().FinishGraph(nullptr, &context);
        if (c.refusal == S_OK) {
            EXPECT_TRUE(presenter.messages.isEmpty()) << presenter.messages.join('\n').toStdString();
            EXPECT_TRUE(QFile::exists(PathOf(drive, "Plavex.exe")));  // past the check
        } else {
            EXPECT_EQ(hr, c.refusal);
            ASSERT_EQ(presenter.messages.size(), 1);
            EXPECT_TRUE(presenter.messages[0].startsWith(QString::fromUtf8(c.message)))
                << presenter.messages[0].toStdString();
            EXPECT_FALSE(QFile::exists(PathOf(drive, "Plavex.exe")));
        }
    }
}

TEST(ComputerTarget, WritesWithTheCurrentHandlersExtensionIntoItsFolder)
{
    TempFolder folder;
    CKestrelDoc document;
    auto* computer = static_cast<CComputerTgtDev*>(document.FindDeviceByGuid(GUID_ComputerTgtDev));
    computer->SetOutputFolder(PathOf(folder, ""));
    QStringList formats;
    for (CTargetHandler* handler : computer->Handlers())
        formats << handler->GetFileExtension();
    EXPECT_EQ(formats, QStringList({"mp4", "wmv", "wav", "m4a", "mp3"}));
    EXPECT_EQ(computer->CurrentHandler(), computer->Handlers()[0]);
    EXPECT_TRUE(computer->IsAvailable());

    const struct {
        const char* extension;
        const char* expected;
    } cases[] = {{"wav", "Song.wav"}, {"m4a", "Song.m4a"}, {"m4a", "Song (2).m4a"}};
    for (const auto& c : cases) {
        computer->SetCurrentHandler(computer->HandlerForExtension(c.extension));
        CGraphContext context("Song", "/music/Song.mp3", true);
        ASSERT_EQ(computer->PrepareGraph(nullptr, &context), S_OK) << c.expected;
        EXPECT_EQ(context.GetOutputPath(), QDir(PathOf(folder, "")).filePath(c.expected));
        Write(context.GetOutputPath(), "taken");
    }
}

}  // namespace
