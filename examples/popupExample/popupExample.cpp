// A plug-in that shows notifications of its own through kiv: it offers the service
// "popupExample/show" (wParam: the text, or null for a small window) and counts the clicks on
// its windows ("popupExample/clicks" answers how many, "popupExample/lastButton" which button).
// It also follows a download in one notification with a bar and two buttons, in UTF-8:
// "popupExample/download/start", ".../progress" (wParam: percent; any thread, as a download's
// worker reports) and ".../done". A mail check runs on a thread of its own and reports from there
// ("popupExample/mailcheck"): kiv's services may be called from any thread, and never make the
// caller wait.
//
// Everything kiv needs is in include/kiv/popup.h; the host's function table is the messenger's.
#include <windows.h>

#include "kiv/host_abi.h"
#include "kiv/popup.h"

namespace {

namespace abi = kiv::abi;

HINSTANCE module = nullptr;
void* const* hostServices = nullptr;
int showService = 0;
int clicksService = 0;
int lastButtonService = 0;
int startService = 0;
int progressService = 0;
int doneService = 0;
int clicks = 0;
int lastButton = 0;
volatile LONG download = 0;  // kiv's id of the download's notification, 0 while there is none
int mailCheckService = 0;
HANDLE mailCheck = nullptr;  // the checking thread, until it is waited for
volatile LONG mailNotice = 0;  // kiv's id of its notification

constexpr int plainData = 7;     // callbackData of the plain notifications
constexpr int downloadData = 8;  // and of the download's

abi::plugin_info info = {sizeof(abi::plugin_info), "popupExample", 0x00010501, 0x00010000,
                         "przykład: własne powiadomienia przez kiv", "kiv developers", "kiv developers",
                         "kiv@example.invalid", "https://kiv.example.invalid/", {0, 0, 0, 0}};

template <class Function>
Function slot(int number) {
    return reinterpret_cast<Function>(hostServices[number]);
}

// The messenger's callService: slot 2 of the function table it handed to LoadPlugin.
int callService(const char* name, WPARAM wParam, LPARAM lParam) {
    return slot<abi::CallServiceFn>(abi::slotCallService)(module, name, wParam, lParam);
}

// kiv calls this when one of our windows is clicked, before it handles the click itself. Like
// every function between plug-ins and the messenger it is __cdecl.
int __cdecl onClick(kiv::click_info* click, int callbackData) {
    if (!click || click->size != sizeof(kiv::click_info)) return 0;
    if (callbackData != plainData && callbackData != downloadData) return 0;
    ++clicks;
    lastButton = click->button;
    // "Otwórz" (101) or "Pokaż w folderze" (102): a real plug-in opens the file or its folder here.
    // The download's notification stays open until it is closed, so it goes once the user has chosen.
    const bool action = click->button > kiv::popupActionButton;
    if (callbackData == downloadData && action)
        if (LONG id = InterlockedExchange(&download, 0)) callService(kiv::popupCloseService, static_cast<WPARAM>(id), 0);
    return 0;
}

int __cdecl show(WPARAM text, LPARAM) {
    kiv::popup_info popup = {};
    popup.size = sizeof popup;
    // Texts are Windows-1250: this project compiles its literals so (-fexec-charset=CP1250), and
    // the text handed to popupExample/show is the caller's, in the messenger's code page too.
    popup.protocol = "TLEN";
    popup.contactId = "przyklad";
    popup.nick = "Przykład";
    popup.text = reinterpret_cast<const char*>(text);
    popup.iconName = "message";
    popup.clickCallback = onClick;
    popup.callbackData = plainData;
    // 0: queued, the window appears at kiv's next tick (every 100 ms); -1: refused (kiv is silent, say).
    return callService("kiv/popup", reinterpret_cast<WPARAM>(&popup), 0);
}

// Shown in UTF-8, so the file's name may be in any script, with an empty bar and two buttons. It
// stays open (keepOpen) however long the download takes: a bar that moves does not start kiv's
// visible time again, and a notification gone half-way would leave the user nothing to click.
int __cdecl startDownload(WPARAM, LPARAM) {
    kiv::popup_info popup = {};
    popup.size = sizeof popup;
    popup.protocol = "TLEN";
    popup.contactId = "przyklad";
    popup.nick = u8"Pobieranie «Фото.zip»";
    popup.text = u8"4,2 MB z przyklad.pl";
    popup.iconName = "ico_small";
    popup.clickCallback = onClick;
    popup.callbackData = downloadData;
    kiv::popup_options3 options = {};
    options.size = sizeof options;
    options.keepOpen = 1;
    options.encoding = kiv::popupUtf8;  // for the captions too
    options.progress = 0;
    options.actions[0] = u8"Otwórz";
    options.actions[1] = u8"Pokaż w folderze";
    // A positive id, or -1 when kiv refused (it is silent, say).
    int id = callService(kiv::popupShowService, reinterpret_cast<WPARAM>(&popup), reinterpret_cast<LPARAM>(&options));
    InterlockedExchange(&download, id > 0 ? id : 0);
    return id;
}

// Called by the download's worker as it goes; kiv takes it from any thread and never waits.
// -1 once the notification is gone: the user chose a button, or kiv was unloaded.
int __cdecl downloadProgress(WPARAM percent, LPARAM) {
    return callService(kiv::popupProgressService, static_cast<WPARAM>(download), static_cast<LPARAM>(percent));
}

int __cdecl downloadDone(WPARAM, LPARAM) {
    return callService(kiv::popupCloseService, static_cast<WPARAM>(InterlockedExchange(&download, 0)), 0);
}

// On the checking thread: kiv copies the texts and answers at once; the window appears on the
// messenger's thread at kiv's next tick.
DWORD WINAPI checkMail(void*) {
    kiv::popup_info popup = {};
    popup.size = sizeof popup;
    popup.protocol = "TLEN";
    popup.contactId = "poczta";
    popup.nick = "Poczta";
    popup.text = "Sprawdzanie poczty...";
    popup.iconName = "message";
    int id = callService(kiv::popupShowService, reinterpret_cast<WPARAM>(&popup), 0);
    if (id <= 0) return 0;
    InterlockedExchange(&mailNotice, id);
    callService(kiv::popupUpdateService, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>("Nowe wiadomości: 3"));
    return 0;
}

int __cdecl startMailCheck(WPARAM, LPARAM) {
    if (mailCheck) return -1;
    mailCheck = CreateThread(nullptr, 0, checkMail, nullptr, 0, nullptr);
    return mailCheck ? 0 : -1;
}

int __cdecl clickCount(WPARAM, LPARAM) {
    return clicks;
}

int __cdecl lastClickButton(WPARAM, LPARAM) {
    return lastButton;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
    module = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) void* __cdecl GetPluginInfo(unsigned int) {
    return &info;
}

extern "C" __declspec(dllexport) int __cdecl LoadPlugin(void* services) {
    hostServices = static_cast<void* const*>(services);
    auto create = slot<abi::CreateServiceFn>(abi::slotCreateService);
    showService = create(module, "popupExample/show", show);
    clicksService = create(module, "popupExample/clicks", clickCount);
    lastButtonService = create(module, "popupExample/lastButton", lastClickButton);
    startService = create(module, "popupExample/download/start", startDownload);
    progressService = create(module, "popupExample/download/progress", downloadProgress);
    doneService = create(module, "popupExample/download/done", downloadDone);
    mailCheckService = create(module, "popupExample/mailcheck", startMailCheck);
    clicks = 0;
    lastButton = 0;
    return 0;
}

extern "C" __declspec(dllexport) int __cdecl UnloadPlugin(void) {
    auto destroy = slot<abi::DestroyServiceFn>(abi::slotDestroyService);
    destroy(module, showService);
    destroy(module, clicksService);
    destroy(module, lastButtonService);
    destroy(module, startService);
    destroy(module, progressService);
    destroy(module, doneService);
    destroy(module, mailCheckService);
    // Our thread ends before our code goes, and our notification before we do: a click on it
    // would have nobody to tell.
    if (mailCheck) {
        WaitForSingleObject(mailCheck, INFINITE);
        CloseHandle(mailCheck);
        mailCheck = nullptr;
    }
    if (LONG id = InterlockedExchange(&mailNotice, 0)) callService(kiv::popupCloseService, static_cast<WPARAM>(id), 0);
    if (LONG id = InterlockedExchange(&download, 0)) callService(kiv::popupCloseService, static_cast<WPARAM>(id), 0);
    hostServices = nullptr;
    return 0;
}
