#include "sources/dvd/dvd_structure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <string_view>

#include "res/string_table.h"

namespace {

constexpr uint64_t kSectorBytes = 2048;
// The DVD-Video limits; larger counts in a file are damage, not content.
constexpr int kMaxTitleSets = 99;
constexpr int kMaxAudioStreams = 8;
constexpr int kMaxSubpictureStreams = 32;
constexpr int kMaxTitles = 99;
constexpr int kMaxPartsPerTitle = 999;

// Big-endian values of an IFO file's bytes; nothing outside the buffer.
class IfoBytes {
public:
    explicit IfoBytes(const QByteArray& bytes) : m_bytes(bytes) {}

    std::optional<uint32_t> Read(uint64_t offset, int width) const
    {
        if (offset > uint64_t(m_bytes.size()) || uint64_t(m_bytes.size()) - offset < uint64_t(width))
            return std::nullopt;
        uint32_t value = 0;
        for (int i = 0; i < width; ++i)
            value = (value << 8) | uint8_t(m_bytes[qsizetype(offset) + i]);
        return value;
    }
    std::optional<uint32_t> U8(uint64_t offset) const { return Read(offset, 1); }
    std::optional<uint32_t> U16(uint64_t offset) const { return Read(offset, 2); }
    std::optional<uint32_t> U32(uint64_t offset) const { return Read(offset, 4); }
    const uint8_t* At(uint64_t offset, int width) const
    {
        if (!Read(offset, width))
            return nullptr;
        return reinterpret_cast<const uint8_t*>(m_bytes.constData()) + offset;
    }

private:
    const QByteArray& m_bytes;
};

int FromBcd(uint32_t x) { return int((x >> 4) * 10 + (x & 0x0F)); }

// What one program chain contributes to a title; invalid when any of its
// values lies outside the file or its cells, or its range runs backwards.
struct ProgramChain {
    bool valid = false;
    CSectorRange range;
    int seconds = 0;
};

ProgramChain ReadProgramChain(const IfoBytes& ifo, uint64_t tableStart, int k)
{
    ProgramChain chain;
    const auto offset = ifo.U32(tableStart + 12 + 8 * uint64_t(k));
    if (!offset)
        return chain;
    const uint64_t b = tableStart + *offset;
    const auto programs = ifo.U8(b + 2), cells = ifo.U8(b + 3);
    const auto hours = ifo.U8(b + 4), minutes = ifo.U8(b + 5), seconds = ifo.U8(b + 6);
    const auto programMap = ifo.U16(b + 0xE6), cellTable = ifo.U16(b + 0xE8);
    if (!programs || !cells || !hours || !minutes || !seconds || !programMap || !cellTable || *programs == 0)
        return chain;
    const auto first = ifo.U8(b + *programMap), last = ifo.U8(b + *programMap + *programs - 1);
    if (!first || !last || *first == 0 || *first > *cells || *last > *cells)
        return chain;
    const uint64_t cellBase = b + *cellTable;
    const auto start = ifo.U32(cellBase + (*first - 1) * 24 + 8);
    if (!start)
        return chain;
    uint32_t end = 0;
    // The last program's entry cell may lie before the first's: end stays 0.
    for (uint32_t c = *first; c <= *last; ++c) {
        const auto cellEnd = ifo.U32(cellBase + (c - 1) * 24 + 20);
        if (!cellEnd)
            return chain;
        end = std::max(end, *cellEnd);
    }
    chain.range = {*start, end};
    chain.seconds = (FromBcd(*hours) * 60 + FromBcd(*minutes)) * 60 + FromBcd(*seconds);
    chain.valid = end >= *start;
    return chain;
}

// The 142 language rows: two letters each, in table order.
constexpr char kLanguageCodes[] =
    "aaabafamarasayazbabebgbhbibnbobrcacocscydadedzeleneoeseteufafifjfofrfygagdglgngu"
    "hahehihrhuhyiaidieikinisitiuiwjajijwkakkklkmknkokskukylalnloltlvmgmimkmlmnmomrms"
    "mtmynanenlnoocomorpaplpsptqurmrnrorurwsasdsgshsiskslsmsnsosqsrssstsusvswtatetgth"
    "titktltntotrtstttwugukuruzvivowoxhyiyozazhzu";

}  // namespace

CTitleSetInfo::CTitleSetInfo(QString ifoPath) : m_ifoPath(std::move(ifoPath)) {}

QString CTitleSetInfo::GetAudioDescription(int index) const
{
    return index >= 0 && index < m_audioDescriptions.size() ? m_audioDescriptions[index] : LoadString(237);
}

QString CTitleSetInfo::GetSubtitleDescription(int index) const
{
    return index >= 0 && index < m_subtitleDescriptions.size() ? m_subtitleDescriptions[index] : LoadString(240);
}

