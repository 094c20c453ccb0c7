#include "ApiError.h"

#include <new>
#include <stdexcept>

namespace {

thread_local std::string threadMessage;

} // namespace

kxrd4_status ApiError::Fail(kxrd4_status status, std::string message) {
    try {
        threadMessage = std::move(message);
    } catch (const std::bad_alloc&) {
        threadMessage.clear();
        return KXRD4_NO_MEMORY;
    }
    return status;
}

const char* ApiError::Thread() {
    return threadMessage.c_str();
}

kxrd4_status ApiError::Guard(const std::function<kxrd4_status()>& work) {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        threadMessage.clear();
        return KXRD4_NO_MEMORY;
    } catch (const std::exception& e) {
        return Fail(KXRD4_ERROR, std::string("internal error: ") + e.what());
    } catch (...) {
        return Fail(KXRD4_ERROR, "internal error");
    }
}

kxrd4_status ApiError::Null(const char* what) {
    return Fail(KXRD4_INVALID_ARGUMENT, std::string(what) + " is NULL");
}
