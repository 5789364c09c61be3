#!/usr/bin/env python3
"""Checks a macOS plug-in bundle without a Mac, with Python's standard library only.

For each slice of the universal binary: an MH_BUNDLE of the slice's CPU with
the expected minimum macOS, exporting exactly the expected symbols, loading
exactly the expected libraries, each imported symbol exported by the library
that the two-level namespace names (as its .tbd stub lists it), and an ad-hoc
code signature whose page hashes match the file. Then Info.plist.

    CheckMachO.py BUNDLE --libsystem TBD --opengl TBD --version 3.0
    CheckMachO.py --self-test BUNDLE --libsystem TBD --opengl TBD --version 3.0

Prints one line per slice with its facts and one line per failure; exits 1 on
any failure. --self-test checks BUNDLE, then copies of it each corrupted in one
way, which must fail for that reason.
"""

import argparse
import hashlib
import os
import plistlib
import re
import shutil
import struct
import sys
import tempfile
import xml.parsers.expat

# The slices the universal binary must hold: CPU type -> (name, minimum macOS,
# the CPU's page size as a power of two, which the slice's offset must be
# aligned to for the kernel to map it).
CPU_X86_64 = 0x01000007
CPU_ARM64 = 0x0100000C
EXPECTED_SLICES = {CPU_X86_64: ("x86_64", (10, 15), 12), CPU_ARM64: ("arm64", (11, 0), 14)}
EXPECTED_EXPORTS = {"_plugMain", "_SetLogCallback"}
LIBSYSTEM = "/usr/lib/libSystem.B.dylib"
OPENGL = "/System/Library/Frameworks/OpenGL.framework/Versions/A/OpenGL"

FAT_MAGIC = 0xCAFEBABE
MH_MAGIC_64 = 0xFEEDFACF
MH_BUNDLE = 8
MH_TWOLEVEL = 0x80
LC_REQ_DYLD = 0x80000000
LC_SYMTAB = 0x2
LC_LOAD_DYLIB = 0xC
LC_CODE_SIGNATURE = 0x1D
LC_LAZY_LOAD_DYLIB = 0x20
LC_VERSION_MIN_MACOSX = 0x24
LC_BUILD_VERSION = 0x32
LC_LOAD_WEAK_DYLIB = 0x18 | LC_REQ_DYLD
LC_REEXPORT_DYLIB = 0x1F | LC_REQ_DYLD
LC_DYLD_INFO_ONLY = 0x22 | LC_REQ_DYLD
LC_LOAD_UPWARD_DYLIB = 0x23 | LC_REQ_DYLD
LC_DYLD_EXPORTS_TRIE = 0x33 | LC_REQ_DYLD
DYLIB_COMMANDS = {LC_LOAD_DYLIB, LC_LOAD_WEAK_DYLIB, LC_REEXPORT_DYLIB, LC_LAZY_LOAD_DYLIB, LC_LOAD_UPWARD_DYLIB}
PLATFORM_MACOS = 1
N_STAB = 0xE0
N_TYPE = 0x0E
N_EXT = 0x01
N_UNDF = 0x0
# Code signature blobs are big-endian, whatever the CPU.
CSMAGIC_EMBEDDED_SIGNATURE = 0xFADE0CC0
CSMAGIC_CODEDIRECTORY = 0xFADE0C02
CS_ADHOC = 0x2
CS_HASHTYPE_SHA256 = 2


