// Loading a plug-in file as a host does, over the platform's module calls
// (PluginLibraryPosix.cpp, PluginLibraryWindows.cpp).
#include "PluginLibrary.h"

namespace hostkit {

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
    library->handle = OpenModule(loadPath, path, error);
    if (library->handle == nullptr)
        return nullptr;
    library->plugMain = reinterpret_cast<PlugMainFunction>(ModuleSymbol(library->handle, "plugMain"));
    library->setLogCallback =
        reinterpret_cast<SetLogCallbackFunction>(ModuleSymbol(library->handle, "SetLogCallback"));
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
        CloseModule(handle);
    if (!copyPath.empty())
        RemovePrivateCopy(copyPath);
}

}  // namespace hostkit
