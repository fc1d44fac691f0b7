// One process owns a key database at a time: quotas are counted in the owner's
// memory, so a second process on the same file would split every quota in two.
// The lock is an flock() on a file beside the database, which the kernel drops
// when the owner dies, even by SIGKILL.
#pragma once

#include <memory>
#include <string>

namespace corvane::keys {

class OwnerLock {
public:
    // The lock, or null with *error set when another process holds it.
    static std::unique_ptr<OwnerLock> Acquire(const std::string& database_path, std::string* error);
    ~OwnerLock();
    OwnerLock(const OwnerLock&) = delete;
    OwnerLock& operator=(const OwnerLock&) = delete;

private:
    explicit OwnerLock(int fd) : fd_(fd) {}
    int fd_;
};

}  // namespace corvane::keys