class Slice:
    """One architecture's Mach-O image: its bytes and what the checks read from it."""

    def __init__(self, data):
        self.data = data
        magic, self.cpu, _, self.fileType, ncmds, _, self.flags, _ = struct.unpack_from("<8I", data, 0)
        if magic != MH_MAGIC_64:
            raise ValueError("not a 64-bit little-endian Mach-O image (magic %#x)" % magic)
        self.minimumOs = None
        self.libraries = []
        self.symtab = None
        self.exportTrie = None
        self.signature = None
        offset = 32
        for _ in range(ncmds):
            cmd, size = struct.unpack_from("<2I", data, offset)
            self._ReadCommand(cmd, offset)
            offset += size

    def _ReadCommand(self, cmd, offset):
        data = self.data
        if cmd == LC_BUILD_VERSION:
            platform, minos = struct.unpack_from("<2I", data, offset + 8)
            if platform == PLATFORM_MACOS:
                self.minimumOs = (minos >> 16, (minos >> 8) & 0xFF)
        elif cmd == LC_VERSION_MIN_MACOSX:
            (version,) = struct.unpack_from("<I", data, offset + 8)
            self.minimumOs = (version >> 16, (version >> 8) & 0xFF)
        elif cmd in DYLIB_COMMANDS:
            (nameOffset,) = struct.unpack_from("<I", data, offset + 8)
            self.libraries.append(CString(data, offset + nameOffset))
        elif cmd == LC_SYMTAB:
            self.symtab = struct.unpack_from("<4I", data, offset + 8)
        elif cmd == LC_DYLD_INFO_ONLY:
            self.exportTrie = struct.unpack_from("<2I", data, offset + 40)
        elif cmd == LC_DYLD_EXPORTS_TRIE:
            self.exportTrie = struct.unpack_from("<2I", data, offset + 8)
        elif cmd == LC_CODE_SIGNATURE:
            self.signature = struct.unpack_from("<2I", data, offset + 8)

    def Exports(self):
        if not self.exportTrie or self.exportTrie[1] == 0:
            return set()
        start, size = self.exportTrie
        return set(WalkExportTrie(self.data[start:start + size]))

    def Imports(self):
        """(symbol, library install name or a reason) of each undefined external symbol."""
        if not self.symtab:
            return []
        symoff, nsyms, stroff, _ = self.symtab
        imports = []
        for index in range(nsyms):
            strx, nType, _, desc, _ = struct.unpack_from("<IBBHQ", self.data, symoff + 16 * index)
            if nType & N_STAB or not nType & N_EXT or (nType & N_TYPE) != N_UNDF:
                continue
            ordinal = desc >> 8
            if 1 <= ordinal <= len(self.libraries):
                library = self.libraries[ordinal - 1]
            else:
                library = "ordinal %d (no library of its own: flat or dynamic lookup)" % ordinal
            imports.append((CString(self.data, stroff + strx), library))
        return imports


def CString(data, offset):
    end = data.index(b"\0", offset)
    return data[offset:end].decode("utf-8", "replace")


def ReadUleb(data, offset):
    value, shift = 0, 0
    while True:
        byte = data[offset]
        offset += 1
        value |= (byte & 0x7F) << shift
        shift += 7
        if byte < 0x80:
            return value, offset


def WalkExportTrie(trie, offset=0, prefix="", seen=None):
    """Every name the export trie leads to: a node with terminal information is an export."""
    seen = set() if seen is None else seen
    if offset in seen or offset >= len(trie):
        raise ValueError("the export trie loops or points outside itself")
    seen.add(offset)
    terminalSize, cursor = ReadUleb(trie, offset)
    if terminalSize:
        yield prefix
    cursor += terminalSize
    childCount = trie[cursor]
    cursor += 1
    for _ in range(childCount):
        end = trie.index(b"\0", cursor)
        edge = trie[cursor:end].decode("utf-8", "replace")
        child, cursor = ReadUleb(trie, end + 1)
        yield from WalkExportTrie(trie, child, prefix + edge, seen)


def SliceRanges(data):
    """(cpu type, offset, size, alignment as a power of two) of each image in a
    universal file, or of a single image (alignment None)."""
    (magic,) = struct.unpack_from(">I", data, 0)
    if magic != FAT_MAGIC:
        return [(struct.unpack_from("<I", data, 4)[0], 0, len(data), None)]
    (count,) = struct.unpack_from(">I", data, 4)
    ranges = []
    for index in range(count):
        cpu, _, offset, size, align = struct.unpack_from(">5I", data, 8 + 20 * index)
        if offset % (1 << align) or offset + size > len(data):
            raise ValueError("slice %d lies outside the file or off its alignment" % index)
        ranges.append((cpu, offset, size, align))
    return ranges


def Slices(data):
    return [(cpu, data[offset:offset + size]) for cpu, offset, size, _ in SliceRanges(data)]


def CheckSignature(image, signature):
    """Failures of the ad-hoc signature: SHA-256 of each page up to the signature, as its CodeDirectory lists them."""
    if not signature:
        return ["no code signature (LC_CODE_SIGNATURE)"], 0
    dataOffset, dataSize = signature
    if dataOffset + dataSize > len(image):
        return ["the code signature lies past the end of the image"], 0
    blob = image[dataOffset:dataOffset + dataSize]
    magic, _, count = struct.unpack_from(">3I", blob, 0)
    if magic != CSMAGIC_EMBEDDED_SIGNATURE:
        return ["the code signature is no embedded signature (magic %#x)" % magic], 0
    for index in range(count):
        _, offset = struct.unpack_from(">2I", blob, 12 + 8 * index)
        if struct.unpack_from(">I", blob, offset)[0] == CSMAGIC_CODEDIRECTORY:
            return CheckCodeDirectory(image, blob, offset, dataOffset)
    return ["the code signature has no CodeDirectory"], 0


