// kvpefix FILE: moves the PE header of a freshly linked executable to
// offset 256 (see pefix.h). Rewrites the file only when something moved.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "pefix/pefix.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool ReadFile(const std::string& path, std::string& bytes) {
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) return false;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) bytes.append(buf, n);
    return !std::ferror(f.get());
}

// Writes beside the target and renames, so a failed write never leaves a
// half-written executable behind.
bool WriteFileReplacing(const std::string& path, const std::string& bytes) {
    const std::string temp = path + ".pefix-tmp";
    {
        File f(std::fopen(temp.c_str(), "wb"));
        if (!f) return false;
        if (std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size() || std::fflush(f.get()) != 0) {
            f.reset();
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr,
                     "usage: kvpefix FILE\n"
                     "Moves the PE header of FILE to offset 256 and clears bytes 248..255.\n"
                     "A file whose header is already at 256 is left unchanged.\n");
        return 2;
    }
    const std::string path = argv[1];
    std::string image;
    if (!ReadFile(path, image)) {
        std::fprintf(stderr, "kvpefix: cannot read %s: %s\n", path.c_str(), std::strerror(errno));
        return 1;
    }
    const kv::PeFixResult r = kv::FixPeHeaderOffset(image);
    if (!r.ok()) {
        std::fprintf(stderr, "kvpefix: %s: %s\n", path.c_str(), r.message.c_str());
        return 1;
    }
    if (r.status == kv::PeFixStatus::AlreadyFixed) {
        std::printf("kvpefix: %s: PE header already at offset 256\n", path.c_str());
        return 0;
    }
    if (!WriteFileReplacing(path, image)) {
        std::fprintf(stderr, "kvpefix: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return 1;
    }
    std::printf("kvpefix: %s: PE header moved to offset 256\n", path.c_str());
    return 0;
}
