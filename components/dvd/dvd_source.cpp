#include "components/dvd/dvd_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iterator>

#include "components/component_ids.h"
#include "platform/com/class_registry.h"

namespace {

constexpr uint64_t kSectorBytes = 2048;
// A title set has at most nine title VOB files.
constexpr int kMaxVobFiles = 9;

struct VobFile {
    int fd = -1;
    uint64_t firstSector = 0;
    uint64_t sectors = 0;
};

// A run of selected sectors and where it starts in the stream offered.
struct Segment {
    uint64_t streamStart = 0;  // bytes
    uint64_t firstSector = 0;
    uint64_t sectors = 0;
};

}  // namespace

// What one Load (and the ranges added to it) selects; shared with reads in
// flight, so a new Load never closes a file under them.
struct CDvdSource::Layout {
    std::string pattern;
    CMediaType offered;
    std::vector<VobFile> files;
    std::vector<std::pair<uint32_t, uint32_t>> ranges;
    std::vector<Segment> segments;
    uint64_t totalBytes = 0;

    Layout() = default;
    Layout(const Layout&) = delete;  // owns the descriptors
    Layout& operator=(const Layout&) = delete;
    ~Layout()
    {
        for (const VobFile& file : files)
            ::close(file.fd);
    }

    uint64_t Sectors() const { return files.empty() ? 0 : files.back().firstSector + files.back().sectors; }

    void Select()
    {
        segments.clear();
        totalBytes = 0;
        const uint64_t sectors = Sectors();
        auto add = [&](uint64_t first, uint64_t last) {
            if (first >= sectors || last < first) return;
            const uint64_t count = std::min(last, sectors - 1) - first + 1;
            segments.push_back({totalBytes, first, count});
            totalBytes += count * kSectorBytes;
        };
        if (ranges.empty() && sectors > 0) add(0, sectors - 1);
        for (const auto& [first, last] : ranges)
            add(first, last);
    }
};

CDvdSource::CDvdSource() : CBaseFilter("DVD source", CLSID_DvdSource), m_output(this, this) {}

CDvdSource::~CDvdSource() = default;

HRESULT CDvdSource::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IFileSourceFilter::iid) return GetInterface(static_cast<IFileSourceFilter*>(this), object);
    if (riid == IDvdSourceRanges::iid) return GetInterface(static_cast<IDvdSourceRanges*>(this), object);
    return CBaseFilter::NonDelegatingQueryInterface(riid, object);
}

int CDvdSource::GetPinCount() { return CurrentLayout() ? 1 : 0; }

CBasePin* CDvdSource::GetPin(int index) { return index == 0 && CurrentLayout() ? &m_output : nullptr; }

std::shared_ptr<const CDvdSource::Layout> CDvdSource::CurrentLayout()
{
    std::lock_guard lock(m_layoutLock);
    return m_layout;
}

CMediaType CDvdSource::OfferedType()
{
    const auto layout = CurrentLayout();
    return layout ? layout->offered : OfferedStreamType(nullptr);
}

HRESULT CDvdSource::Load(LPCOLESTR pattern, const AM_MEDIA_TYPE* type)
{
    if (!pattern) return E_POINTER;
    const std::string text = pattern;
    const size_t mark = text.rfind('?');
    if (mark == std::string::npos) return E_INVALIDARG;
    {
        std::lock_guard lock(m_filterLock);
        if (m_output.IsConnected()) return VFW_E_ALREADY_CONNECTED;
    }
    // A drive may take seconds to spin up: not under the filter lock.
    auto layout = std::make_shared<Layout>();
    layout->pattern = text;
    layout->offered = OfferedStreamType(type);
    if (layout->offered.subtype == GUID_NULL) layout->offered.subtype = MEDIASUBTYPE_MPEG2_PROGRAM;
    for (int n = 1; n <= kMaxVobFiles; ++n) {
        std::string path = text;
        path[mark] = char('0' + n);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            if (n == 1) return HResultFromErrno(errno);
            break;
        }
        struct stat info;
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(fd);
            if (n == 1) return E_ACCESSDENIED;
            break;
        }
        // A torn last sector is not offered.
        layout->files.push_back({fd, layout->Sectors(), uint64_t(info.st_size) / kSectorBytes});
    }
    layout->Select();
    std::lock_guard lock(m_filterLock);
    if (m_output.IsConnected()) return VFW_E_ALREADY_CONNECTED;
    std::lock_guard layoutLock(m_layoutLock);
    m_layout = std::move(layout);
    return S_OK;
}

HRESULT CDvdSource::GetCurFile(LPOLESTR* pattern, AM_MEDIA_TYPE* type)
{
    if (!pattern) return E_POINTER;
    *pattern = nullptr;
    const auto layout = CurrentLayout();
    if (!layout) return E_FAIL;
    return HandOutCurFile(layout->pattern, layout->offered, pattern, type);
}

