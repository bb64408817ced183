#include "serial/serial_status.h"

#include <cerrno>

namespace serial {

Status StatusFromErrno(int err) {
  switch (err) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case EACCES:
    case EPERM:
    case EBUSY:
      return ERROR_ACCESS_DENIED;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case ENOTTY:
    case ENOSYS:
    case EOPNOTSUPP:
      return ERROR_INVALID_FUNCTION;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case ECANCELED:
      return ERROR_OPERATION_ABORTED;
    case EIO:
      return ERROR_IO_DEVICE;
    case EAGAIN:
      return ERROR_NO_SYSTEM_RESOURCES;
    case ETIMEDOUT:
      return ERROR_TIMEOUT;
    case ECONNREFUSED:
      return ERROR_CONNECTION_REFUSED;
    case ENETUNREACH:
      return ERROR_NETWORK_UNREACHABLE;
    case EHOSTUNREACH:
      return ERROR_HOST_UNREACHABLE;
    default:
      return err > 0 && err < kErrnoStatusBase ? kErrnoStatusBase | err : kErrnoStatusBase;
  }
}

}  // namespace serial
