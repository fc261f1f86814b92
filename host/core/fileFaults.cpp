#include "fileFaults.h"

#include <algorithm>

#include "importPatch.h"

namespace kivhost {

fileFaults& fileFaults::get() {
    static fileFaults faults;
    return faults;
}

void fileFaults::fillDiskAfter(DWORD bytes) {
    diskFills_ = true;
    spaceLeft_ = bytes;
}

void fileFaults::stopAtWrite(int step) {
    stopStep_ = step;
}

void fileFaults::clear() {
    *this = fileFaults();
}

BOOL WINAPI fileFaults::writeFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
    fileFaults& faults = get();
    ++faults.writes_;
    if (faults.stopStep_ == faults.writes_) {
        DWORD half = 0;
        WriteFile(file, data, size / 2, &half, overlapped);
        TerminateProcess(GetCurrentProcess(), stoppedExitCode);
    }
    if (!faults.diskFills_ || size <= faults.spaceLeft_) {
        faults.spaceLeft_ -= faults.diskFills_ ? size : 0;
        return WriteFile(file, data, size, written, overlapped);
    }
    DWORD stored = 0;
    if (faults.spaceLeft_) WriteFile(file, data, faults.spaceLeft_, &stored, overlapped);
    faults.spaceLeft_ -= std::min(stored, faults.spaceLeft_);
    if (written) *written = stored;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

BOOL WINAPI fileFaults::moveFileEx(LPCSTR from, LPCSTR to, DWORD flags) {
    fileFaults& faults = get();
    ++faults.writes_;
    if (faults.stopStep_ == faults.writes_) TerminateProcess(GetCurrentProcess(), stoppedExitCode);
    return MoveFileExA(from, to, flags);
}

void installFileFaults(HMODULE module) {
    patchImport(module, "KERNEL32.dll", "WriteFile", reinterpret_cast<void*>(&fileFaults::writeFile));
    patchImport(module, "KERNEL32.dll", "MoveFileExA", reinterpret_cast<void*>(&fileFaults::moveFileEx));
}

}  // namespace kivhost