CTitleInfo::CTitleInfo(const CTitleSetInfo* titleSet) : m_titleSet(titleSet)
{
    if (!titleSet)
        return;
    m_vobFile = titleSet->m_ifoPath;
    if (m_vobFile.endsWith(QLatin1String("_0.IFO")))
        m_vobFile = m_vobFile.chopped(6) + QLatin1String("_?.VOB");
}

QString LanguageName(uint16_t code)
{
    const char high = char(code >> 8), low = char(code & 0xFF);
    const std::string_view codes(kLanguageCodes);
    for (size_t row = 0; row * 2 + 1 < codes.size(); ++row) {
        if (codes[row * 2] != high || codes[row * 2 + 1] != low)
            continue;
        // Ids 2043 and 2086 are not used: the rows after hi and after nl move on by one.
        const int id = IDS_FIRST_LANGUAGE + int(row) + (row >= 43 ? 1 : 0) + (row >= 85 ? 1 : 0);
        return LoadString(id);
    }
    return LoadString(IDS_UNSPECIFIED_LANGUAGE);
}

QString DescribeAudioStream(const uint8_t* attributes)
{
    static const std::array<const char*, 8> kCodings = {"Dolby Digital", nullptr, "MPEG-1", "MPEG-2",
                                                         "LPCM",          nullptr, "DTS",    nullptr};
    const char* coding = kCodings[attributes[0] >> 5];
    const QString codingText = coding ? QString::fromLatin1(coding) : LoadString(233);
    const QString language = LanguageName(uint16_t(attributes[2] << 8 | attributes[3]));
    const int channels = (attributes[1] & 7) + 1;
    QString channelText;
    if (channels == 2)
        channelText = LoadString(236);
    else if (channels == 6)
        channelText = LoadString(234);
    else
        channelText = FormatString(235, {QString::number(channels)});
    return QStringLiteral("%1 (%2, %3)").arg(language, codingText, channelText);
}

void ReadTitles(const QByteArray& bytes, const CTitleSetInfo* titleSet,
                std::vector<std::unique_ptr<CTitleInfo>>* titles)
{
    const IfoBytes ifo(bytes);
    const auto pgciSector = ifo.U32(0xCC), pttSector = ifo.U32(0xC8);
    if (!pgciSector || !pttSector)
        return;
    const uint64_t pgci = *pgciSector * kSectorBytes;
    const auto chainCount = ifo.U16(pgci);
    if (!chainCount)
        return;
    std::vector<ProgramChain> chains;
    chains.reserve(*chainCount);
    for (int k = 0; k < int(*chainCount); ++k)
        chains.push_back(ReadProgramChain(ifo, pgci, k));

    const uint64_t ptt = *pttSector * kSectorBytes;
    const auto titleCount = ifo.U16(ptt), endAddress = ifo.U32(ptt + 4);
    if (!titleCount || !endAddress)
        return;
    const int count = std::min(int(*titleCount), kMaxTitles);
    std::vector<uint32_t> offsets(size_t(count) + 1, *endAddress);
    for (int j = 0; j < count; ++j) {
        const auto offset = ifo.U32(ptt + 8 + 4 * uint64_t(j));
        if (!offset)
            return;
        offsets[size_t(j)] = *offset;
    }
    const bool hasAudio = !titleSet->m_audioDescriptions.isEmpty();
    for (int j = 0; j < count; ++j) {
        auto title = std::make_unique<CTitleInfo>(titleSet);
        uint32_t previous = 0xFFFF;
        int64_t seconds = 0;
        int parts = 0;
        for (uint64_t x = offsets[size_t(j)]; x < offsets[size_t(j) + 1] && parts < kMaxPartsPerTitle; x += 4, ++parts) {
            const auto chain = ifo.U16(ptt + x);
            if (!chain)
                break;
            if (*chain == previous)
                continue;
            previous = *chain;
            // A chain that does not exist or cannot be read leaves a gap, not a title.
            if (*chain == 0 || *chain > chains.size() || !chains[*chain - 1].valid)
                continue;
            title->m_ranges.push_back(chains[*chain - 1].range);
            seconds += chains[*chain - 1].seconds;
        }
        title->m_duration = int32_t(std::min<int64_t>(seconds, std::numeric_limits<int32_t>::max()));
        uint32_t sectors = 0;
        for (const CSectorRange& range : title->m_ranges)
            sectors += range.endSector - range.startSector;
        if (hasAudio && !title->m_ranges.empty() && sectors >= 100)
            titles->push_back(std::move(title));
    }
}

