#pragma once
// The error side of the C API: the calling thread's last message, and the
// wrapper every entry point runs its work in, so that no C++ exception
// crosses the boundary (out of memory is KXRD4_NO_MEMORY, anything else
// KXRD4_ERROR with its message).

#include <cstring>
#include <functional>
#include <string>

#include "kxrd4/kxrd4.h"

class ApiError {
public:
    // Keeps message as this thread's last error and returns status.
    static kxrd4_status Fail(kxrd4_status status, std::string message);
    // This thread's last message ("" when none).
    static const char* Thread();
    // Runs work; an exception becomes a status and a message.
    static kxrd4_status Guard(const std::function<kxrd4_status()>& work);
    // KXRD4_INVALID_ARGUMENT naming the argument that is NULL.
    static kxrd4_status Null(const char* what);

    // The number a caller passed as an enumeration (a C caller may pass any
    // int; read as the enumeration it would be undefined).
    template <typename Enum> static int Raw(const Enum& value) {
        static_assert(sizeof(Enum) == sizeof(int));
        int raw = 0;
        std::memcpy(&raw, &value, sizeof raw);
        return raw;
    }
};
