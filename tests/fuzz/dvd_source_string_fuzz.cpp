// The source string a DVD transfer task carries: any text. Whatever it
// parses to must come back unchanged through GetSourceString.
#include "sources/dvd/dvd_structure.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text = FuzzText(data, size);
    const CTitleInfo parsed(QString::fromUtf8(text.data(), qsizetype(text.size())));
    const CTitleInfo again(parsed.GetSourceString());
    Require(again.m_vobFile == parsed.m_vobFile, "the VOB path comes back");
    Require(again.m_ranges == parsed.m_ranges, "the ranges come back");
    Require(again.m_audio == parsed.m_audio && again.m_subtitles == parsed.m_subtitles, "the streams come back");
    Require(again.m_startTime == parsed.m_startTime && again.m_stopTime == parsed.m_stopTime, "the times come back");
    Require(again.m_duration == parsed.m_duration, "the duration comes back");
    Require(again.m_titleSet == nullptr, "a parsed title has no title set");
    return 0;
}
