#include "platform/com/hresult.h"

#include <cerrno>

HRESULT HResultFromErrno(int error)
{
    switch (error) {
    case 0: return S_OK;
    case ENOENT: return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    case ENOTDIR: return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    case EACCES:
    case EPERM:
    case EROFS: return E_ACCESSDENIED;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return HRESULT_FROM_WIN32(ERROR_DISK_FULL);
    case ENAMETOOLONG: return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    case ENXIO:
    case ENODEV: return HRESULT_FROM_WIN32(ERROR_DEV_NOT_EXIST);
    case EIO: return HRESULT_FROM_WIN32(ERROR_WRITE_FAULT);
    case ENOMEM: return E_OUTOFMEMORY;
    case EINVAL: return E_INVALIDARG;
    default: return E_FAIL;
    }
}
