// The structure of a video DVD as the DVD source offers it: its title sets
// (one VTS_nn_0.IFO each, with the descriptions of their audio and subpicture
// streams) and its titles (the sector ranges of a title set's VOB files that
// make up each title, its playing time and the stream choices a transfer
// uses).
//
// IFO files come from discs and copies of discs, so they are untrusted: a
// file is read whole (up to kMaxIfoBytes) and every value is fetched through
// a bounds check. An entry that points outside the file, names a program
// chain or cell that does not exist, or gives a range whose end lies before
// its start is skipped; a title left with no range is dropped; a file that
// cannot be read or is too large skips its title set. Nothing here throws.
//
// Threads: any, one structure at a time; nothing is shared.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

// One contiguous run of 2048-byte sectors, counted from the first sector of
// the title set's first VOB file; the end sector is the last one of the run.
struct CSectorRange {
    uint32_t startSector = 0;
    uint32_t endSector = 0;

    bool operator==(const CSectorRange&) const = default;
};

class CTitleSetInfo {
public:
    explicit CTitleSetInfo(QString ifoPath);
    virtual ~CTitleSetInfo() = default;

    // "No audio" (string 237) / "No subtitles" (string 240) for an index
    // without entry, negative ones included.
    QString GetAudioDescription(int index) const;
    QString GetSubtitleDescription(int index) const;

    QStringList m_audioDescriptions;
    QStringList m_subtitleDescriptions;
    QString m_ifoPath;
};

class CTitleInfo {
public:
    // A title of `titleSet` (not owned; may be null): its VOB file pattern
    // is the IFO path with "_0.IFO" replaced by "_?.VOB".
    explicit CTitleInfo(const CTitleSetInfo* titleSet);
    // A title rebuilt from a source string (GetSourceString); it has no
    // title set. Unknown keys and pieces without "=" are ignored.
    explicit CTitleInfo(const QString& sourceString);

    // "vobfile=...&range=s,e...&audio=..&subtitles=..&starttime=..&stoptime=..&duration=..".
    // An "&" or "%" in the VOB path is written as %26 or %25, so that any
    // folder name survives the trip.
    QString GetSourceString() const;
    QString GetVobFile() const { return m_vobFile; }

    int32_t m_audio = 0;
    int32_t m_subtitles = 0;  // negative: none
    const CTitleSetInfo* m_titleSet = nullptr;
    std::vector<CSectorRange> m_ranges;
    int32_t m_duration = 0;         // seconds
    int64_t m_startTime = -1;       // 100 ns, -1: not set
    int64_t m_stopTime = -1;        // 100 ns, -1: not set
    QString m_vobFile;
};

// The disc's title sets in number order and its titles; a title points into
// the title set list, so both are replaced together.
struct CDvdStructure {
    QString videoTsPath;
    std::vector<std::unique_ptr<CTitleSetInfo>> titleSets;
    std::vector<std::unique_ptr<CTitleInfo>> titles;
};

// IFO files larger than this are not read (real ones stay far below).
inline constexpr qsizetype kMaxIfoBytes = 8 * 1024 * 1024;

// The VIDEO_TS folder of `drive`: the folder itself when it is named
// VIDEO_TS, else its VIDEO_TS subfolder.
QString VideoTsFolder(const QString& drive);

// Rereads `structure` from the VIDEO_TS folder of `drive` (a mount point, a
// folder that holds VIDEO_TS or the VIDEO_TS folder itself): title sets 01,
// 02, ... up to the first that is missing. False, with `structure` left as
// it was, for an empty drive; true otherwise, also when no title set exists.
bool ReadDiscStructure(const QString& drive, CDvdStructure* structure);

// Reads the stream descriptions and titles of one IFO file's bytes and
// appends the title set (always) and the titles that pass the filter (at
// least one audio stream, one range and 100 sectors).
void ReadTitleSet(const QByteArray& ifo, const QString& ifoPath, CDvdStructure* structure);

// Appends the titles of `ifo` that pass the filter to `titles`.
void ReadTitles(const QByteArray& ifo, const CTitleSetInfo* titleSet, std::vector<std::unique_ptr<CTitleInfo>>* titles);

// "English (Dolby Digital, 5.1 Surround)" for one 8-byte audio attribute record.
QString DescribeAudioStream(const uint8_t* attributes);

// The display name of a language code (first letter in the high byte);
// "Unspecified language" for a code that is not listed.
QString LanguageName(uint16_t code);
