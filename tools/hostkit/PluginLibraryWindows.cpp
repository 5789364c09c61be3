// Windows: LoadLibrary of the plug-in DLL (or of a private copy) and the raw
// calls into it; the same interface as the dlopen version in PluginLibrary.cpp.
#include "PluginLibrary.h"

#include <windows.h>

namespace hostkit {

namespace {

// A uniquely named copy, so that each load gets fresh library-wide state.
std::string MakePrivateCopy(const std::string& path, std::string* error)
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

// FARPROC to a typed pointer through the generic function type, which GCC accepts without a cast warning.
template <typename Function> Function ProcAs(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

std::unique_ptr<PluginLibrary> PluginLibrary::Load(const std::string& path, bool privateCopy, std::string* error)
{
    std::unique_ptr<PluginLibrary> library(new PluginLibrary());
    std::string loadPath = path;
    if (privateCopy) {
        library->copyPath = MakePrivateCopy(path, error);
        if (library->copyPath.empty())
            return nullptr;
        loadPath = library->copyPath;
    }
    HMODULE module = LoadLibraryA(loadPath.c_str());
    if (module == nullptr) {
        if (error)
            *error = "cannot load " + path + " (Windows error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    library->handle = module;
    library->plugMain = ProcAs<PlugMainFunction>(module, "plugMain");
    library->setLogCallback = ProcAs<SetLogCallbackFunction>(module, "SetLogCallback");
    if (library->plugMain == nullptr) {
        if (error)
            *error = path + " does not export plugMain: not an FFGL plug-in";
        return nullptr;
    }
    return library;
}

PluginLibrary::~PluginLibrary()
{
    if (handle != nullptr)
        FreeLibrary(static_cast<HMODULE>(handle));
    if (!copyPath.empty())
        DeleteFileA(copyPath.c_str());
}

}  // namespace hostkit