void ReadTitleSet(const QByteArray& bytes, const QString& ifoPath, CDvdStructure* structure)
{
    const IfoBytes ifo(bytes);
    auto titleSet = std::make_unique<CTitleSetInfo>(ifoPath);
    const int audioCount = std::min<int>(ifo.U16(0x202).value_or(0), kMaxAudioStreams);
    for (int i = 0; i < audioCount; ++i) {
        if (const uint8_t* attributes = ifo.At(0x204 + 8 * uint64_t(i), 8))
            titleSet->m_audioDescriptions.append(DescribeAudioStream(attributes));
    }
    const int subpictureCount = std::min<int>(ifo.U16(0x254).value_or(0), kMaxSubpictureStreams);
    for (int i = 0; i < subpictureCount; ++i) {
        if (const auto language = ifo.U16(0x256 + 6 * uint64_t(i) + 2))
            titleSet->m_subtitleDescriptions.append(LanguageName(uint16_t(*language)));
    }
    ReadTitles(bytes, titleSet.get(), &structure->titles);
    structure->titleSets.push_back(std::move(titleSet));
}

QString VideoTsFolder(const QString& drive)
{
    const QString folder = QDir::cleanPath(drive);
    if (QFileInfo(folder).fileName() == QLatin1String("VIDEO_TS"))
        return folder;
    return folder + QLatin1String("/VIDEO_TS");
}

bool ReadDiscStructure(const QString& drive, CDvdStructure* structure)
{
    if (drive.isEmpty())
        return false;
    // Titles point into the title sets: they go first.
    structure->titles.clear();
    structure->titleSets.clear();
    structure->videoTsPath = VideoTsFolder(drive);
    for (int n = 1; n <= kMaxTitleSets; ++n) {
        const QString ifoPath =
            structure->videoTsPath + QStringLiteral("/VTS_%1_0.IFO").arg(n, 2, 10, QLatin1Char('0'));
        QFile file(ifoPath);
        if (!file.exists())
            break;
        // A title set that cannot be read, or is too large to be one, is skipped.
        if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxIfoBytes)
            continue;
        const QByteArray bytes = file.read(kMaxIfoBytes);
        if (file.error() != QFileDevice::NoError)
            continue;
        ReadTitleSet(bytes, ifoPath, structure);
    }
    return true;
}

namespace {

// The leading decimal integer of `text` (optional sign; no digits: 0),
// held within [low, high].
int64_t LeadingInteger(QStringView text, int64_t low, int64_t high)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    int64_t value = 0;
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const int digit = text[i].unicode() - u'0';
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return std::clamp(negative ? -value : value, low, high);
}

int32_t Int32Of(QStringView text)
{
    return int32_t(LeadingInteger(text, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

uint32_t SectorOf(QStringView text)
{
    return uint32_t(LeadingInteger(text, 0, std::numeric_limits<uint32_t>::max()));
}

QString EscapedPath(QString path)
{
    return path.replace(u'%', QLatin1String("%25")).replace(u'&', QLatin1String("%26"));
}

QString UnescapedPath(QString value)
{
    return value.replace(QLatin1String("%26"), QLatin1String("&")).replace(QLatin1String("%25"), QLatin1String("%"));
}

}  // namespace

CTitleInfo::CTitleInfo(const QString& sourceString)
{
    for (QStringView piece : QStringView(sourceString).split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype equals = piece.indexOf(u'=');
        if (equals < 0)
            continue;
        const QStringView key = piece.left(equals), value = piece.mid(equals + 1);
        if (key == u"vobfile") {
            m_vobFile = UnescapedPath(value.toString());
        } else if (key == u"audio") {
            m_audio = Int32Of(value);
        } else if (key == u"subtitles") {
            m_subtitles = Int32Of(value);
        } else if (key == u"duration") {
            m_duration = Int32Of(value);
        } else if (key == u"starttime") {
            m_startTime = LeadingInteger(value, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
        } else if (key == u"stoptime") {
            m_stopTime = LeadingInteger(value, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
        } else if (key == u"range") {
            const qsizetype comma = value.indexOf(u',');
            const QStringView start = comma < 0 ? value : value.left(comma);
            const QStringView end = comma < 0 ? QStringView() : value.mid(comma + 1);
            m_ranges.push_back({SectorOf(start), SectorOf(end)});
        }
    }
}

QString CTitleInfo::GetSourceString() const
{
    QString text = QLatin1String("vobfile=") + EscapedPath(m_vobFile);
    for (const CSectorRange& range : m_ranges)
        text += QStringLiteral("&range=%1,%2").arg(range.startSector).arg(range.endSector);
    text += QStringLiteral("&audio=%1&subtitles=%2").arg(m_audio).arg(m_subtitles);
    text += QStringLiteral("&starttime=%1&stoptime=%2").arg(m_startTime).arg(m_stopTime);
    text += QStringLiteral("&duration=%1").arg(m_duration);
    return text;
}
