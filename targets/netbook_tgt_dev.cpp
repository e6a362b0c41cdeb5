#include "targets/netbook_tgt_dev.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "res/string_table.h"
#include "targets/handler_graph.h"
#include "targets/netbook_tgt_page.h"
#include "targets/removable_drives.h"

const char* const CNetbookTgtDev::kPlayerFile = "Plavex.exe";
const char* const CNetbookTgtDev::kCodecFiles[5] = {"mc_demux_mp4_ds.ax", "mc_dec_avc_ds.ax", "mc_dec_avc.dll",
                                                   "mc_dec_aac_ds.ax", "mc_dec_aac.dll"};

CNetbookTgtDev::CNetbookTgtDev(CKestrelDoc* document) : CTargetDevice(document), current_(nullptr)
{
    Describe(IDS_NETBOOK, GUID_NetbookTgtDev, 399);
    SetPage(new CNetbookTgtPage(this, document));
    current_ = handlers_.Handlers().value(0);
}

bool CNetbookTgtDev::IsAvailable()
{
    return !ListRemovableDrives().isEmpty();
}

HRESULT CNetbookTgtDev::PrepareGraph(CSourceDevice*, CTranscodeTask* task)
{
    return PrepareHandlerGraph(current_, Page()->GetCurrentFolderPath(), task, false);
}

HRESULT CNetbookTgtDev::FinishGraph(CSourceDevice*, CTranscodeTask* task)
{
    DeployPlayer();
    return FinishHandlerGraph(current_, task);
}

namespace {

// Copies unless the target already has the file: never overwrites.
void CopyIfMissing(const QString& from, const QString& to)
{
    if (!QFile::exists(to))
        QFile::copy(from, to);
}

}  // namespace

void CNetbookTgtDev::DeployPlayer()
{
    const QDir program(programFolder_.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder_);
    const QString folder = Page()->GetCurrentFolderPath();
    if (folder.isEmpty())
        return;
    const QDir target(folder);
    CopyIfMissing(program.filePath(kPlayerFile), target.filePath(kPlayerFile));
    target.mkdir(QStringLiteral("Codecs"));
    const QDir codecs(target.filePath(QStringLiteral("Codecs")));
    for (const char* name : kCodecFiles)
        CopyIfMissing(program.filePath(name), codecs.filePath(name));
}
