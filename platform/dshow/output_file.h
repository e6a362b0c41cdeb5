// COutputFile: one file that a writing sink creates when it pauses and
// writes at any offset.
//
// Every failure is the system's code as an HRESULT (HResultFromErrno: a full
// disk is HRESULT_FROM_WIN32(ERROR_DISK_FULL)), so a writer can hand it to
// the graph unchanged. The object does no locking: its owner serialises calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/dshow/dshow_types.h"

class COutputFile {
public:
    // Creates `path` (truncating what was there) for reading and writing.
    static HRESULT Create(const std::string& path, std::unique_ptr<COutputFile>* file);
    ~COutputFile();
    COutputFile(const COutputFile&) = delete;
    COutputFile& operator=(const COutputFile&) = delete;

    // Writes all `size` bytes at `offset`, however the system splits them;
    // `done` says how many made it, also on failure (may be null).
    HRESULT WriteAt(uint64_t offset, const void* data, size_t size, size_t* done = nullptr);
    // Reads up to `size` bytes at `offset`; S_FALSE when the file ended first.
    HRESULT ReadAt(uint64_t offset, void* data, size_t size, size_t* done);
    HRESULT Size(uint64_t* size);
    // Cuts or extends the file (with zeroes).
    HRESULT SetSize(uint64_t size);
    // Makes what was written durable (fdatasync): a full or removed drive may
    // report a delayed write error only here. A file whose folder was
    // removed meanwhile fails with ERROR_PATH_NOT_FOUND.
    HRESULT Sync();
    // A network drive may report a delayed write error only here. Later
    // calls fail with VFW_E_WRONG_STATE.
    HRESULT Close();

private:
    explicit COutputFile(int descriptor) : m_fd(descriptor) {}

    int m_fd;
};
