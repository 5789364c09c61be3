// The Windows side of loading a plug-in: LoadLibrary, GetProcAddress and
// private copies in the temporary folder.
#include "PluginLibrary.h"

#include <windows.h>

namespace hostkit {

// A uniquely named copy, so that each load gets fresh library-wide state.
std::string PluginLibrary::MakePrivateCopy(const std::string& path, std::string* error)
{
    static unsigned counter = 0;
    char directory[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH, directory);
    const std::string base = length > 0 && length <= MAX_PATH ? std::string(directory, length) : std::string(".\\");
    const std::string copy = base + "hostkit-plugin-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(counter++) + ".dll";
    if (!CopyFileA(path.c_str(), copy.c_str(), FALSE)) {
        if (error)
            *error = "cannot copy " + path + " to " + copy + " (Windows error " + std::to_string(GetLastError()) + ")";
        return {};
    }
    return copy;
}

void PluginLibrary::RemovePrivateCopy(const std::string& copy)
{
    DeleteFileA(copy.c_str());
}

void* PluginLibrary::OpenModule(const std::string& loadPath, const std::string& path, std::string* error)
{
    HMODULE module = LoadLibraryA(loadPath.c_str());
    if (module == nullptr && error)
        *error = "cannot load " + path + " (Windows error " + std::to_string(GetLastError()) + ")";
    return module;
}

// FARPROC to a data pointer through the generic function type, which GCC accepts without a cast warning.
void* PluginLibrary::ModuleSymbol(void* module, const char* name)
{
    return reinterpret_cast<void*>(reinterpret_cast<void (*)()>(GetProcAddress(static_cast<HMODULE>(module), name)));
}

void PluginLibrary::CloseModule(void* module)
{
    FreeLibrary(static_cast<HMODULE>(module));
}

}  // namespace hostkit
