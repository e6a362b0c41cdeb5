// CAudioFileWriter: what the WAV and MP3 writers share. A renderer with one
// input pin, "In", that takes raw audio (components/common/media_format.h) and
// writes a file named through IFileSinkFilter (CFileSink), as fast as the
// samples come. A sample that announces another format fails the run: a
// file already begun cannot change its format midway.
//
// Threads: samples arrive on the upstream streaming thread (streaming lock
// held by CBaseRenderer); pause and stop come from the application's thread.
#pragma once

#include "components/common/media_format.h"
#include "platform/dshow/base_renderer.h"
#include "platform/dshow/file_sink.h"

class CAudioFileWriter : public CBaseRenderer, public CFileSink {
public:
    CAudioFileWriter(const char* objectName, REFCLSID clsid);
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    HRESULT CheckMediaType(const CMediaType* type) override;
    // Checks the sample, then WriteAudio.
    HRESULT DoRenderSample(IMediaSample* sample) final;
    bool RendersInTime() const override { return false; }

protected:
    // Filter lock held, from OnStartStreaming: the connected input's format,
    // which the samples must keep until stop.
    HRESULT BeginInput(RawAudioFormat* format);
    // Streaming thread: `length` bytes of interleaved audio.
    virtual HRESULT WriteAudio(const BYTE* data, LONG length) = 0;

private:
    CMediaType m_startedType;
};
