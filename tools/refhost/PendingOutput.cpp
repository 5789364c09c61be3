// Temporary names beside the targets, so that every rename stays on one file system.
#include "PendingOutput.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <system_error>

#include "hostsupport/HostError.h"

namespace fs = std::filesystem;

namespace refhost {

namespace {

fs::path HiddenSibling(const fs::path& target, const char* what)
{
    fs::path parent = target.parent_path();
    const std::string name = "." + target.filename().string() + "." + what + "-" + std::to_string(getpid());
    return parent.empty() ? fs::path(name) : parent / name;
}

void CreateParent(const fs::path& target)
{
    const fs::path parent = target.parent_path();
    if (parent.empty())
        return;
    std::error_code error;
    fs::create_directories(parent, error);
    if (error)
        throw hostsupport::HostError("cannot create the folder " + parent.string() + ": " + error.message());
}

}  // namespace

PendingFile::PendingFile(std::string path) : target(std::move(path))
{
    if (target.empty() || fs::path(target).filename().empty())
        throw hostsupport::HostError("the output name \"" + target + "\" is not a file name");
    std::error_code error;
    if (fs::is_directory(target, error))
        throw hostsupport::HostError("the output " + target + " is a folder");
    CreateParent(target);
    temporary = HiddenSibling(target, "partial").string();
}

PendingFile::~PendingFile()
{
    if (!committed)
        std::remove(temporary.c_str());
}

void PendingFile::Commit()
{
    std::error_code error;
    fs::rename(temporary, target, error);
    if (error)
        throw hostsupport::HostError("cannot create " + target + ": " + error.message());
    committed = true;
}

PendingFrameFolder::PendingFrameFolder(std::string path) : target(std::move(path))
{
    while (target.size() > 1 && target.back() == '/')
        target.pop_back();
    if (target.empty())
        throw hostsupport::HostError("the frame folder name is empty");
    std::error_code error;
    if (fs::exists(target, error) && !fs::is_directory(target, error))
        throw hostsupport::HostError("the frame folder " + target + " exists and is not a folder");
    CreateParent(target);
    temporary = HiddenSibling(target, "partial").string();
    fs::create_directory(temporary, error);
    if (error)
        throw hostsupport::HostError("cannot create the folder " + temporary + ": " + error.message());
}

PendingFrameFolder::~PendingFrameFolder()
{
    if (!committed) {
        std::error_code ignored;
        fs::remove_all(temporary, ignored);
    }
}

std::string PendingFrameFolder::FrameName(size_t index)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06zu.png", index);
    return name;
}

std::string PendingFrameFolder::FramePath(size_t index)
{
    if (index + 1 > frames)
        frames = index + 1;
    return (fs::path(temporary) / FrameName(index)).string();
}

void PendingFrameFolder::Commit()
{
    std::error_code error;
    if (!fs::exists(target, error)) {
        fs::rename(temporary, target, error);
        if (error)
            throw hostsupport::HostError("cannot create " + target + ": " + error.message());
        committed = true;
        return;
    }
    // Frames of an earlier, longer run would look like part of this one.
    static const std::regex frameName("frame-[0-9]{6}\\.png");
    for (const auto& entry : fs::directory_iterator(target, error))
        if (std::regex_match(entry.path().filename().string(), frameName))
            fs::remove(entry.path(), error);
    for (size_t i = 0; i < frames; ++i) {
        fs::rename(fs::path(temporary) / FrameName(i), fs::path(target) / FrameName(i), error);
        if (error)
            throw hostsupport::HostError("cannot move frames into " + target + ": " + error.message());
    }
    fs::remove(temporary, error);
    committed = true;
}

}  // namespace refhost
