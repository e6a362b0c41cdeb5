// The update check: which addresses belong to the configured server, how
// much of a manifest is read, what the check does once the manifest is in,
// and how a downloaded package is handed to the desktop.
#include "services/update_check.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <optional>
#include <vector>

#include "services/internet_session.h"
#include "services/package_opener.h"
#include "services/program_version.h"
#include "services/update_server.h"
#include "tests/app/qstring_printer.h"
#include "tests/app/recording_presenters.h"
#include "tests/services/isolated_settings.h"
#include "tests/services/raw_http_reply.h"
#include "tests/support/local_http_server.h"

namespace {

using program_testing::RecordingPresenter;
using services_testing::IsolatedSettings;
using services_testing::RawHttpReply;
using testing_net::LocalHttpServer;
using testing_net::Resource;

TEST(UpdateServerTest, AddressesBelongToTheServerBySchemeHostAndPort)
{
    const struct {
        const char* server;
        const char* manifest;
        std::vector<const char*> onServer;
        std::vector<const char*> elsewhere;
    } cases[] = {
        // Without a scheme the server is plain http, as the setting always was.
        {"127.0.0.1:8080",
         "http://127.0.0.1:8080/tavimo1.xml",
         {"http://127.0.0.1:8080/pool/a.deb"},
         {"https://127.0.0.1:8080/a.deb", "http://127.0.0.1/a.deb", "http://127.0.0.2:8080/a.deb"}},
        // An https server never hands out a plain download.
        {"https://updates.test/tavimo/",
         "https://updates.test/tavimo/tavimo1.xml",
         {"https://updates.test/pool/a.deb", "https://updates.test:443/a.deb"},
         {"http://updates.test/a.deb", "https://other.test/a.deb", "https://updates.test:8443/a.deb"}},
        {"http://updates.test", "http://updates.test/tavimo1.xml", {"http://updates.test:80/a.deb"}, {"ftp://updates.test/a.deb"}},
        {"ftp://updates.test", "ftp://updates.test/tavimo1.xml", {}, {"ftp://updates.test/a.deb"}},
        // No server: nothing is on it.
        {"", "", {}, {"http://127.0.0.1/a.deb", "/tmp/a.deb", ""}},
        {" / ", "", {}, {"http://127.0.0.1/a.deb"}},
    };
    IsolatedSettings settings;
    for (const auto& c : cases) {
        settings.UseUpdateServer(QString::fromUtf8(c.server));
        EXPECT_EQ(HasUpdateServer(), *c.manifest != '\0') << c.server;
        EXPECT_EQ(ManifestUrl(), QString::fromUtf8(c.manifest)) << c.server;
        for (const char* url : c.onServer)
            EXPECT_TRUE(IsOnUpdateServer(QString::fromUtf8(url))) << c.server << " " << url;
        for (const char* url : c.elsewhere)
            EXPECT_FALSE(IsOnUpdateServer(QString::fromUtf8(url))) << c.server << " " << url;
    }
}

TEST(ManifestFetchTest, AnswersLargerThanTheLimitAreRefused)
{
    constexpr qsizetype kLimit = 1000;
    const struct {
        bool withLength;
        size_t size;
        HRESULT result;
    } cases[] = {
        {true, kLimit, S_OK},
        {false, kLimit, S_OK},
        // Refused as soon as the length says so ...
        {true, kLimit + 1, UPDATE_E_TOO_LARGE},
        // ... or the bytes do.
        {false, 50 * kLimit, UPDATE_E_TOO_LARGE},
    };
    IsolatedSettings settings;
    const std::atomic<bool> never{false};
    for (const auto& c : cases) {
        const std::string length = c.withLength ? "Content-Length: " + std::to_string(c.size) + "\r\n" : "";
        RawHttpReply reply("HTTP/1.0 200 OK\r\n" + length + "\r\n" + std::string(c.size, 'x'));
        settings.UseLocalUpdateServer(reply.Port());
        QByteArray body;
        EXPECT_EQ(FetchBytes(ManifestUrl(), body, kLimit, never), c.result) << c.size;
        EXPECT_LE(body.size(), kLimit);
    }
}

class UpdateCheckTest : public testing::Test {
protected:
    UpdateCheckTest() { settings.UseLocalUpdateServer(server.Port()); }

