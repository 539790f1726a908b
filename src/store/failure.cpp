#include "failure.h"

#include <cerrno>
#include <cstring>

namespace {

Fault faultOf(int error) {
    switch (error) {
    case ENOENT:
        return Fault::Missing;
    case ENOTDIR:
        return Fault::NotAFolder;
    case EACCES:
    case EPERM:
        return Fault::Denied;
    case EEXIST:
    case ENOTEMPTY:
        return Fault::Exists;
    case EROFS:
        return Fault::ReadOnly;
    case ENOSPC:
    case EDQUOT:
        return Fault::DiskFull;
    case ENAMETOOLONG:
        return Fault::NameTooLong;
    case EBUSY:
    case ETXTBSY:
        return Fault::InUse;
    case EIO:
        return Fault::IoError;
    default:
        return Fault::SystemError;
    }
}

} // namespace

Failure failureOfErrno(int error, const QString& subject) {
    const Fault fault = faultOf(error);
    return {fault, subject,
            fault == Fault::SystemError ? QString::fromLocal8Bit(std::strerror(error)) : QString()};
}