HRESULT CDvdSource::AddRange(uint32_t startSector, uint32_t endSector)
{
    if (endSector < startSector) return E_INVALIDARG;
    std::lock_guard lock(m_filterLock);
    if (m_output.IsConnected()) return VFW_E_ALREADY_CONNECTED;
    std::lock_guard layoutLock(m_layoutLock);
    if (!m_layout) return VFW_E_NOT_CONNECTED;
    // The files stay with the old layout until the last read lets it go: dup them.
    auto layout = std::make_shared<Layout>();
    layout->pattern = m_layout->pattern;
    layout->offered = m_layout->offered;
    layout->ranges = m_layout->ranges;
    layout->ranges.emplace_back(startSector, endSector);
    for (const VobFile& file : m_layout->files) {
        const int fd = ::fcntl(file.fd, F_DUPFD_CLOEXEC, 0);
        if (fd < 0) return HResultFromErrno(errno);
        layout->files.push_back({fd, file.firstSector, file.sectors});
    }
    layout->Select();
    m_layout = std::move(layout);
    return S_OK;
}

HRESULT CDvdSource::Read(LONGLONG position, LONG length, BYTE* buffer)
{
    const auto layout = CurrentLayout();
    if (!layout) return VFW_E_NOT_CONNECTED;
    if (m_flushing) return VFW_E_WRONG_STATE;
    const auto& segments = layout->segments;
    uint64_t done = 0;
    HRESULT result = S_OK;
    while (done < uint64_t(length)) {
        if (done > 0 && m_flushing) return VFW_E_WRONG_STATE;
        const uint64_t at = uint64_t(position) + done;
        if (at >= layout->totalBytes) {
            result = S_FALSE;
            break;
        }
        const auto segment = std::prev(std::upper_bound(segments.begin(), segments.end(), at,
                                                        [](uint64_t x, const Segment& s) { return x < s.streamStart; }));
        const uint64_t inSegment = at - segment->streamStart;
        const uint64_t absolute = segment->firstSector * kSectorBytes + inSegment;
        const auto file = std::prev(std::upper_bound(
            layout->files.begin(), layout->files.end(), absolute / kSectorBytes,
            [](uint64_t sector, const VobFile& f) { return sector < f.firstSector; }));
        const uint64_t inFile = absolute - file->firstSector * kSectorBytes;
        const uint64_t count = std::min({uint64_t(length) - done, segment->sectors * kSectorBytes - inSegment,
                                         file->sectors * kSectorBytes - inFile});
        const ssize_t n = ::pread(file->fd, buffer + done, size_t(count), off_t(inFile));
        if (n < 0) {
            if (errno == EINTR) continue;
            return HResultFromErrno(errno);
        }
        if (n == 0) {  // the file shrank since Load
            result = S_FALSE;
            break;
        }
        done += uint64_t(n);
    }
    // Every pack whose start this read covers.
    const uint64_t first = (uint64_t(position) + kSectorBytes - 1) / kSectorBytes * kSectorBytes;
    for (uint64_t start = first; start < uint64_t(position) + done; start += kSectorBytes) {
        const uint64_t offset = start - uint64_t(position);
        if (IsScrambledPack(buffer + offset, size_t(std::min(kSectorBytes, done - offset))))
            return VFW_E_COPYPROT_FAILED;
    }
    return result;
}

HRESULT CDvdSource::Size(LONGLONG* total, LONGLONG* available)
{
    const auto layout = CurrentLayout();
    if (!layout) return VFW_E_NOT_CONNECTED;
    *total = *available = LONGLONG(layout->totalBytes);
    return S_OK;
}

bool IsScrambledPack(const uint8_t* p, size_t size)
{
    // An MPEG-2 pack header: 00 00 01 BA, 14 bytes and its stuffing.
    if (size < 14 || p[0] != 0 || p[1] != 0 || p[2] != 1 || p[3] != 0xBA || (p[4] & 0xC0) != 0x40) return false;
    size_t at = 14 + (p[13] & 7);
    for (int packet = 0; packet < 2; ++packet) {
        if (size < at + 7 || p[at] != 0 || p[at + 1] != 0 || p[at + 2] != 1) return false;
        const uint8_t id = p[at + 3];
        if (id == 0xBB) {  // the system header of a navigation pack comes first
            at += 6 + (size_t(p[at + 4]) << 8 | p[at + 5]);
            continue;
        }
        // Only the streams that CSS scrambles carry the MPEG-2 PES header looked at.
        const bool media = id == 0xBD || (id >= 0xC0 && id <= 0xEF);
        return media && (p[at + 6] & 0xC0) == 0x80 && (p[at + 6] & 0x30) != 0;
    }
    return false;
}

void RegisterDvdSource() { ClassRegistry::Instance().Register(CLSID_DvdSource, CreateComObject<CDvdSource>); }