def CheckCodeDirectory(image, blob, start, dataOffset):
    (_, _, _, flags, hashOffset, _, _, codeSlots, codeLimit, hashSize, hashType, _, pageLog) = \
        struct.unpack_from(">9I4B", blob, start)
    failures = []
    if not flags & CS_ADHOC:
        failures.append("the signature is not ad hoc (flags %#x)" % flags)
    if hashType != CS_HASHTYPE_SHA256 or hashSize != 32:
        return failures + ["the CodeDirectory hashes with type %d, %d bytes, not SHA-256" % (hashType, hashSize)], 0
    if codeLimit != dataOffset:
        failures.append("the signature covers %d bytes, the image up to it is %d" % (codeLimit, dataOffset))
    pageSize = 1 << pageLog if pageLog else codeLimit
    pages = (codeLimit + pageSize - 1) // pageSize
    if codeSlots != pages:
        return failures + ["the CodeDirectory lists %d page hashes for %d pages" % (codeSlots, pages)], 0
    wrong = []
    for page in range(pages):
        listed = blob[start + hashOffset + 32 * page:start + hashOffset + 32 * (page + 1)]
        actual = hashlib.sha256(image[page * pageSize:min((page + 1) * pageSize, codeLimit)]).digest()
        if listed != actual:
            wrong.append(page)
    if wrong:
        failures.append("page hashes differ from the file at page %s of %d" % (", ".join(map(str, wrong[:5])), pages))
    return failures, pages


# --- .tbd stubs -------------------------------------------------------------
# A text stub (TAPI, version 4) holds one YAML document per library; only the
# parts that say which library exports which symbol for which target are read.

def FlowList(text, key):
    """Every [ ... ] list under KEY in TEXT, flattened, quotes removed."""
    items = []
    for match in re.finditer(r"^\s*(?:- )?" + re.escape(key) + r":\s*\[(.*?)\]", text, re.M | re.S):
        items += [item.strip().strip("'\"") for item in match.group(1).split(",") if item.strip()]
    return items


def TbdEntries(block):
    """The '- targets: [...]' entries of a section, each as its text."""
    return re.split(r"^\s*- (?=targets:)", block, flags=re.M)[1:]


def TopLevelSection(document, key):
    match = re.search(r"^" + re.escape(key) + r":[^\n]*\n(.*?)(?=^[A-Za-z][\w-]*:|\Z)", document, re.M | re.S)
    return match.group(1) if match else ""


def ParseTbd(text):
    """{install name: (reexported install names, exported symbols)} per target, as {target: {...}}."""
    libraries = {}
    for document in re.split(r"^--- !tapi-tbd[^\n]*\n", text, flags=re.M)[1:]:
        document = re.sub(r"^\s*#[^\n]*\n", "", document.split("\n...")[0], flags=re.M)
        name = re.search(r"^install-name:\s*'?([^'\n]+?)'?\s*$", document, re.M)
        if not name:
            raise ValueError("a .tbd document without install-name")
        perTarget = {}
        for section, keys in (("reexported-libraries", ("libraries",)),
                              ("exports", ("symbols", "weak-symbols", "thread-local-symbols")),
                              ("reexports", ("symbols", "weak-symbols", "thread-local-symbols"))):
            for entry in TbdEntries(TopLevelSection(document, section)):
                names = [item for key in keys for item in FlowList(entry, key)]
                for target in FlowList(entry, "targets"):
                    reexported, symbols = perTarget.setdefault(target, (set(), set()))
                    (reexported if section == "reexported-libraries" else symbols).update(names)
        libraries[name.group(1)] = perTarget
    return libraries


def ExportedSymbols(tbdText, installName, target):
    """What a library exports for a target, its re-exported libraries' exports included."""
    libraries = ParseTbd(tbdText)
    symbols, pending, visited = set(), [installName], set()
    while pending:
        name = pending.pop()
        if name in visited or name not in libraries:
            continue
        visited.add(name)
        reexported, exported = libraries[name].get(target, (set(), set()))
        symbols |= exported
        pending += sorted(reexported)
    return symbols


# --- The checks --------------------------------------------------------------

