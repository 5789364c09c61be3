// What the built file shows a host's loader: exactly two exports, no
// dependency beyond the system OpenGL and the C library (and the C++ runtime
// in builds that do not carry it inside), and nothing kept after an unload.
#include <dlfcn.h>
#include <malloc.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

std::string RunCommand(const std::string& command)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return output;
    char buffer[512];
    while (fgets(buffer, sizeof(buffer), pipe))
        output += buffer;
    pclose(pipe);
    return output;
}

std::set<std::string> Words(const std::string& text)
{
    std::set<std::string> words;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            words.insert(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

TEST(PluginFile, ExportsExactlyPlugMainAndSetLogCallback)
{
    const std::string symbols =
        RunCommand("nm -D --defined-only '" ZAO_PLUGIN_PATH "' | awk '{print $3}'");
    EXPECT_EQ(Words(symbols), (std::set<std::string>{"SetLogCallback", "plugMain"})) << symbols;
}

TEST(PluginFile, NeedsOnlyTheSystemOpenGlAndTheRuntime)
{
    const std::string needed =
        RunCommand("objdump -p '" ZAO_PLUGIN_PATH "' | awk '$1 == \"NEEDED\" {print $2}'");
    std::set<std::string> allowed = {"libGL.so.1", "libGLX.so.0", "libOpenGL.so.0", "libc.so.6", "libm.so.6"};
#if defined(ZAO_STATIC_RUNTIME)
    // The unwinder inside asks the C library's loader for frame tables.
    allowed.insert("ld-linux-x86-64.so.2");
#else
    allowed.insert({"libstdc++.so.6", "libgcc_s.so.1"});
#endif
#if defined(ZAO_SANITIZED)
    // A sanitized build (GCC) carries the sanitizer runtimes as libraries of their own.
    allowed.insert({"libasan.so.8", "libubsan.so.1"});
#endif
    const std::set<std::string> libraries = Words(needed);
    EXPECT_FALSE(libraries.empty());
    for (const std::string& library : libraries)
        EXPECT_TRUE(allowed.count(library)) << library << " should not be needed";
}

#if defined(ZAO_STATIC_RUNTIME) && !defined(ZAO_SANITIZED)
// Hosts load a plug-in again for a new set or a rebuild; each load's heap
// must come back at its unload, the C++ runtime's own exception pool inside
// the plug-in included (71 KiB a load otherwise).
TEST(PluginFile, UnloadingGivesBackTheHeapOfTheLoad)
{
    // The OpenGL libraries stay, as in a host that draws with them itself.
    void* gl = dlopen("libGL.so.1", RTLD_NOW | RTLD_GLOBAL);
    ASSERT_NE(gl, nullptr) << dlerror();
    const auto loadAndUnload = [] {
        void* plugin = dlopen(ZAO_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(plugin, nullptr) << dlerror();
        ASSERT_EQ(dlclose(plugin), 0);
    };
    loadAndUnload();  // the loader's own first-use allocations
    constexpr int kLoads = 10;
    const size_t before = mallinfo2().uordblks;
    for (int load = 0; load < kLoads; ++load)
        loadAndUnload();
    const long kept = static_cast<long>(mallinfo2().uordblks) - static_cast<long>(before);
    EXPECT_LT(kept, 1024L * kLoads) << "bytes kept by " << kLoads << " loads";
}
#endif

}  // namespace
