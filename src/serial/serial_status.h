#pragma once
// Result codes of the serial link. Every operation returns a Status: 0 for
// success, a positive system error code, or E_INVALIDARG for a mode argument
// outside its set. The numbers are the serial layer's established codes; the
// Linux errno values a system call reports are translated into them by
// StatusFromErrno, in one table:
//
//   errno                              code        name
//   ---------------------------------  ----------  ----------------------------
//   ENOENT, ENODEV, ENXIO              2           ERROR_FILE_NOT_FOUND
//     (EIO from open() itself: the node exists but no device answers, also 2)
//   ENOTDIR                            3           ERROR_PATH_NOT_FOUND
//   EMFILE, ENFILE                     4           ERROR_TOO_MANY_OPEN_FILES
//   EACCES, EPERM, EBUSY               5           ERROR_ACCESS_DENIED
//     (a refused flock(), EWOULDBLOCK, is reported as EBUSY: another opener
//      holds the port)
//   EBADF                              6           ERROR_INVALID_HANDLE
//   ENOMEM                             8           ERROR_NOT_ENOUGH_MEMORY
//   ENOTTY, ENOSYS, EOPNOTSUPP         1           ERROR_INVALID_FUNCTION
//   EINVAL                             87          ERROR_INVALID_PARAMETER
//   ENAMETOOLONG                       206         ERROR_FILENAME_EXCED_RANGE
//   ECANCELED                          995         ERROR_OPERATION_ABORTED
//   EIO                                1117        ERROR_IO_DEVICE
//   EAGAIN (resources, not I/O)        1450        ERROR_NO_SYSTEM_RESOURCES
//   ETIMEDOUT                          1460        ERROR_TIMEOUT
//   ECONNREFUSED                       1225        ERROR_CONNECTION_REFUSED
//   ENETUNREACH                        1231        ERROR_NETWORK_UNREACHABLE
//   EHOSTUNREACH                       1232        ERROR_HOST_UNREACHABLE
//   anything else                      0x20000000 | errno  (kErrnoStatusBase)
//
// Codes the link produces itself, without an errno: 6 for any operation on a
// closed port and for a background transfer or wait that Close ended, 1247 for
// opening an open port, 1460 when a synchronous wait, read or write runs out
// of time, 1117 when the device has hung up (unplugged, or the far end of a
// pseudo-terminal closed), 87 for a null buffer, a second event wait while one
// is armed or a completion record that is still in use, 995 for an event wait
// its own thread withdrew, 996 from GetResult while the operation still runs,
// and E_INVALIDARG for a flow-control or read mode outside its set. Reads and writes treat EAGAIN as "nothing
// more for now" before any translation, so EAGAIN reaches the table only from thread creation.
//
// A port name that stands for a network source (net_address.h) adds: 123 for
// an address that is not valid, 53 for a host name that cannot be found, 1460
// when the connection or gpsd's answer does not come in time, 55 when gpsd
// has no such device, 58 when the far end does not answer as gpsd does, and
// 50 for a write to a gpsd source, which takes none. A connection that is
// lost (closed or reset by the far end, or dead to keep-alive probes) is a
// hang-up like an unplugged device: 1117.

#include <cstdint>

namespace serial {

using Status = std::int32_t;

inline constexpr Status ERROR_SUCCESS = 0;
inline constexpr Status ERROR_INVALID_FUNCTION = 1;
inline constexpr Status ERROR_FILE_NOT_FOUND = 2;
inline constexpr Status ERROR_PATH_NOT_FOUND = 3;
inline constexpr Status ERROR_TOO_MANY_OPEN_FILES = 4;
inline constexpr Status ERROR_ACCESS_DENIED = 5;
inline constexpr Status ERROR_INVALID_HANDLE = 6;
inline constexpr Status ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr Status ERROR_NOT_SUPPORTED = 50;
inline constexpr Status ERROR_BAD_NETPATH = 53;
inline constexpr Status ERROR_DEV_NOT_EXIST = 55;
inline constexpr Status ERROR_BAD_NET_RESP = 58;
inline constexpr Status ERROR_INVALID_PARAMETER = 87;
inline constexpr Status ERROR_INVALID_NAME = 123;
inline constexpr Status ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr Status ERROR_OPERATION_ABORTED = 995;
inline constexpr Status ERROR_IO_INCOMPLETE = 996;
inline constexpr Status ERROR_IO_PENDING = 997;
inline constexpr Status ERROR_IO_DEVICE = 1117;
inline constexpr Status ERROR_CONNECTION_REFUSED = 1225;
inline constexpr Status ERROR_NETWORK_UNREACHABLE = 1231;
inline constexpr Status ERROR_HOST_UNREACHABLE = 1232;
inline constexpr Status ERROR_ALREADY_INITIALIZED = 1247;
inline constexpr Status ERROR_NO_SYSTEM_RESOURCES = 1450;
inline constexpr Status ERROR_TIMEOUT = 1460;
inline constexpr Status E_INVALIDARG = static_cast<Status>(0x80070057u);

// Unlisted errno values keep their number above this bit, clear of every
// code in the table.
inline constexpr Status kErrnoStatusBase = 0x20000000;

// Translates an errno value (non-zero) into the link's status code.
Status StatusFromErrno(int err);

}  // namespace serial
