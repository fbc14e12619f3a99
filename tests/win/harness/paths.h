#pragma once
// Paths of the build and fresh temporary folders (see harness.h).
#include <string>

namespace kv::test {

// "/tmp/x/y" -> "Z:\tmp\x\y" (Wine maps Z: to the host's root); a path that
// already has a drive is returned with its slashes turned into backslashes.
std::string WinPath(const std::string& unixPath);
// The Win32 build folder and the source folder, as Windows paths.
std::string BuildDir();
std::string SourceDir();
// <build>\src\stub.exe
std::string StubPath();
// <build>\tools\win\<name>\<name>.exe
std::string ToolPath(const std::string& name);

// Removes a folder and everything in it; true when it is gone.
bool RemoveTree(const std::string& path);

// A fresh folder under the Windows temporary folder, removed with its
// contents when the owner goes unless Keep() was called.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    bool Valid() const { return !path_.empty(); }
    // The folder, without a trailing backslash.
    const std::string& Path() const { return path_; }
    // Path() + "\" + name.
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    // Leaves the folder in place (to look at after a failure).
    void Keep() { keep_ = true; }

private:
    std::string path_;
    bool keep_ = false;
};

}  // namespace kv::test
