#include "targets/netbook_tgt_dev.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "pipeline/graph_context.h"
#include "res/string_table.h"
#include "targets/handler_graph.h"
#include "targets/netbook_tgt_page.h"
#include "targets/removable_drives.h"
#include "targets/stick_rules.h"
#include "ui/messages.h"

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
    // Checked once the source is connected: only then is the duration known.
    qint64 itemBytes = 0;
    const HRESULT room = CheckRoom(context, itemBytes);
    if (FAILED(room))
        return room;
    DeployPlayer(itemBytes);
    return FinishHandlerGraph(m_current, context);
}

namespace {

constexpr int kIdsNotEnoughSpace = 10100;
constexpr int kIdsTooLargeForFat = 10101;
// Windows' ERROR_FILE_TOO_LARGE, which the platform layer does not name.
constexpr uint32_t kErrorFileTooLarge = 223;

QString Megabytes(qint64 bytes)
{
    return QString::number((bytes + 999999) / 1000000);
}

struct FileCopy {
    QString from, to;
};

// The copies still to make: those the program has and the target lacks.
// Never overwrites, so a player the user put there stays.
QList<FileCopy> MissingCopies(const QList<FileCopy>& copies)
{
    QList<FileCopy> missing;
    for (const FileCopy& copy : copies) {
        if (QFile::exists(copy.from) && !QFile::exists(copy.to))
            missing.append(copy);
    }
    return missing;
}

qint64 TotalBytes(const QList<FileCopy>& copies)
{
    qint64 total = 0;
    for (const FileCopy& copy : copies)
        total += QFileInfo(copy.from).size();
    return total;
}

}  // namespace

void CNetbookTgtDev::DeployPlayer(qint64 itemBytes)
{
    const QDir program(m_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : m_programFolder);
    const QString folder = GetOutputFolder();
    if (folder.isEmpty())
        return;
    const QDir target(folder);
    QList<FileCopy> copies{{program.filePath(kPlayerFile), target.filePath(kPlayerFile)}};
    for (const char* name : kCodecFiles)
        copies.append({program.filePath(name), target.filePath(QStringLiteral("Codecs/") + name)});
    copies = MissingCopies(copies);
    // The item comes first: a player that would crowd it out is left for
    // a drive with more room, and half a player is no use.
    DriveSpace space;
    if (copies.isEmpty() || (QueryDriveSpace(folder, space) && TotalBytes(copies) + itemBytes > space.freeBytes))
        return;
    target.mkdir(QStringLiteral("Codecs"));
    for (const FileCopy& copy : copies)
        QFile::copy(copy.from, copy.to);
}

HRESULT CNetbookTgtDev::CheckRoom(const CGraphContext* context, qint64& itemBytes) const
{
    IMediaSeeking* seeking = context->MediaSeeking();
    LONGLONG duration = 0;
    DriveSpace space;
    if (!m_current || !seeking || FAILED(seeking->GetDuration(&duration)) || duration <= 0 ||
        !QueryDriveSpace(GetOutputFolder(), space))
        return S_OK;
    const int videoKbps = context->IsAudioOnly() ? 0 : m_current->video.bitRate;
    const qint64 estimate = EstimateOutputBytes(videoKbps, m_current->audio.bitRate, double(duration) / UNITS);
    itemBytes = estimate;
    switch (JudgeOutput(estimate, space)) {
    case StickVerdict::Fits:
        return S_OK;
    case StickVerdict::TooLittleSpace:
        ShowMessage(FormatString(kIdsNotEnoughSpace,
                                 {context->GetName(), Megabytes(estimate), Megabytes(space.freeBytes)}));
        return HRESULT_FROM_WIN32(ERROR_DISK_FULL);
    case StickVerdict::TooLargeForFat:
        ShowMessage(FormatString(kIdsTooLargeForFat, {context->GetName(), Megabytes(estimate)}));
        return HRESULT_FROM_WIN32(kErrorFileTooLarge);
    }
    return S_OK;
}
