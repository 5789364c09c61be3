// What a host makes sure of a plug-in file before it hands it to the dynamic
// loader, which takes a bare name as a search and a cut-short or foreign file
// as a crash (SIGBUS when it maps pages past the end of the file).
#pragma once

#include <cstdint>
#include <string>

namespace hostsupport {

// A path as the user meant it: a bare name is the file in the working folder.
std::string PluginFilePath(const std::string& given);

// Why the file cannot be a plug-in for this machine, in words a user can act
// on ("cut short: 5,000 of 1,450,264 bytes", "a Windows DLL", "built for
// arm64"); empty when it is a whole shared library for this machine.
std::string PluginFileProblem(const std::string& path);

// Throws HostError "cannot open the plug-in PATH: REASON" for a missing or
// unreadable file, a folder, or any PluginFileProblem.
void RequirePluginFile(const std::string& path);

// 1450264 as "1,450,264".
std::string GroupedNumber(uint64_t number);

}  // namespace hostsupport
