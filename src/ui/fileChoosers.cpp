#include "ui/fileChoosers.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include "base/moduleState.h"
#include "base/sound.h"
#include "base/text.h"
#include "resources/resource.h"
#include "ui/uiText.h"

namespace kiv {

namespace {

// The record grew with Windows 2000; older systems refuse the larger size.
constexpr DWORD openFileRecordSizeBefore2000 = 76;
constexpr DWORD openFileRecordSize = 88;
static_assert(sizeof(OPENFILENAMEA) == openFileRecordSize);

}  // namespace

bool chooseSoundFile(HWND dialog, int editId) {
    char file[MAX_PATH] = "";
    GetDlgItemTextA(dialog, editId, file, sizeof file);
    OPENFILENAMEA request = {};
    request.lStructSize = plugin.systemMajorVersion < 5 ? openFileRecordSizeBefore2000 : openFileRecordSize;
    request.hwndOwner = dialog;
    request.lpstrFilter = uiText(IDS_SOUND_FILE_TYPES);
    request.lpstrFile = file;
    request.nMaxFile = sizeof file;
    request.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_DONTADDTORECENT;
    if (!GetOpenFileNameA(&request)) return false;
    SetDlgItemTextA(dialog, editId, file);
    return true;
}

void playEditSound(HWND dialog, int editId) {
    char path[MAX_PATH] = "";
    GetDlgItemTextA(dialog, editId, path, sizeof path);
    playSound(path);
}

bool chooseFolder(HWND owner, char* folder, size_t size) {
    char displayName[MAX_PATH] = "";
    BROWSEINFOA request = {};
    request.hwndOwner = owner;
    request.pszDisplayName = displayName;
    request.lpszTitle = uiText(IDS_CHOOSE_FOLDER);
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&request);
    if (!chosen) return false;
    char path[MAX_PATH] = "";
    bool hasPath = SHGetPathFromIDListA(chosen, path) && path[0];
    CoTaskMemFree(chosen);
    if (hasPath) copyText(folder, size, path);
    return hasPath;
}

}  // namespace kiv