def CheckSlice(cpu, image, stubs):
    """(facts line, failures) of one slice."""
    name, minimum, _ = EXPECTED_SLICES[cpu]
    failures = []
    try:
        machO = Slice(image)
    except (ValueError, struct.error) as error:
        return "%s: unreadable" % name, ["%s: %s" % (name, error)]
    if machO.cpu != cpu:
        failures.append("%s: the image inside is for CPU %#x" % (name, machO.cpu))
    if machO.fileType != MH_BUNDLE:
        failures.append("%s: file type %d, not MH_BUNDLE (%d)" % (name, machO.fileType, MH_BUNDLE))
    if not machO.flags & MH_TWOLEVEL:
        failures.append("%s: no two-level namespace, so imports name no library" % name)
    if machO.minimumOs != minimum:
        failures.append("%s: minimum macOS %s, expected %d.%d" % (name, FormatVersion(machO.minimumOs), *minimum))
    exports = machO.Exports()
    if exports != EXPECTED_EXPORTS:
        failures.append("%s: exports %s, expected exactly %s" % (name, " ".join(sorted(exports)) or "nothing",
                                                                 " ".join(sorted(EXPECTED_EXPORTS))))
    if sorted(machO.libraries) != sorted(stubs):
        failures.append("%s: loads %s, expected exactly %s" % (name, ", ".join(machO.libraries) or "nothing",
                                                               ", ".join(sorted(stubs))))
    target = name + "-macos"
    exported = {library: ExportedSymbols(text, library, target) for library, text in stubs.items()}
    imports = machO.Imports()
    missing = ["%s (from %s)" % (symbol, library) for symbol, library in imports
               if symbol not in exported.get(library, ())]
    if missing:
        failures.append("%s: %d imported symbol(s) not exported by their library's stub: %s"
                        % (name, len(missing), ", ".join(missing[:8])))
    signatureFailures, pages = CheckSignature(image, machO.signature)
    failures += ["%s: %s" % (name, failure) for failure in signatureFailures]
    counts = ", ".join("%d from %s" % (sum(1 for _, library in imports if library == path), os.path.basename(path))
                       for path in sorted(stubs))
    facts = "%s: %d bytes, MH_BUNDLE, macOS %s, exports %s, imports %s, ad-hoc signature over %d pages" % (
        name, len(image), FormatVersion(machO.minimumOs), " ".join(sorted(exports)), counts, pages)
    return facts, failures


def FormatVersion(version):
    return "%d.%d" % version if version else "unknown"


def CheckInfoPlist(bundle, version):
    path = os.path.join(bundle, "Contents", "Info.plist")
    try:
        with open(path, "rb") as file:
            info = plistlib.load(file)
    except (OSError, plistlib.InvalidFileException, ValueError, xml.parsers.expat.ExpatError) as error:
        return None, ["Info.plist: %s" % error]
    failures = []
    expected = {"CFBundlePackageType": "BNDL", "CFBundleShortVersionString": version, "CFBundleVersion": version}
    for key, value in expected.items():
        if info.get(key) != value:
            failures.append("Info.plist: %s is %r, expected %r" % (key, info.get(key), value))
    for key in ("CFBundleIdentifier", "CFBundleName", "NSHumanReadableCopyright"):
        if not info.get(key):
            failures.append("Info.plist: no %s" % key)
    executable = info.get("CFBundleExecutable", "")
    if not executable or not os.path.isfile(os.path.join(bundle, "Contents", "MacOS", executable)):
        failures.append("Info.plist: CFBundleExecutable %r is not in Contents/MacOS" % executable)
    return info, failures


def CheckBundle(bundle, stubs, version):
    """(lines of facts, failures) of the whole bundle."""
    info, failures = CheckInfoPlist(bundle, version)
    if info is None:
        return [], failures
    binary = os.path.join(bundle, "Contents", "MacOS", info.get("CFBundleExecutable", ""))
    with open(binary, "rb") as file:
        data = file.read()
    facts = []
    try:
        ranges = SliceRanges(data)
    except (ValueError, struct.error) as error:
        return facts, failures + ["universal binary: %s" % error]
    cpus = sorted(cpu for cpu, _, _, _ in ranges)
    if cpus != sorted(EXPECTED_SLICES):
        failures.append("universal binary holds CPU types %s, expected x86_64 and arm64"
                        % ", ".join("%#x" % cpu for cpu in cpus))
    for cpu, offset, size, align in ranges:
        if cpu in EXPECTED_SLICES:
            name, _, pageLog = EXPECTED_SLICES[cpu]
            if align is not None and align < pageLog:
                failures.append("%s: the slice is aligned to 2^%d bytes in the universal file, its pages are 2^%d"
                                % (name, align, pageLog))
            image = data[offset:offset + size]
            line, sliceFailures = CheckSlice(cpu, image, stubs)
            facts.append(line)
            failures += sliceFailures
    facts.append("Info.plist: %s %s, %s, %s" % (info.get("CFBundleName"), info.get("CFBundleShortVersionString"),
                                                info.get("CFBundleIdentifier"), info.get("CFBundlePackageType")))
    return facts, failures


