#include "pipeline/failure_cause.h"

#include <cerrno>
#include <gtest/gtest.h>

#include "components/component_interfaces.h"
#include "platform/net/http_stream.h"
#include "tests/app/qstring_printer.h"

namespace {

// The codes the writers, readers and the network give, as the system's
// errors reach them, each with the sentence a user reads.
TEST(FailureCause, SaysWhyInOneSentenceForWhatAUserCanActOn)
{
    struct Case {
        HRESULT failure;
        const char* sentence;
    };
    const Case cases[] = {
        {HResultFromErrno(ENOSPC), "The target drive is full."},
        {HResultFromErrno(EDQUOT), "The target drive is full."},
        {HResultFromErrno(EACCES), "The program may not write to the target folder."},
        {HResultFromErrno(EROFS), "The program may not write to the target folder."},
        {HResultFromErrno(ENOENT), "The source file or the target folder is no longer there."},
        {VFW_E_INVALID_FILE_FORMAT, "The source is unreadable or damaged."},
        {VFW_E_NO_ACCEPTABLE_TYPES, "The source holds a stream that the program cannot decode."},
        {HRESULT_FROM_WIN32(ERROR_TIMEOUT), "The connection was lost or timed out."},
        {HResultFromErrno(EIO), "The target drive could not be written to."},
        {VFW_E_TIMEOUT, "The conversion stopped making progress."},
        {E_ABORT, "The conversion was stopped before its end."},
        {MUX_E_PENDING_OVERFLOW, "The source is unreadable or damaged."},
        {HTTP_E_CANNOT_READ_BACK, "The server cannot send the video in the order the program must read it."},
        {VFW_E_COPYPROT_FAILED, "This disc is copy-protected; the program cannot read it."},
        {E_FAIL, ""},
        {S_OK, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FailureCause(c.failure), QString::fromLatin1(c.sentence)) << std::hex << c.failure;
}

}  // namespace
