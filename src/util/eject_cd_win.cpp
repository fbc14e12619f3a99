// Ejecting the medium of a CD-ROM drive, so that the next disk of a
// spanned setup can be inserted.
#include <windows.h>
#include <winioctl.h>

#include <exception>

static_assert(IOCTL_STORAGE_EJECT_MEDIA == 0x2D4808, "storage eject-media request");

#include "util/files.h"
#include "util/kdebug.h"
#include "util/text_utils.h"
#include "util/win_handle.h"

namespace kv {
namespace {

FileHandle OpenDevice(const std::string& device, DWORD access) {
    return FileHandle(CreateFileA(device.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
}

std::string HandleText(const FileHandle& h) { return IntToStr(int64_t(intptr_t(h.get()))); }

}  // namespace

bool EjectCD(const std::string& path) {
    try {
        if (path.empty()) return false;
        const char letter = UpperCase(path.substr(0, 1))[0];
        if (letter < 'A' || letter > 'Z') return false;
        const std::string root = std::string(1, letter) + ":\\";
        if (GetDriveTypeA(root.c_str()) != DRIVE_CDROM) return false;

        const std::string device = std::string("\\\\.\\") + letter + ":";
        FileHandle h = OpenDevice(device, GENERIC_READ | GENERIC_WRITE);
        TraceLine("EjectCD-2: " + device + " " + HandleText(h));
        if (!h) {
            h = OpenDevice(device, GENERIC_READ);
            TraceLine("EjectCD-3: " + device + " " + HandleText(h));
        }
        if (!h) return false;
        DWORD returned = 0;
        const bool ok = DeviceIoControl(h.get(), IOCTL_STORAGE_EJECT_MEDIA, nullptr, 0, nullptr, 0, &returned,
                                        nullptr) != 0;
        h.close();
        return ok;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace kv