# --- Self-test ------------------------------------------------------------------
# Each corruption of a good bundle, and the reason it must be refused for.

def Patch(data, old, new):
    """DATA with every OLD replaced by NEW of the same length."""
    assert len(old) == len(new)
    if old not in data:
        raise ValueError("self-test: %r is not in the binary" % old)
    return data.replace(old, new)


def PatchSlice(data, cpu, offsetInSlice, value):
    """DATA with the 32-bit little-endian word at OFFSETINSLICE of CPU's image set to VALUE."""
    start = next(offset for sliceCpu, offset, _, _ in SliceRanges(data) if sliceCpu == cpu) + offsetInSlice
    return data[:start] + struct.pack("<I", value) + data[start + 4:]


def LoadCommandOffset(data, cpu, wanted):
    image = dict(Slices(data))[cpu]
    (ncmds,) = struct.unpack_from("<I", image, 16)
    offset = 32
    for _ in range(ncmds):
        cmd, size = struct.unpack_from("<2I", image, offset)
        if cmd == wanted:
            return offset
        offset += size
    raise ValueError("self-test: no load command %#x" % wanted)


def FlipCodeByte(data):
    """One byte of the x86_64 code changed: its page no longer hashes as listed."""
    start = next(offset for cpu, offset, _, _ in SliceRanges(data) if cpu == CPU_X86_64) + 4096 + 123
    return data[:start] + bytes([data[start] ^ 0xFF]) + data[start + 1:]


def AlignArmToFourKiB(data):
    """The fat header says the arm64 slice is aligned to 4 KiB, Intel's page size."""
    index = [cpu for cpu, _, _, _ in SliceRanges(data)].index(CPU_ARM64)
    field = 8 + 20 * index + 16
    return data[:field] + struct.pack(">I", 12) + data[field + 4:]


def DropArmSignature(data):
    """The arm64 slice's LC_CODE_SIGNATURE turned into a command no loader knows: unsigned, to Apple Silicon."""
    return PatchSlice(data, CPU_ARM64, LoadCommandOffset(data, CPU_ARM64, LC_CODE_SIGNATURE), 0x7F)


def ClearArmAdHocFlag(data):
    """The arm64 CodeDirectory no longer says ad hoc, as if a certificate should be there."""
    image = dict(Slices(data))[CPU_ARM64]
    dataOffset, _ = Slice(image).signature
    directory = image.index(struct.pack(">I", CSMAGIC_CODEDIRECTORY), dataOffset)
    start = next(offset for cpu, offset, _, _ in SliceRanges(data) if cpu == CPU_ARM64) + directory + 12
    (flags,) = struct.unpack_from(">I", data, start)
    return data[:start] + struct.pack(">I", flags & ~CS_ADHOC) + data[start + 4:]


def LowerArmMinimum(data):
    """The arm64 slice's LC_BUILD_VERSION says 10.15, an OS that never ran on Apple Silicon."""
    return PatchSlice(data, CPU_ARM64, LoadCommandOffset(data, CPU_ARM64, LC_BUILD_VERSION) + 12, (10 << 16) | (15 << 8))


