// The update check and the update dialog against a local update server.
#include "services/update_dlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "services/program_version.h"
#include "services/settings_store.h"
#include "tests/app/qstring_printer.h"
#include "tests/app/recording_presenters.h"
#include "tests/services/isolated_settings.h"
#include "tests/support/local_http_server.h"
#include "ui/control_id.h"
#include "ui/hyper_link.h"

namespace {

using program_testing::RecordingPresenter;
using services_testing::IsolatedSettings;
using testing_net::LocalHttpServer;
using testing_net::Resource;

const QString kNoInternet = QStringLiteral(
    "Could not establish a connection over the internet. We recommend to connect your computer to the internet to "
    "receive automatic update notices and use all the features of this product.");

class UpdateDlgTest : public testing::Test {
protected:
    UpdateDlgTest() { settings.UseLocalUpdateServer(server.Port()); }

    // A manifest offering `build` for "US", its setup program at /setup.exe.
    void OfferBuild(int build)
    {
        server.Serve("/tavimo1.xml", Resource{"<updates><build language=\"US\" number=\"" + std::to_string(build) +
                                              "\" date=\"2026-03-01\"><setupurl>" + server.Url("/setup.exe") +
                                              "</setupurl></build></updates>"});
    }
    template <class Control>
    Control* Find(CUpdateDlg& dialog, int id)
    {
        return qobject_cast<Control*>(ControlById(&dialog, id));
    }
    // Shows the dialog without blocking and waits until it has closed.
    bool ClickAndWaitForClose(CUpdateDlg& dialog, int button)
    {
        Find<QPushButton>(dialog, button)->click();
        return QTest::qWaitFor([&] { return !dialog.isVisible(); }, 10000);
    }
    QString DownloadTarget() const { return QDir(settings.Folder("tmp")).filePath(QStringLiteral("KestrelUpdate.deb")); }

    IsolatedSettings settings;
    LocalHttpServer server;
    RecordingPresenter presenter;
    const int ownBuild = ProgramVersion().build;
};

TEST_F(UpdateDlgTest, OnlyANewerBuildIsOffered)
{
    const struct {
        int offered;
        bool newer;
    } cases[] = {{ownBuild + 1, true}, {ownBuild, false}, {ownBuild - 1, false}};
    for (const auto& c : cases) {
        OfferBuild(c.offered);
        CUpdateDlg dialog;
        EXPECT_EQ(dialog.CheckForUpdate(), c.newer) << c.offered;
        EXPECT_EQ(dialog.BuildNumber(), c.offered);
        EXPECT_EQ(dialog.SetupUrl(), QString::fromStdString(server.Url("/setup.exe")));
    }
    EXPECT_TRUE(presenter.messages.isEmpty());
}

TEST_F(UpdateDlgTest, ManifestsWithoutAnEntryForUsOfferNothingAndSayNothing)
{
    for (const char* manifest : {"<r><build language=\"de\" number=\"9999\"/></r>", "no xml", ""}) {
        server.Serve("/tavimo1.xml", Resource{manifest});
        CUpdateDlg dialog;
        EXPECT_FALSE(dialog.CheckForUpdate()) << manifest;
    }
    EXPECT_TRUE(presenter.messages.isEmpty());
}

TEST_F(UpdateDlgTest, NoServerOrNoManifestAsksForAConnection)
{
    const int unused = testing_net::UnusedLocalPort();
    for (const bool reachable : {true, false}) {
        // The reachable server has no manifest and answers 404.
        settings.UseLocalUpdateServer(reachable ? server.Port() : unused);
        CUpdateDlg dialog;
        EXPECT_FALSE(dialog.CheckForUpdate());
    }
    EXPECT_EQ(presenter.messages, QStringList({kNoInternet, kNoInternet}));
}

TEST_F(UpdateDlgTest, ShownWithoutACheckTheDialogChecksItself)
{
    OfferBuild(ownBuild + 3);
    CUpdateDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.BuildNumber(), ownBuild + 3);
    EXPECT_TRUE(Find<QCheckBox>(dialog, CUpdateDlg::IDC_CHECK_UPDATE)->isChecked());
    EXPECT_EQ(Find<CHyperLink>(dialog, CUpdateDlg::IDC_BROWSER_LINK)->Link(),
              QString::fromStdString(server.Url("/setup.exe")));
    EXPECT_EQ(Find<QCheckBox>(dialog, CUpdateDlg::IDC_CHECK_UPDATE)->text(),
              QStringLiteral("Check for updates when starting Orvex Tavimo"));
}

TEST_F(UpdateDlgTest, DownloadNowFetchesTheSetupAndLeavesTheSettingAlone)
{
    const std::string setup = testing_files::PatternBytes(50000);
    OfferBuild(ownBuild + 1);
    server.Serve("/setup.exe", Resource{setup});
    CUpdateDlg dialog;
    ASSERT_TRUE(dialog.CheckForUpdate());
    dialog.open();
    Find<QCheckBox>(dialog, CUpdateDlg::IDC_CHECK_UPDATE)->setChecked(false);
    ASSERT_TRUE(ClickAndWaitForClose(dialog, CUpdateDlg::IDOK));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetDownloadPath(), DownloadTarget());
    EXPECT_EQ(testing_files::ReadFileBytes(DownloadTarget().toStdString()), setup);
    EXPECT_EQ(Find<QProgressBar>(dialog, CUpdateDlg::IDC_PROGRESS)->value(), 100);
    EXPECT_FALSE(Find<QPushButton>(dialog, CUpdateDlg::IDOK)->isEnabled());
    EXPECT_EQ(ReadUpdateCheckSetting(), 1);
    EXPECT_TRUE(presenter.messages.isEmpty());
}

TEST_F(UpdateDlgTest, CancelStoresTheCheckBox)
{
    OfferBuild(ownBuild + 1);
    for (const bool ticked : {false, true}) {
        CUpdateDlg dialog;
        dialog.open();
        Find<QCheckBox>(dialog, CUpdateDlg::IDC_CHECK_UPDATE)->setChecked(ticked);
        ASSERT_TRUE(ClickAndWaitForClose(dialog, CUpdateDlg::IDCANCEL));
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(ReadUpdateCheckSetting(), ticked ? 1 : 0);
    }
}

TEST_F(UpdateDlgTest, CancelDuringTheDownloadClosesTheDialogAndLeavesNoFile)
{
    OfferBuild(ownBuild + 1);
    Resource stalling{testing_files::PatternBytes(300000)};
    stalling.stallFromRequest = 1;
    stalling.stallAfterBytes = 20000;
    server.Serve("/setup.exe", stalling);
    CUpdateDlg dialog;
    dialog.open();
    Find<QPushButton>(dialog, CUpdateDlg::IDOK)->click();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Find<QProgressBar>(dialog, CUpdateDlg::IDC_PROGRESS)->value() > 0; }, 10000));
    ASSERT_TRUE(ClickAndWaitForClose(dialog, CUpdateDlg::IDCANCEL));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(QDir(settings.Folder("tmp")).isEmpty(QDir::Files | QDir::Hidden | QDir::System));
    EXPECT_TRUE(presenter.messages.isEmpty());
}

TEST_F(UpdateDlgTest, DownloadErrorsAreReportedAndCloseTheDialog)
{
    OfferBuild(ownBuild + 1);  // no /setup.exe on the server
    CUpdateDlg dialog;
    dialog.open();
    ASSERT_TRUE(ClickAndWaitForClose(dialog, CUpdateDlg::IDOK));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(presenter.messages, QStringList{QStringLiteral("The requested file was not found on the server")});
}

}  // namespace
