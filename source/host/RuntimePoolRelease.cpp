// Linked into the Linux plug-in only when it carries its own GNU C++ runtime.
// That private runtime allocates an emergency pool for exceptions thrown when
// memory is short (about 71 KiB) at load and never frees it, so every unload
// would leave it behind: a host that reloads the plug-in for each new set or
// rebuild would grow by that much each time. The runtime's own release
// function hands it back when the library's statics are destroyed, at unload
// or exit, after the last call a host can make.
#include <cstddef>

#if !defined(__GLIBCXX__)
#error "the exception pool released here is the GNU C++ runtime's"
#endif

namespace __gnu_cxx {
void __freeres() noexcept;  // libstdc++'s, declared in no header
}

namespace {

struct RuntimePoolRelease {
    ~RuntimePoolRelease() { __gnu_cxx::__freeres(); }
} runtimePoolRelease;

}  // namespace
