// Loads an FFGL plug-in file the way a host does and calls its two exports.
// A private copy can be loaded instead of the file itself, so that every
// PluginLibrary starts with fresh library-wide state (prototype, loader flags).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace hostkit {

// Told before and after every plugMain call made through a PluginLibrary,
// so that a host can check what each call left in its GL context.
class CallObserver {
public:
    virtual void BeforeCall(uint32_t code) = 0;
    virtual void AfterCall(uint32_t code) = 0;

protected:
    ~CallObserver() = default;
};

class PluginLibrary {
public:
    using LogFunction = void (*)(const char*);

    // Null with a reason in error when the file cannot be loaded or lacks plugMain.
    static std::unique_ptr<PluginLibrary> Load(const std::string& path, bool privateCopy, std::string* error);
    ~PluginLibrary();

    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // plugMain(code, 64-bit input, instance) with the whole 64-bit answer.
    uint64_t Call(uint32_t code, uint64_t input = 0, void* instance = nullptr) const
    {
        if (observer == nullptr)
            return plugMain(code, input, instance);
        observer->BeforeCall(code);
        const uint64_t answer = plugMain(code, input, instance);
        observer->AfterCall(code);
        return answer;
    }
    uint64_t CallPointer(uint32_t code, const void* input, void* instance = nullptr) const
    {
        return Call(code, reinterpret_cast<uintptr_t>(input), instance);
    }
    // The low 32 bits, where the answer is a number.
    uint32_t Call32(uint32_t code, uint64_t input = 0, void* instance = nullptr) const
    {
        return static_cast<uint32_t>(Call(code, input, instance));
    }
    // An address inside the loaded module, to tell its code from others'.
    const void* EntryAddress() const { return reinterpret_cast<const void*>(plugMain); }
    bool HasSetLogCallback() const { return setLogCallback != nullptr; }
    void SetLogCallback(LogFunction function) const
    {
        if (setLogCallback != nullptr)
            setLogCallback(function);
    }
    // One observer at a time (null for none); not owned.
    void Observe(CallObserver* callObserver) const { observer = callObserver; }

private:
    PluginLibrary() = default;

    // The platform's side: PluginLibraryPosix.cpp or PluginLibraryWindows.cpp.
    static std::string MakePrivateCopy(const std::string& path, std::string* error);
    static void RemovePrivateCopy(const std::string& copy);
    static void* OpenModule(const std::string& loadPath, const std::string& path, std::string* error);
    static void* ModuleSymbol(void* module, const char* name);
    static void CloseModule(void* module);

    using PlugMainFunction = uint64_t (*)(uint32_t, uint64_t, void*);
    using SetLogCallbackFunction = void (*)(LogFunction);

    void* handle = nullptr;
    PlugMainFunction plugMain = nullptr;
    SetLogCallbackFunction setLogCallback = nullptr;
    std::string copyPath;
    mutable CallObserver* observer = nullptr;
};

}  // namespace hostkit
