#include "WindowsLibraryLoader.h"

#include <windows.h>

void* WindowsLibraryLoader::Load(const char* name) {
    DWORD previousMode = 0;
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    HMODULE module = ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetThreadErrorMode(previousMode, nullptr);
    return reinterpret_cast<void*>(module);
}

void* WindowsLibraryLoader::Resolve(void* library, const char* entryPoint) {
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library), entryPoint));
}

void WindowsLibraryLoader::Unload(void* library) {
    if (library != nullptr) {
        ::FreeLibrary(static_cast<HMODULE>(library));
    }
}
