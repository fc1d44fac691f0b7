#include "owner_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace corvane::keys {

std::unique_ptr<OwnerLock> OwnerLock::Acquire(const std::string& database_path, std::string* error) {
    const std::string path = database_path + ".lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        *error = "cannot open the key database lock: " + std::string(std::strerror(errno));
        return nullptr;
    }
    std::unique_ptr<OwnerLock> lock(new OwnerLock(fd));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        *error = errno == EWOULDBLOCK ? "the key database is in use by another process"
                                      : "cannot lock the key database: " + std::string(std::strerror(errno));
        return nullptr;
    }
    return lock;
}

OwnerLock::~OwnerLock() { ::close(fd_); }

}  // namespace corvane::keys
