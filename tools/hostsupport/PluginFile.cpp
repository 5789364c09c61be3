// Reads the file's header and program headers by their ELF layout; the
// segments the loader maps and the section table (the end of a linked file)
// must lie within the file.
#include "PluginFile.h"

#include <elf.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "HostError.h"

namespace hostsupport {

namespace {

#if defined(__x86_64__)
constexpr uint16_t kOwnMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr uint16_t kOwnMachine = EM_AARCH64;
#else
#error "name this machine's ELF machine number"
#endif

std::string MachineName(uint16_t machine)
{
    switch (machine) {
    case EM_X86_64: return "x86-64";
    case EM_AARCH64: return "arm64";
    case EM_386: return "32-bit x86";
    case EM_ARM: return "32-bit ARM";
    case EM_RISCV: return "RISC-V";
    case EM_PPC64: return "POWER";
    default: return "machine " + std::to_string(machine);
    }
}

bool StartsWith(const std::vector<char>& bytes, const char* magic, size_t length)
{
    return bytes.size() >= length && std::memcmp(bytes.data(), magic, length) == 0;
}

uint32_t Word(const std::vector<char>& bytes, size_t at)
{
    uint32_t value = 0;
    if (at + 4 <= bytes.size())
        std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

// What a file that is no ELF library is, by its first bytes.
std::string ForeignFile(const std::vector<char>& head)
{
    if (StartsWith(head, "MZ", 2)) {
        // The PE header's characteristics say DLL or program.
        const uint32_t pe = Word(head, 0x3c);
        if (pe + 24 <= head.size() && std::memcmp(head.data() + pe, "PE\0\0", 4) == 0) {
            uint16_t characteristics = 0;
            std::memcpy(&characteristics, head.data() + pe + 22, 2);
            return characteristics & 0x2000 ? "a Windows DLL, not a library for Linux"
                                            : "a Windows program, not a library for Linux";
        }
        return "a Windows file, not a library for Linux";
    }
    const uint32_t magic = Word(head, 0);
    if (magic == 0xfeedfacfu || magic == 0xfeedfaceu || magic == 0xcefaedfeu || magic == 0xcffaedfeu)
        return "a macOS library (Mach-O), not one for Linux";
    if (magic == 0xbebafecau)  // 0xcafebabe stored big-endian: a universal binary
        return "a macOS universal binary (Mach-O), not a library for Linux";
    return "not a shared library (it does not start with an ELF header)";
}

std::string CutShort(uint64_t size, uint64_t needed)
{
    return "cut short: " + GroupedNumber(size) + " of " + GroupedNumber(needed) + " bytes";
}

std::string ElfProblem(std::ifstream& in, uint64_t size, const std::vector<char>& head)
{
    if (head.size() < EI_NIDENT || head[EI_CLASS] != ELFCLASS64)
        return head.size() > EI_CLASS && head[EI_CLASS] == ELFCLASS32 ? "a 32-bit library, not a 64-bit one"
                                                                       : CutShort(size, sizeof(Elf64_Ehdr));
    if (head.size() < sizeof(Elf64_Ehdr))
        return CutShort(size, sizeof(Elf64_Ehdr));
    Elf64_Ehdr header;
    std::memcpy(&header, head.data(), sizeof header);
    if (header.e_ident[EI_DATA] != ELFDATA2LSB)
        return "a big-endian library, not one for this machine";
    if (header.e_machine != kOwnMachine)
        return "built for " + MachineName(header.e_machine) + ", not " + MachineName(kOwnMachine);
    if (header.e_type != ET_DYN)
        return header.e_type == ET_EXEC ? "a program, not a shared library" : "not a shared library";
    // A linked file ends with its section table; the loader maps the segments.
    uint64_t needed = header.e_shoff + uint64_t{header.e_shnum} * header.e_shentsize;
    const uint64_t tableEnd = header.e_phoff + uint64_t{header.e_phnum} * header.e_phentsize;
    if (header.e_phentsize != sizeof(Elf64_Phdr) || tableEnd > size)
        return CutShort(size, std::max(needed, tableEnd));
    std::vector<Elf64_Phdr> segments(header.e_phnum);
    in.seekg(static_cast<std::streamoff>(header.e_phoff));
    in.read(reinterpret_cast<char*>(segments.data()), static_cast<std::streamsize>(tableEnd - header.e_phoff));
    if (!in)
        return CutShort(size, std::max(needed, tableEnd));
    for (const Elf64_Phdr& segment : segments) {
        // Only a program names the program interpreter (a position-independent one is ET_DYN too).
        if (segment.p_type == PT_INTERP)
            return "a program, not a shared library";
        if (segment.p_type == PT_LOAD || segment.p_type == PT_DYNAMIC)
            needed = std::max(needed, segment.p_offset + segment.p_filesz);
    }
    return needed > size ? CutShort(size, needed) : std::string();
}

}  // namespace

std::string PluginFilePath(const std::string& given)
{
    return given.find('/') == std::string::npos ? "./" + given : given;
}

std::string GroupedNumber(uint64_t number)
{
    std::string digits = std::to_string(number);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

std::string PluginFileProblem(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::strerror(errno);
    in.seekg(0, std::ios::end);
    const uint64_t size = static_cast<uint64_t>(in.tellg());
    in.seekg(0);
    if (size == 0)
        return "an empty file";
    std::vector<char> head(static_cast<size_t>(std::min<uint64_t>(size, 4096)));
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    if (!StartsWith(head, ELFMAG, SELFMAG))
        return ForeignFile(head);
    return ElfProblem(in, size, head);
}

void RequirePluginFile(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        throw HostError("cannot open the plug-in " + path + ": no such file");
    if (std::filesystem::is_directory(path, error))
        throw HostError("cannot open the plug-in " + path + ": it is a folder");
    const std::string problem = PluginFileProblem(path);
    if (!problem.empty())
        throw HostError("cannot open the plug-in " + path + ": " + problem);
}

}  // namespace hostsupport
