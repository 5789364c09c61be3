// dlopen of the plug-in (or of a private copy) and the raw calls into it.
#include "PluginLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>

namespace hostkit {

namespace {

std::string MakePrivateCopy(const std::string& path, std::string* error)
{
    static std::atomic<unsigned> counter{0};
    const char* tmp = getenv("TMPDIR");
    std::string directory = tmp && *tmp ? tmp : "/tmp";
    const std::string copy = directory + "/hostkit-plugin-" + std::to_string(getpid()) + "-" +
                             std::to_string(counter++) + ".so";
    std::ifstream in(path, std::ios::binary);
    std::ofstream out(copy, std::ios::binary | std::ios::trunc);
    if (!in || !out) {
        if (error)
            *error = "cannot copy " + path + " to " + copy;
        return {};
    }
    out << in.rdbuf();
    out.close();
    if (!out) {
        if (error)
            *error = "cannot write " + copy;
        std::remove(copy.c_str());
        return {};
    }
    return copy;
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
    library->handle = dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library->handle == nullptr) {
        if (error) {
            const char* reason = dlerror();
            *error = reason ? reason : ("cannot load " + path);
        }
        return nullptr;
    }
    library->plugMain = reinterpret_cast<PlugMainFunction>(dlsym(library->handle, "plugMain"));
    library->setLogCallback = reinterpret_cast<SetLogCallbackFunction>(dlsym(library->handle, "SetLogCallback"));
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
        dlclose(handle);
    if (!copyPath.empty())
        std::remove(copyPath.c_str());
}

}  // namespace hostkit
