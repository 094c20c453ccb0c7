#include "DeviceLock.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

class FlockHold : public DeviceLock {
public:
    explicit FlockHold(int fd) : fd_(fd) {}
    ~FlockHold() override { ::close(fd_); } // closing the descriptor releases the flock

private:
    int fd_;
};

// The process holding a flock on the file of fd, from /proc/locks, whose
// lines read "1: FLOCK  ADVISORY  WRITE 1234 08:02:131 0 EOF" (device numbers
// in hexadecimal, the inode in decimal).
std::string FindHolder(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return {};
    }
    std::ostringstream key;
    key << std::hex;
    key.width(2);
    key.fill('0');
    key << major(info.st_dev) << ':';
    key.width(2);
    key << minor(info.st_dev) << ':' << std::dec << info.st_ino;
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number, kind, advisory, mode, pid, where;
        if (!(fields >> number >> kind)) {
            continue;
        }
        if (kind == "->") { // a waiter, listed under the lock it waits for
            continue;
        }
        if (!(fields >> advisory >> mode >> pid >> where) || kind != "FLOCK" ||
            where != key.str()) {
            continue;
        }
        long id = 0;
        try {
            id = std::stol(pid);
        } catch (...) {
            return {};
        }
        if (id <= 0) {
            return {}; // in another pid namespace
        }
        std::string name;
        std::ifstream comm("/proc/" + pid + "/comm");
        std::getline(comm, name);
        return DeviceLock::HolderName(name, id);
    }
    return {};
}

} // namespace

std::unique_ptr<DeviceLock> DeviceLock::TrySystem(const std::string& path, std::string& holder) {
    holder.clear();
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    }
    if (fd < 0) {
        return Nothing();
    }
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        return std::make_unique<FlockHold>(fd);
    }
    if (errno != EWOULDBLOCK) {
        ::close(fd);
        return Nothing(); // the file system takes no locks
    }
    holder = FindHolder(fd);
    ::close(fd);
    return nullptr;
}
