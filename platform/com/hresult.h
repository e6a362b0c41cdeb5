// HRESULT: the result codes of every COM and media-engine call.
// Negative values are failures; S_OK and the other non-negative values succeed.
#pragma once

#include <cstdint>

using HRESULT = int32_t;
using ULONG = uint32_t;

constexpr HRESULT MakeHResult(uint32_t code) { return static_cast<HRESULT>(code); }

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = MakeHResult(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = MakeHResult(0x80004002);
inline constexpr HRESULT E_POINTER = MakeHResult(0x80004003);
inline constexpr HRESULT E_ABORT = MakeHResult(0x80004004);
inline constexpr HRESULT E_FAIL = MakeHResult(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = MakeHResult(0x8000FFFF);
inline constexpr HRESULT E_ACCESSDENIED = MakeHResult(0x80070005);
inline constexpr HRESULT E_OUTOFMEMORY = MakeHResult(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = MakeHResult(0x80070057);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = MakeHResult(0x80040110);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = MakeHResult(0x80040154);

// Win32 error codes wrapped as HRESULTs (facility 7), for file and device failures.
constexpr HRESULT HRESULT_FROM_WIN32(uint32_t error)
{
    return error == 0 ? S_OK : MakeHResult((error & 0xFFFF) | 0x80070000);
}
inline constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr uint32_t ERROR_PATH_NOT_FOUND = 3;
inline constexpr uint32_t ERROR_ACCESS_DENIED = 5;
inline constexpr uint32_t ERROR_WRITE_FAULT = 29;
inline constexpr uint32_t ERROR_READ_FAULT = 30;
inline constexpr uint32_t ERROR_HANDLE_EOF = 38;
inline constexpr uint32_t ERROR_DISK_FULL = 112;
inline constexpr uint32_t ERROR_INVALID_NAME = 123;
inline constexpr uint32_t ERROR_DEV_NOT_EXIST = 55;
inline constexpr uint32_t ERROR_TIMEOUT = 1460;

// The HRESULT for a failed system call's errno; E_FAIL when nothing closer fits.
HRESULT HResultFromErrno(int error);

// DirectShow's codes (success codes have the severity bit clear).
inline constexpr HRESULT VFW_S_NO_MORE_ITEMS = MakeHResult(0x00040103);
inline constexpr HRESULT VFW_S_DUPLICATE_NAME = MakeHResult(0x0004022D);
inline constexpr HRESULT VFW_S_STATE_INTERMEDIATE = MakeHResult(0x00040237);
inline constexpr HRESULT VFW_S_PARTIAL_RENDER = MakeHResult(0x00040242);
inline constexpr HRESULT VFW_S_CANT_CUE = MakeHResult(0x00040268);
inline constexpr HRESULT VFW_E_INVALIDMEDIATYPE = MakeHResult(0x80040200);
inline constexpr HRESULT VFW_E_ENUM_OUT_OF_SYNC = MakeHResult(0x80040203);
inline constexpr HRESULT VFW_E_ALREADY_CONNECTED = MakeHResult(0x80040204);
inline constexpr HRESULT VFW_E_FILTER_ACTIVE = MakeHResult(0x80040205);
inline constexpr HRESULT VFW_E_NO_TYPES = MakeHResult(0x80040206);
inline constexpr HRESULT VFW_E_NO_ACCEPTABLE_TYPES = MakeHResult(0x80040207);
inline constexpr HRESULT VFW_E_INVALID_DIRECTION = MakeHResult(0x80040208);
inline constexpr HRESULT VFW_E_NOT_CONNECTED = MakeHResult(0x80040209);
inline constexpr HRESULT VFW_E_NO_ALLOCATOR = MakeHResult(0x8004020A);
inline constexpr HRESULT VFW_E_RUNTIME_ERROR = MakeHResult(0x8004020B);
inline constexpr HRESULT VFW_E_BUFFER_NOTSET = MakeHResult(0x8004020C);
inline constexpr HRESULT VFW_E_BUFFER_OVERFLOW = MakeHResult(0x8004020D);
inline constexpr HRESULT VFW_E_BADALIGN = MakeHResult(0x8004020E);
inline constexpr HRESULT VFW_E_ALREADY_COMMITTED = MakeHResult(0x8004020F);
inline constexpr HRESULT VFW_E_BUFFERS_OUTSTANDING = MakeHResult(0x80040210);
inline constexpr HRESULT VFW_E_NOT_COMMITTED = MakeHResult(0x80040211);
inline constexpr HRESULT VFW_E_SIZENOTSET = MakeHResult(0x80040212);
inline constexpr HRESULT VFW_E_NO_CLOCK = MakeHResult(0x80040213);
inline constexpr HRESULT VFW_E_NO_SINK = MakeHResult(0x80040214);
inline constexpr HRESULT VFW_E_NO_INTERFACE = MakeHResult(0x80040215);
inline constexpr HRESULT VFW_E_NOT_FOUND = MakeHResult(0x80040216);
inline constexpr HRESULT VFW_E_CANNOT_CONNECT = MakeHResult(0x80040217);
inline constexpr HRESULT VFW_E_CANNOT_RENDER = MakeHResult(0x80040218);
inline constexpr HRESULT VFW_E_NOT_STOPPED = MakeHResult(0x80040224);
inline constexpr HRESULT VFW_E_NOT_PAUSED = MakeHResult(0x80040225);
inline constexpr HRESULT VFW_E_NOT_RUNNING = MakeHResult(0x80040226);
inline constexpr HRESULT VFW_E_WRONG_STATE = MakeHResult(0x80040227);
inline constexpr HRESULT VFW_E_START_TIME_AFTER_END = MakeHResult(0x80040228);
inline constexpr HRESULT VFW_E_TYPE_NOT_ACCEPTED = MakeHResult(0x8004022A);
inline constexpr HRESULT VFW_E_SAMPLE_REJECTED = MakeHResult(0x8004022B);
inline constexpr HRESULT VFW_E_SAMPLE_REJECTED_EOS = MakeHResult(0x8004022C);
inline constexpr HRESULT VFW_E_DUPLICATE_NAME = MakeHResult(0x8004022D);
inline constexpr HRESULT VFW_E_TIMEOUT = MakeHResult(0x8004022E);
inline constexpr HRESULT VFW_E_INVALID_FILE_FORMAT = MakeHResult(0x8004022F);
inline constexpr HRESULT VFW_E_CIRCULAR_GRAPH = MakeHResult(0x80040231);
inline constexpr HRESULT VFW_E_UNKNOWN_FILE_TYPE = MakeHResult(0x80040240);
inline constexpr HRESULT VFW_E_CANNOT_LOAD_SOURCE_FILTER = MakeHResult(0x80040241);
inline constexpr HRESULT VFW_E_FILE_TOO_SHORT = MakeHResult(0x80040243);
inline constexpr HRESULT VFW_E_SAMPLE_TIME_NOT_SET = MakeHResult(0x80040249);
inline constexpr HRESULT VFW_E_NOT_IN_GRAPH = MakeHResult(0x8004025F);
