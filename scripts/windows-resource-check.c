/* Reads a Windows program's resources the way Windows does (version.dll and
 * shell32 under Wine): its version information and how many icons it carries.
 * Built and run by scripts/windows-cli-check.sh:
 *     windows-resource-check.exe PROGRAM.exe
 * prints "version <FileVersion> product <ProductName> icons <n> manifest <yes|no>". */
#include <windows.h>

#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>

static const wchar_t* Value(void* info, const wchar_t* name) {
    wchar_t path[128];
    wchar_t* value = NULL;
    UINT size = 0;
    swprintf(path, 128, L"\\StringFileInfo\\041504B0\\%ls", name);
    return VerQueryValueW(info, path, (void**)&value, &size) && size > 0 ? value : L"?";
}

int main(void) {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (args == NULL || count != 2)
        return 2;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(args[1], &ignored);
    void* info = size ? malloc(size) : NULL;
    if (info == NULL || !GetFileVersionInfoW(args[1], 0, size, info))
        return 1;
    const UINT icons = ExtractIconExW(args[1], -1, NULL, NULL, 0);
    HMODULE module = LoadLibraryExW(args[1], NULL, LOAD_LIBRARY_AS_DATAFILE);
    const int manifest = module && FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    printf("version %ls product %ls icons %u manifest %s\n", Value(info, L"FileVersion"),
           Value(info, L"ProductName"), icons, manifest ? "yes" : "no");
    return 0;
}
