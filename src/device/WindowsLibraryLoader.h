#pragma once
// Loads a system library and resolves its entry points by name. The Windows
// HID back end goes through it, so tests can hand in a loader that misses a
// library or an entry point, or supplies entry points of its own.

class WindowsLibraryLoader {
public:
    virtual ~WindowsLibraryLoader() = default;
    // The library from the system folder only (no search of the program's or
    // the current folder), without the system's error box for a missing file;
    // nullptr on failure.
    virtual void* Load(const char* name);
    // The entry point, or nullptr.
    virtual void* Resolve(void* library, const char* entryPoint);
    virtual void Unload(void* library);
};
