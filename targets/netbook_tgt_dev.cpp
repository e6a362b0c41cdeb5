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

CNetbookTgtDev::CNetbookTgtDev(CKestrelDoc* document) : CTargetDevice(document), m_current(nullptr)
{
    Describe(IDS_NETBOOK, GUID_NetbookTgtDev, 399);
    m_current = m_handlers.Handlers().value(0);
}

std::unique_ptr<CDevicePage> CNetbookTgtDev::MakePage()
{
    return std::make_unique<CNetbookTgtPage>(this, Document());
}

QString CNetbookTgtDev::GetOutputFolder() const
{
    const QStringList drives = ListRemovableDrives();
    if (drives.contains(m_selectedDrive))
        return m_selectedDrive;
    return drives.value(0);
}

bool CNetbookTgtDev::IsAvailable()
{
    return !ListRemovableDrives().isEmpty();
}

HRESULT CNetbookTgtDev::PrepareGraph(CSourceDevice*, CGraphContext* context)
{
    return PrepareHandlerGraph(m_current, GetOutputFolder(), context, false);
}

HRESULT CNetbookTgtDev::FinishGraph(CSourceDevice*, CGraphContext* context)
{
    DeployPlayer();
    return FinishHandlerGraph(m_current, context);
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
    const QDir program(m_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : m_programFolder);
    const QString folder = GetOutputFolder();
    if (folder.isEmpty())
        return;
    const QDir target(folder);
    CopyIfMissing(program.filePath(kPlayerFile), target.filePath(kPlayerFile));
    target.mkdir(QStringLiteral("Codecs"));
    const QDir codecs(target.filePath(QStringLiteral("Codecs")));
    for (const char* name : kCodecFiles)
        CopyIfMissing(program.filePath(name), codecs.filePath(name));
}
