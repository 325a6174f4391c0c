#include "platform/process/instance_lock.h"

#include "platform/process/user_dirs.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace qv {

InstanceLock::InstanceLock(const std::string& name)
{
    path_ = userRuntimeDir() / (name + ".lock");
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0)
        return;
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

InstanceLock::~InstanceLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace qv