CORRUPTIONS = [
    ("a changed code byte", FlipCodeByte, None, "x86_64: page hashes differ"),
    ("an executable instead of a bundle", lambda data: PatchSlice(data, CPU_ARM64, 12, 2), None,
     "arm64: file type 2, not MH_BUNDLE"),
    ("a lower minimum macOS", LowerArmMinimum, None, "arm64: minimum macOS 10.15, expected 11.0"),
    ("an arm64 slice on 4 KiB alignment", AlignArmToFourKiB, None, "arm64: the slice is aligned to 2^12 bytes"),
    ("an unsigned arm64 slice", DropArmSignature, None, "arm64: no code signature"),
    ("a signature that is not ad hoc", ClearArmAdHocFlag, None, "arm64: the signature is not ad hoc"),
    ("a renamed export", lambda data: Patch(data, b"plugMain\0", b"plugMaim\0"), None, "exports _SetLogCallback _plugMaim"),
    ("a library beyond libSystem and OpenGL", lambda data: Patch(data, b"libSystem.B.dylib", b"libSystem.C.dylib"),
     None, "loads"),
    ("an import the OpenGL stub lacks", lambda data: Patch(data, b"_glGetError\0", b"_glGetErrox\0"),
     None, "not exported by their library's stub: _glGetErrox"),
    ("a plist of type APPL", None, lambda text: text.replace(b"<string>BNDL</string>", b"<string>APPL</string>"),
     "CFBundlePackageType is 'APPL'"),
    ("a plist that does not parse", None, lambda text: text.replace(b"</dict>", b""), "Info.plist:"),
]


def SelfTest(bundle, stubs, version):
    facts, failures = CheckBundle(bundle, stubs, version)
    if failures:
        return ["the bundle itself fails: " + "; ".join(failures)]
    binaryName = plistlib.load(open(os.path.join(bundle, "Contents", "Info.plist"), "rb"))["CFBundleExecutable"]
    problems = []
    with tempfile.TemporaryDirectory() as work:
        for label, patchBinary, patchPlist, reason in CORRUPTIONS:
            copy = os.path.join(work, os.path.basename(bundle))
            shutil.rmtree(copy, ignore_errors=True)
            shutil.copytree(bundle, copy)
            for relative, patch in ((os.path.join("Contents", "MacOS", binaryName), patchBinary),
                                    (os.path.join("Contents", "Info.plist"), patchPlist)):
                if patch:
                    path = os.path.join(copy, relative)
                    with open(path, "rb") as file:
                        data = patch(file.read())
                    with open(path, "wb") as file:
                        file.write(data)
            _, found = CheckBundle(copy, stubs, version)
            if not any(reason in failure for failure in found):
                problems.append("%s was not refused for '%s' (found: %s)" % (label, reason, "; ".join(found) or "nothing"))
    problems += TbdSelfTest()
    if not problems:
        print("self-test: the bundle passes; %d corrupted copies each fail for their reason; the .tbd reader "
              "follows re-exports" % len(CORRUPTIONS))
    return problems


def TbdSelfTest():
    text = """--- !tapi-tbd
tbd-version: 4
targets: [ x86_64-macos, arm64-macos ]
install-name: '/usr/lib/libOuter.dylib'
reexported-libraries:
  - targets: [ x86_64-macos, arm64-macos ]
    libraries: [ '/usr/lib/libInner.dylib' ]
exports:
  - targets: [ x86_64-macos ]
    symbols: [ _onlyIntel, _both ]
  - targets: [ arm64-macos ]
    symbols: [ _both,
               '_quoted$name' ]
...
--- !tapi-tbd
tbd-version: 4
targets: [ x86_64-macos, arm64-macos ]
install-name: '/usr/lib/libInner.dylib'
# a comment
exports:
  - targets: [ x86_64-macos, arm64-macos ]
    weak-symbols: [ _inner ]
...
"""
    cases = [("x86_64-macos", {"_onlyIntel", "_both", "_inner"}), ("arm64-macos", {"_both", "_quoted$name", "_inner"})]
    return ["the .tbd reader gives %s for %s" % (sorted(got), target)
            for target, expected in cases
            for got in [ExportedSymbols(text, "/usr/lib/libOuter.dylib", target)] if got != expected]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("bundle")
    parser.add_argument("--libsystem", required=True, help="libSystem's .tbd (zig's lib/libc/darwin)")
    parser.add_argument("--opengl", required=True, help="the OpenGL framework's stub .tbd")
    parser.add_argument("--version", required=True, help="the version Info.plist must carry")
    parser.add_argument("--self-test", action="store_true")
    arguments = parser.parse_args()
    stubs = {}
    for path, library in ((arguments.libsystem, LIBSYSTEM), (arguments.opengl, OPENGL)):
        with open(path) as file:
            stubs[library] = file.read()
    if arguments.self_test:
        problems = SelfTest(arguments.bundle, stubs, arguments.version)
        for problem in problems:
            print("FAIL: " + problem)
        return 1 if problems else 0
    facts, failures = CheckBundle(arguments.bundle, stubs, arguments.version)
    for line in facts:
        print(line)
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
