#include "CrashGuard.h"

#include <atomic>
#include <cstring>

#include "RecoveryFile.h"

namespace {

struct Record {
    char data[RecoveryFile::MaxFileSize];
    std::size_t size;
};

Record records[2];
// The index of the complete record, or -1 for none.
std::atomic<int> published{-1};
static_assert(std::atomic<int>::is_always_lock_free);

} // namespace

bool CrashGuard::Install(const std::string& path) {
    return OpenAndInstall(path);
}

void CrashGuard::Update(const std::string& fileName, const std::uint8_t* set) {
    const std::string data = RecoveryFile::Encode(fileName, set);
    const int next = published.load() == 0 ? 1 : 0;
    std::memcpy(records[next].data, data.data(), data.size());
    records[next].size = data.size();
    published.store(next);
}

void CrashGuard::Clear() {
    published.store(-1);
}

void CrashGuard::Uninstall() {
    Clear();
    CloseAndRemove();
}

const char* CrashGuard::RecordData(std::size_t& size) {
    const int index = published.load();
    if (index < 0) {
        size = 0;
        return nullptr;
    }
    size = records[index].size;
    return records[index].data;
}
