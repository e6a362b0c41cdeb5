// The header of a WAV file for raw audio (components/common/media_format.h).
//
// The layout never changes size, so a writer puts a provisional header
// (no data yet) in front and overwrites it with the final one at the end:
//   "RIFF" <size> "WAVE", a 28-byte "JUNK" chunk, "fmt ", ["fact"], "data" <size>.
// The JUNK chunk reserves the room of a "ds64" chunk (EBU Tech 3306): when
// the file outgrows the 32-bit sizes of RIFF, the final header is an RF64
// one ("RF64", "ds64" with the 64-bit sizes, 32-bit sizes set to
// 0xFFFFFFFF) instead of a RIFF header with sizes that wrapped around.
//
// Format chunk: WAVE_FORMAT_PCM for 8 and 16 bit integers on one or two
// channels, WAVE_FORMAT_IEEE_FLOAT (with the "fact" chunk that non-PCM
// formats carry) for 32-bit float on one or two channels, and
// WAVE_FORMAT_EXTENSIBLE with the default channel mask for more channels or
// for 32-bit integers.
#pragma once

#include <cstdint>
#include <vector>

#include "components/common/media_format.h"

// The header for `dataBytes` bytes of `format` audio. Its size depends on the
// format only.
std::vector<uint8_t> WavHeader(const RawAudioFormat& format, uint64_t dataBytes);
