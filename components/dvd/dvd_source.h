// CDvdSource: the DVD source filter, CLSID_DvdSource.
//
// Load takes the pattern path of a title set's VOB files, such as
// /media/DVD/VIDEO_TS/VTS_01_?.VOB: the last "?" stands for 1, 2, ... and
// the files that exist from 1 on (at most 9) form one space of 2048-byte
// sectors, sector 0 being the first of VTS_nn_1.VOB. IDvdSourceRanges adds
// the runs of sectors to read, in order (none: the whole title set); a run
// is cut at the end of the last file. The selected sectors are offered, one
// after the other, as one MPEG program stream on the pin "Output" through
// IAsyncReader, as File Source (Async.) offers a file, so the program
// stream demultiplexer pulls them and seeks by time on its own (by the PES
// time stamps, through libavformat); the graph's seeking reaches it through
// the demultiplexer's output pins.
//
// Scrambled discs: every pack that a read covers from its start is looked
// at; a PES header with its scrambling control bits set (CSS) fails the read
// with VFW_E_COPYPROT_FAILED, so no garbage reaches a decoder or a file.
//
// Threads: Load, AddRange and GetCurFile belong to the application's thread
// and are refused while the pin is connected. SyncRead, Length and the
// reader's flush may come from any thread and never take the filter lock.
// Until a title set is loaded the filter has no pin.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "components/component_interfaces.h"
#include "platform/dshow/async_reader_pin.h"

class CDvdSource final : public CBaseFilter, public IFileSourceFilter, public IDvdSourceRanges, public CAsyncByteSource {
public:
    CDvdSource();
    ~CDvdSource() override;
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    int GetPinCount() override;
    CBasePin* GetPin(int index) override;

    // IFileSourceFilter. Opens the VOB files at once: without a first file
    // the code of the failed open (a pattern without "?" gives E_INVALIDARG).
    // Loading again drops the ranges.
    HRESULT Load(LPCOLESTR pattern, const AM_MEDIA_TYPE* type) override;
    HRESULT GetCurFile(LPOLESTR* pattern, AM_MEDIA_TYPE* type) override;

    // IDvdSourceRanges. VFW_E_NOT_CONNECTED before Load.
    HRESULT AddRange(uint32_t startSector, uint32_t endSector) override;

    // CAsyncByteSource, for the pin: any thread.
    HRESULT Read(LONGLONG position, LONG length, BYTE* buffer) override;
    HRESULT Size(LONGLONG* total, LONGLONG* available) override;
    void SetFlushing(bool flushing) override { m_flushing = flushing; }
    CMediaType OfferedType() override;

    struct Layout;

private:
    std::shared_ptr<const Layout> CurrentLayout();

    CAsyncReaderPin m_output;
    std::atomic<bool> m_flushing{false};
    std::mutex m_layoutLock;  // guards m_layout; held only to copy or swap it
    std::shared_ptr<const Layout> m_layout;
};

// True when the pack at `sector` (the first `size` bytes of a 2048-byte
// sector) starts with a PES packet whose scrambling control bits are set.
// A pack too short to tell, or no pack at all, is not scrambled.
bool IsScrambledPack(const uint8_t* sector, size_t size);

void RegisterDvdSource();
