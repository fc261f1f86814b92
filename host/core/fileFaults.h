// Faults in the module's file writes, through its import table: a disk that fills after so many
// bytes, or a process that stops at a chosen write, as a power cut or a killed process would stop
// it. Installed by pluginLoader on every plug-in it loads; without a fault set, every call passes
// straight through.
#pragma once

#include <windows.h>

namespace kivhost {

class fileFaults {
public:
    static fileFaults& get();

    // Later writes store only what fits in the given number of bytes, then fail with ERROR_DISK_FULL.
    void fillDiskAfter(DWORD bytes);
    // The step-th write (a WriteFile or a MoveFileExA, counted from 1) ends the process with
    // stoppedExitCode: a WriteFile after storing half of its bytes, a move before it happens.
    void stopAtWrite(int step);
    void clear();
    int writes() const { return writes_; }

    static constexpr UINT stoppedExitCode = 75;

    static BOOL WINAPI writeFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped);
    static BOOL WINAPI moveFileEx(LPCSTR from, LPCSTR to, DWORD flags);

private:
    bool diskFills_ = false;
    DWORD spaceLeft_ = 0;
    int stopStep_ = 0;
    int writes_ = 0;
};

void installFileFaults(HMODULE module);

}  // namespace kivhost
