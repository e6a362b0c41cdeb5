#include "pipeline/failure_cause.h"

#include "components/component_interfaces.h"
#include "platform/net/http_stream.h"
#include "platform/net/http_transfer.h"

namespace {

struct Cause {
    HRESULT failure;
    const char* sentence;
};

constexpr const char* kDiskFull = "The target drive is full.";
constexpr const char* kNoPermission = "The program may not write to the target folder.";
constexpr const char* kGone = "The source file or the target folder is no longer there.";
constexpr const char* kDamaged = "The source is unreadable or damaged.";
constexpr const char* kNotDecodable = "The source holds a stream that the program cannot decode.";
constexpr const char* kConnection = "The connection was lost or timed out.";
constexpr const char* kWriteFault = "The target drive could not be written to.";
constexpr const char* kStalled = "The conversion stopped making progress.";
constexpr const char* kCutShort = "The conversion was stopped before its end.";
constexpr const char* kUnseekableServer = "The server cannot send the video in the order the program must read it.";
constexpr const char* kCopyProtected = "This disc is copy-protected; the program cannot read it.";

constexpr Cause kCauses[] = {
    {HRESULT_FROM_WIN32(ERROR_DISK_FULL), kDiskFull},
    {E_ACCESSDENIED, kNoPermission},
    {HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), kNoPermission},
    {HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), kGone},
    {HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), kGone},
    {VFW_E_INVALID_FILE_FORMAT, kDamaged},
    {VFW_E_UNKNOWN_FILE_TYPE, kDamaged},
    {VFW_E_FILE_TOO_SHORT, kDamaged},
    {MUX_E_PENDING_OVERFLOW, kDamaged},
    {HRESULT_FROM_WIN32(ERROR_READ_FAULT), kDamaged},
    {HRESULT_FROM_WIN32(ERROR_HANDLE_EOF), kDamaged},
    {VFW_E_NO_ACCEPTABLE_TYPES, kNotDecodable},
    {VFW_E_CANNOT_CONNECT, kNotDecodable},
    {VFW_E_CANNOT_RENDER, kNotDecodable},
    {VFW_E_TYPE_NOT_ACCEPTED, kNotDecodable},
    {VFW_E_INVALIDMEDIATYPE, kNotDecodable},
    {REGDB_E_CLASSNOTREG, kNotDecodable},
    {HRESULT_FROM_WIN32(ERROR_TIMEOUT), kConnection},
    {VFW_E_TIMEOUT, kStalled},
    {E_ABORT, kCutShort},
    {HTTP_E_CONNECTION_REFUSED, kConnection},
    {HTTP_E_HOST_UNREACHABLE, kConnection},
    {HTTP_E_CANNOT_READ_BACK, kUnseekableServer},
    {HRESULT_FROM_WIN32(ERROR_WRITE_FAULT), kWriteFault},
    {VFW_E_COPYPROT_FAILED, kCopyProtected},
};

}  // namespace

QString FailureCause(HRESULT failure)
{
    for (const Cause& cause : kCauses) {
        if (cause.failure == failure)
            return QString::fromLatin1(cause.sentence);
    }
    return {};
}