    // Runs the check to its end; the value of `finished`.
    bool RunCheck()
    {
        CUpdateCheck check;
        QSignalSpy finished(&check, &CUpdateCheck::finished);
        EXPECT_TRUE(check.Start());
        EXPECT_TRUE(finished.count() == 1 || finished.wait(10000));
        return !finished.isEmpty() && finished.first().first().toBool();
    }

    IsolatedSettings settings;
    LocalHttpServer server;
    RecordingPresenter presenter;
    QStringList opened;
    ScopedPackageOpener opener{[this](const QString& path) {
        opened << path;
        return true;
    }};
};

TEST_F(UpdateCheckTest, WithoutADisplayANewerBuildIsNeitherDownloadedNorOpened)
{
    server.Serve("/tavimo1.xml",
                 Resource{"<updates><build language=\"US\" number=\"" + std::to_string(ProgramVersion().build + 1) +
                          "\"><setupurl>" + server.Url("/setup.deb") + "</setupurl></build></updates>"});
    server.Serve("/setup.deb", Resource{"!<arch>\ndebian-binary"});
    EXPECT_FALSE(RunCheck());
    EXPECT_EQ(server.RequestCount("/tavimo1.xml"), 1);
    EXPECT_EQ(server.RequestCount("/setup.deb"), 0);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(presenter.messages.isEmpty());
}

TEST_F(UpdateCheckTest, AnUnreachableServerIsReportedOnceTheCheckHasStarted)
{
    settings.UseLocalUpdateServer(testing_net::UnusedLocalPort());
    CUpdateCheck check;
    QSignalSpy finished(&check, &CUpdateCheck::finished);
    ASSERT_TRUE(check.Start());
    // Start returned before anything was said.
    EXPECT_TRUE(presenter.messages.isEmpty());
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_FALSE(finished.first().first().toBool());
    EXPECT_EQ(presenter.messages,
              QStringList{QStringLiteral("Could not establish a connection over the internet. We recommend to connect "
                                         "your computer to the internet to receive automatic update notices and use "
                                         "all the features of this product.")});
}

class InstallUpdateTest : public testing::Test {
protected:
    IsolatedSettings settings;
    RecordingPresenter presenter;
    const QString package = QDir(settings.Folder("tmp")).filePath(QStringLiteral("KestrelUpdate.deb"));
    QStringList opened;
    bool desktopTakesIt = true;
    ScopedPackageOpener opener{[this](const QString& path) {
        opened << path;
        return desktopTakesIt;
    }};
};

TEST_F(InstallUpdateTest, OnlyADebianPackageGoesToTheDesktop)
{
    enum class Outcome { Installed, NotOpened, NotAPackage };
    const std::string deb = "!<arch>\ndebian-binary   0           0     0     100644  4         `\n2.0\n";
    const struct {
        std::optional<std::string> bytes;  // none: no file at all
        bool desktopTakesIt;
        Outcome outcome;
    } cases[] = {
        {deb, true, Outcome::Installed},
        {deb, false, Outcome::NotOpened},
        {"<html>Not Found</html>", true, Outcome::NotAPackage},
        {"!<arch>\n", true, Outcome::NotAPackage},
        {"", true, Outcome::NotAPackage},
        {std::nullopt, true, Outcome::NotAPackage},
    };
    const QString notAPackage = QStringLiteral("The downloaded update is not a Debian package.");
    const QString notOpened =
        QStringLiteral("The desktop could not open the downloaded update. It is saved as \"%1\".").arg(package);
    for (const auto& c : cases) {
        const std::string label = c.bytes.value_or("<no file>");
        QFile::remove(package);
        if (c.bytes)
            testing_files::WriteFileBytes(package.toStdString(), *c.bytes);
        opened.clear();
        presenter.messages.clear();
        desktopTakesIt = c.desktopTakesIt;
        EXPECT_EQ(InstallUpdate(package), c.outcome == Outcome::Installed) << label;
        EXPECT_EQ(opened, c.outcome == Outcome::NotAPackage ? QStringList() : QStringList{package}) << label;
        EXPECT_EQ(presenter.messages, c.outcome == Outcome::Installed  ? QStringList()
                                      : c.outcome == Outcome::NotOpened ? QStringList{notOpened}
                                                                        : QStringList{notAPackage})
            << label;
        // What the server sent instead of a package is not kept to be opened later.
        EXPECT_EQ(QFile::exists(package), c.outcome != Outcome::NotAPackage) << label;
    }
}

}  // namespace
