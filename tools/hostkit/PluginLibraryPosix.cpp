// The POSIX side of loading a plug-in: dlopen, dlsym and private copies in TMPDIR.
#include "PluginLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>

namespace hostkit {

std::string PluginLibrary::MakePrivateCopy(const std::string& path, std::string* error)
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

void PluginLibrary::RemovePrivateCopy(const std::string& copy)
{
    std::remove(copy.c_str());
}

void* PluginLibrary::OpenModule(const std::string& loadPath, const std::string& path, std::string* error)
{
    void* module = dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr && error) {
        const char* reason = dlerror();
        *error = reason ? reason : ("cannot load " + path);
    }
    return module;
}

void* PluginLibrary::ModuleSymbol(void* module, const char* name)
{
    return dlsym(module, name);
}

void PluginLibrary::CloseModule(void* module)
{
    dlclose(module);
}

}  // namespace hostkit
