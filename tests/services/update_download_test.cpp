// The download worker against local servers: complete, small, cancelled,
// without a length, cut short and failing ones. Only a complete package
// ever appears in the folder.
#include "services/update_download.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTest>

#include "services/internet_session.h"
#include "services/update_server.h"
#include "tests/app/qstring_printer.h"
#include "tests/services/isolated_settings.h"
#include "tests/services/raw_http_reply.h"
#include "tests/support/local_http_server.h"

namespace {

using services_testing::IsolatedSettings;
using services_testing::RawHttpReply;
using testing_net::LocalHttpServer;
using testing_net::Resource;

class UpdateDownloadTest : public testing::Test {
protected:
    UpdateDownloadTest() { settings.UseLocalUpdateServer(server.Port()); }

    QString Url(const std::string& path) const { return QString::fromStdString(server.Url(path)); }
    std::string Downloaded() const { return testing_files::ReadFileBytes(target.toStdString()); }
    // Every file in the download's folder, temporary ones included.
    QStringList FilesInFolder() const
    {
        return QDir(settings.Folder("tmp")).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    IsolatedSettings settings;
    LocalHttpServer server;
    const QString target = QDir(settings.Folder("tmp")).filePath(QStringLiteral("KestrelUpdate.deb"));
    UpdateDownload download;
};

TEST_F(UpdateDownloadTest, CompleteDownloadWritesEveryByte)
{
    const std::string body = testing_files::PatternBytes(70000);
    server.Serve("/setup.exe", Resource{body});
    download.Start(Url("/setup.exe"), target);
    EXPECT_TRUE(download.IsDownloading());
    download.Wait();
    EXPECT_TRUE(download.IsDone());
    EXPECT_FALSE(download.HasFailed());
    EXPECT_EQ(download.Size(), 70000);
    EXPECT_EQ(download.Received(), 70000);
    EXPECT_EQ(download.Percent(), 100);
    EXPECT_EQ(Downloaded(), body);
    EXPECT_EQ(FilesInFolder(), QStringList{QStringLiteral("KestrelUpdate.deb")});
}

TEST_F(UpdateDownloadTest, FilesSmallerThanABlockCountAsOneBlock)
{
    const struct {
        size_t length;
        qint64 size;
        int percent;
    } cases[] = {{100, 4096, 2}, {0, 4096, 0}, {4095, 4096, 99}, {4096, 4096, 100}, {4097, 4097, 100}};
    for (const auto& c : cases) {
        server.Serve("/setup.exe", Resource{testing_files::PatternBytes(c.length)});
        download.Start(Url("/setup.exe"), target);
        download.Wait();
        EXPECT_TRUE(download.IsDone()) << c.length;
        EXPECT_EQ(download.Size(), c.size) << c.length;
        EXPECT_EQ(download.Percent(), c.percent) << c.length;
        EXPECT_EQ(Downloaded().size(), c.length);
    }
}

TEST_F(UpdateDownloadTest, CancelStopsTheTransferAndLeavesNoFile)
{
    Resource stalling{testing_files::PatternBytes(200000)};
    stalling.stallFromRequest = 1;
    stalling.stallAfterBytes = 10000;
    server.Serve("/setup.exe", stalling);
    download.Start(Url("/setup.exe"), target);
    ASSERT_TRUE(QTest::qWaitFor([&] { return download.Received() == 10000; }, 10000));
    download.Cancel();
    download.Wait();
    EXPECT_TRUE(download.HasFailed());
    EXPECT_TRUE(download.IsDone());
    EXPECT_TRUE(download.ErrorText().isEmpty());
    EXPECT_TRUE(FilesInFolder().isEmpty());
}

TEST_F(UpdateDownloadTest, AnAnswerCutShortLeavesTheEarlierFileAlone)
{
    testing_files::WriteFileBytes(target.toStdString(), "earlier");
    RawHttpReply reply("HTTP/1.1 200 OK\r\nContent-Length: 10000\r\n\r\n" + std::string(5000, 'x'));
    settings.UseLocalUpdateServer(reply.Port());
    download.Start(QStringLiteral("http://127.0.0.1:%1/setup.deb").arg(reply.Port()), target);
    download.Wait();
    EXPECT_TRUE(download.HasFailed());
    EXPECT_EQ(download.ErrorText(), InternetErrorText(HRESULT_FROM_WIN32(ERROR_READ_FAULT)));
    EXPECT_EQ(Downloaded(), "earlier");
    EXPECT_EQ(FilesInFolder(), QStringList{QStringLiteral("KestrelUpdate.deb")});
}

TEST_F(UpdateDownloadTest, AResponseWithoutLengthFailsWithoutAMessage)
{
    RawHttpReply reply("HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n" + std::string(5000, 'x'));
    settings.UseLocalUpdateServer(reply.Port());
    download.Start(QStringLiteral("http://127.0.0.1:%1/setup.exe").arg(reply.Port()), target);
    download.Wait();
    EXPECT_TRUE(download.HasFailed());
    EXPECT_FALSE(download.IsDone());
    EXPECT_TRUE(download.ErrorText().isEmpty());
    EXPECT_TRUE(FilesInFolder().isEmpty());
}

TEST_F(UpdateDownloadTest, FailuresSayWhatWentWrong)
{
    const int unused = testing_net::UnusedLocalPort();
    const struct {
        QString url;
        HRESULT failure;
    } cases[] = {
        {Url("/missing.exe"), VFW_E_NOT_FOUND},
        // Another host, even one that would answer, is never asked.
        {QStringLiteral("http://localhost:%1/setup.exe").arg(server.Port()), UPDATE_E_OTHER_HOST},
        {QStringLiteral("ftp://127.0.0.1:%1/setup.exe").arg(server.Port()), UPDATE_E_OTHER_HOST},
        {QStringLiteral("http://127.0.0.1:%1/setup.exe").arg(unused), UPDATE_E_OTHER_HOST},
    };
    server.Serve("/setup.exe", Resource{"bytes"});
    for (const auto& c : cases) {
        download.Start(c.url, target);
        download.Wait();
        EXPECT_TRUE(download.HasFailed()) << c.url.toStdString();
        EXPECT_FALSE(download.IsDone()) << c.url.toStdString();
        EXPECT_EQ(download.ErrorText(), InternetErrorText(c.failure)) << c.url.toStdString();
        EXPECT_TRUE(FilesInFolder().isEmpty()) << c.url.toStdString();
    }
    EXPECT_EQ(server.RequestCount("/setup.exe"), 0);
}

TEST_F(UpdateDownloadTest, AnUnreachableServerFailsClearly)
{
    const int unused = testing_net::UnusedLocalPort();
    settings.UseLocalUpdateServer(unused);
    download.Start(QStringLiteral("http://127.0.0.1:%1/setup.exe").arg(unused), target);
    download.Wait();
    EXPECT_TRUE(download.HasFailed());
    EXPECT_EQ(download.ErrorText(), QStringLiteral("A connection with the server could not be established"));
    EXPECT_TRUE(FilesInFolder().isEmpty());
}

}  // namespace
