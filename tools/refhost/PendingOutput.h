// Outputs that appear under their real names only once the whole run has
// succeeded: each is written under a hidden temporary name beside its target
// and renamed at Commit; whatever is not committed is deleted on destruction.
#pragma once

#include <string>
#include <vector>

namespace refhost {

class PendingFile {
public:
    // Creates the target's parent folders; throws HostError when it cannot.
    explicit PendingFile(std::string target);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const std::string& TemporaryPath() const { return temporary; }
    const std::string& TargetPath() const { return target; }
    // Renames the temporary file to the target; throws HostError on failure.
    void Commit();

private:
    std::string target;
    std::string temporary;
    bool committed = false;
};

// A folder of numbered PNG frames, filled in a hidden sibling folder. At
// Commit the frames replace any frame-NNNNNN.png of an earlier run there.
class PendingFrameFolder {
public:
    explicit PendingFrameFolder(std::string target);
    ~PendingFrameFolder();
    PendingFrameFolder(const PendingFrameFolder&) = delete;
    PendingFrameFolder& operator=(const PendingFrameFolder&) = delete;

    // Where frame number index goes while the run lasts.
    std::string FramePath(size_t index);
    void Commit();

private:
    static std::string FrameName(size_t index);

    std::string target;
    std::string temporary;
    size_t frames = 0;
    bool committed = false;
};

}  // namespace refhost
