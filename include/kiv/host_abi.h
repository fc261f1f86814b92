// The messenger's plug-in interface as kiv and its hosts see it: the slot table, the records that
// cross between host and module, and the names of services, events and menus. Every record is a
// fixed byte layout of a 32-bit process; the static_asserts pin each offset the module relies on.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace kiv::abi {

static_assert(sizeof(void*) == 4, "the host interface is 32-bit");

// ---- functions ------------------------------------------------------------------------------

typedef int(__cdecl* ServiceFn)(WPARAM wParam, LPARAM lParam);

typedef int(__cdecl* CreateServiceFn)(HINSTANCE module, const char* name, ServiceFn fn);
typedef int(__cdecl* DestroyServiceFn)(HINSTANCE module, int serviceHandle);
typedef int(__cdecl* CallServiceFn)(HINSTANCE module, const char* name, WPARAM wParam, LPARAM lParam);
typedef int(__cdecl* HookEventFn)(HINSTANCE module, const char* name, ServiceFn hook);
typedef int(__cdecl* UnhookEventFn)(HINSTANCE module, int hookHandle);

typedef int(__cdecl* ProtocolCallbackFn)(void* protocolEvent, void* eventData);
typedef int(__cdecl* VisitItemFn)(void* item, void* userValue);
typedef int(__cdecl* MenuCallbackFn)(int eventCode, void* menuPopupInfo);
typedef int(__cdecl* MenuItemCallbackFn)(void* menuItemInfo, void* menuPopupInfo);
typedef int(__cdecl* OptionsPageCallbackFn)(void* optionsPageEvent);
typedef void*(__cdecl* ProfileFn)(int, int);
typedef int(__cdecl* ShowMenuItemFn)(void* visibleItems, const char* itemName);

typedef void*(__cdecl* GetPluginInfoFn)(unsigned int hostVersion);
typedef int(__cdecl* LoadPluginFn)(void* hostServices);
typedef int(__cdecl* UnloadPluginFn)(void);

// Slots of the host's function table; slot i sits at byte offset 4 * i.
enum hostSlot : int {
    slotCreateService = 0,
    slotDestroyService = 1,
    slotCallService = 2,
    slotHookEvent = 8,
    slotUnhookEvent = 10,
    hostSlotCount = 16,
};

// Host function numbers answered by Tlen/GetProcAddress.
constexpr WPARAM hostFunctionProfile = 0x20001;
constexpr WPARAM hostFunctionShowMenuItem = 0x1002;

constexpr unsigned int minimumHostVersion = 0x040A0401;

// ---- names ----------------------------------------------------------------------------------

inline constexpr const char* svcGetProcAddress = "Tlen/GetProcAddress";
inline constexpr const char* svcProtocolHookEvent = "Tlen/ProtocolHookEvent";
inline constexpr const char* svcProtocolUnhookEvent = "Tlen/ProtocolUnhookEvent";
inline constexpr const char* svcEnumerateItems = "Tlen/ContactList/EnumerateItems";
inline constexpr const char* svcGetItem = "Tlen/ContactList/GetItem";
inline constexpr const char* svcChatWindowShow = "Tlen/ChatWindow/Show";
inline constexpr const char* svcAddMenuItem = "Tlen/AddMenuItem";
inline constexpr const char* svcChangeMenuItem = "Tlen/ChangeMenuItem";
inline constexpr const char* svcAddMenuCallBack = "Tlen/AddMenuCallBack";
inline constexpr const char* svcRemoveMenuCallBack = "Tlen/RemoveMenuCallBack";
inline constexpr const char* svcAddOptionsPage = "Tlen/AddOptionsPage";
inline constexpr const char* svcAddDialogHandle = "Tlen/AddDialogHandle";
inline constexpr const char* svcRemoveDialogHandle = "Tlen/RemoveDialogHandle";

inline constexpr const char* evtSoundBefore = "Tlen/SoundEngine/BeforeEvent";

inline constexpr const char* menuContact = "Tlen/CL/Element";
inline constexpr const char* menuGroup = "Tlen/CL/Group";
inline constexpr const char* menuStatus = "Tlen/Status";

inline constexpr const char* svcKivGetSilent = "kiv/getsilent";
inline constexpr const char* svcKivSetSilent = "kiv/setsilent";
inline constexpr const char* svcKivPopup = "kiv/popup";

#pragma pack(push, 1)

// ---- module identity ------------------------------------------------------------------------

struct plugin_info {
    int32_t size;  // 52
    const char* name;
    uint32_t interfaceVersion;
    uint32_t version;
    const char* description;
    const char* copyright;
    const char* author;
    const char* email;
    const char* web;
    uint32_t reserved[4];
};
static_assert(sizeof(plugin_info) == 52);
static_assert(offsetof(plugin_info, name) == 4);
static_assert(offsetof(plugin_info, interfaceVersion) == 8);
static_assert(offsetof(plugin_info, version) == 12);
static_assert(offsetof(plugin_info, description) == 16);
static_assert(offsetof(plugin_info, author) == 24);
static_assert(offsetof(plugin_info, email) == 28);
static_assert(offsetof(plugin_info, web) == 32);
static_assert(offsetof(plugin_info, reserved) == 36);

struct profile_info {
    int32_t size;
    const char* login;
    int32_t reserved;
    const char* profileFolder;  // ends in a backslash
};
static_assert(offsetof(profile_info, login) == 4);
static_assert(offsetof(profile_info, profileFolder) == 12);

// ---- contact list ---------------------------------------------------------------------------

constexpr int32_t itemKindContact = 3;
constexpr int32_t contactItemCopySize = 124;

struct status_entry {
    uint8_t reserved0[8];
    HBITMAP icon;
    uint8_t reserved12[20];
};
static_assert(sizeof(status_entry) == 32);
static_assert(offsetof(status_entry, icon) == 8);

struct status_icons {
    uint8_t reserved0[12];
    status_entry* entries;
    uint8_t reserved16[8];
    int32_t index;  // 1-based
};
static_assert(offsetof(status_icons, entries) == 12);
static_assert(offsetof(status_icons, index) == 24);

struct contact_item {
    int32_t size;
    int32_t handle;
    uint8_t reserved8[4];
    int32_t groupHandle;
    uint8_t reserved16[4];
    int32_t kind;
    uint8_t reserved24[5];
    uint8_t flags;  // bit 0: hidden by the companion plug-in
    uint8_t reserved30[14];
    const char* displayName;
    uint8_t reserved48[4];
    const char* description;
    uint8_t reserved56[8];
    const char* id;
    uint8_t reserved68[36];
    status_icons* icons;
    uint8_t reserved108[16];
};
static_assert(sizeof(contact_item) == contactItemCopySize);
static_assert(offsetof(contact_item, handle) == 4);
static_assert(offsetof(contact_item, groupHandle) == 12);
static_assert(offsetof(contact_item, kind) == 20);
static_assert(offsetof(contact_item, flags) == 29);
static_assert(offsetof(contact_item, displayName) == 44);
static_assert(offsetof(contact_item, description) == 52);
static_assert(offsetof(contact_item, id) == 64);
static_assert(offsetof(contact_item, icons) == 104);

struct enumeration_record {
    int32_t size;  // 20
    int32_t mode;  // 3
    int32_t reserved;
    VisitItemFn visit;
    void* userValue;
};
static_assert(sizeof(enumeration_record) == 20);
static_assert(offsetof(enumeration_record, visit) == 12);
static_assert(offsetof(enumeration_record, userValue) == 16);

// ---- protocol and sound events --------------------------------------------------------------

constexpr int32_t protocolEventMessage = 1;
constexpr int32_t protocolEventStatus = 2;
constexpr int32_t protocolEventLogin = 8;

struct protocol_hook {
    int32_t size;  // 20
    const char* protocol;
    ProtocolCallbackFn callback;
    int32_t reserved;
    HINSTANCE module;
};
static_assert(sizeof(protocol_hook) == 20);
static_assert(offsetof(protocol_hook, protocol) == 4);
static_assert(offsetof(protocol_hook, callback) == 8);
static_assert(offsetof(protocol_hook, module) == 16);

struct protocol_event {
    int32_t size;
    const char* protocol;
    int32_t kind;
};
static_assert(offsetof(protocol_event, protocol) == 4);
static_assert(offsetof(protocol_event, kind) == 8);

constexpr uint8_t messageFlagNormal = 2;
constexpr uint8_t messageFlagChat = 4;

struct message_event {
    uint8_t reserved0[8];
    const char* contactId;
    const char* protocol;
    uint8_t reserved16[36];
    uint8_t flags;
    uint8_t reserved53[11];
    const char* text;
};
static_assert(offsetof(message_event, contactId) == 8);
static_assert(offsetof(message_event, protocol) == 12);
static_assert(offsetof(message_event, flags) == 52);
static_assert(offsetof(message_event, text) == 64);

struct status_event {
    uint8_t reserved0[8];
    const char* contactId;
    const char* protocol;
    uint8_t reserved16[24];
    int32_t newStatus;
    int32_t previousStatus;
    const char* newDescription;
    const char* previousDescription;
};
static_assert(offsetof(status_event, contactId) == 8);
static_assert(offsetof(status_event, protocol) == 12);
static_assert(offsetof(status_event, newStatus) == 40);
static_assert(offsetof(status_event, previousStatus) == 44);
static_assert(offsetof(status_event, newDescription) == 48);
static_assert(offsetof(status_event, previousDescription) == 52);

struct sound_subject {
    int32_t reserved;
    const char* contactId;
};
static_assert(offsetof(sound_subject, contactId) == 4);

struct sound_event {
    int32_t size;
    int32_t kind;
    sound_subject* subject;
};
static_assert(offsetof(sound_event, kind) == 4);
static_assert(offsetof(sound_event, subject) == 8);

// ---- chat window ----------------------------------------------------------------------------

struct chat_window_request {
    int32_t size;  // 120
    uint8_t reserved4[8];
    const char* contactId;
    const char* protocol;
    uint8_t reserved20[24];
    const char* title;
    status_entry status;
    uint8_t reserved80[32];
    int32_t network;  // 24 for the host's own network
    uint8_t reserved116[4];
};
static_assert(sizeof(chat_window_request) == 120);
static_assert(offsetof(chat_window_request, contactId) == 12);
static_assert(offsetof(chat_window_request, protocol) == 16);
static_assert(offsetof(chat_window_request, title) == 44);
static_assert(offsetof(chat_window_request, status) == 48);
static_assert(offsetof(chat_window_request, network) == 112);

// ---- menus ----------------------------------------------------------------------------------

constexpr int32_t menuFlagChecked = 2;
constexpr int32_t menuFlagCheckItem = 8;
constexpr int32_t menuFlagChange = 0x20000000;
constexpr int menuEventPopup = 1;

struct menu_item_info {
    int32_t size;  // 84
    const char* itemName;
    const char* parentName;
    const char* menu;
    const char* caption;
    int32_t reserved20;
    int32_t flags;
    int32_t position;
    uint8_t reserved32[36];
    MenuItemCallbackFn callback;
    int32_t reserved72;
    HINSTANCE module;
    int32_t itemData;
};
static_assert(sizeof(menu_item_info) == 84);
static_assert(offsetof(menu_item_info, itemName) == 4);
static_assert(offsetof(menu_item_info, parentName) == 8);
static_assert(offsetof(menu_item_info, menu) == 12);
static_assert(offsetof(menu_item_info, caption) == 16);
static_assert(offsetof(menu_item_info, flags) == 24);
static_assert(offsetof(menu_item_info, position) == 28);
static_assert(offsetof(menu_item_info, callback) == 68);
static_assert(offsetof(menu_item_info, module) == 76);
static_assert(offsetof(menu_item_info, itemData) == 80);

struct menu_entry {
    int32_t reserved0;
    const char* entryId;
    const char* entryProtocol;
    uint8_t reserved12[24];
};
static_assert(sizeof(menu_entry) == 36);
static_assert(offsetof(menu_entry, entryId) == 4);
static_assert(offsetof(menu_entry, entryProtocol) == 8);

// The host's list of items to show; the module only passes its address on.
struct menu_visible_items {
    void* host;
};

struct menu_popup_info {
    uint8_t reserved0[12];
    const char* menu;
    uint8_t reserved16[12];
    menu_entry* entries;
    int32_t count;
    menu_visible_items visibleItems;
};
static_assert(offsetof(menu_popup_info, menu) == 12);
static_assert(offsetof(menu_popup_info, entries) == 28);
static_assert(offsetof(menu_popup_info, count) == 32);
static_assert(offsetof(menu_popup_info, visibleItems) == 36);

// ---- options page ---------------------------------------------------------------------------

constexpr int optionsShow = 1;
constexpr int optionsHide = 2;
constexpr int optionsApplyClose = 3;
constexpr int optionsApply = 4;
constexpr int optionsClose = 5;
constexpr int32_t optionsFlagBigIcon = 2;

struct options_page_info {
    int32_t size;  // 36
    const char* pageName;
    int32_t reserved8;
    const char* group;
    int32_t kind;  // 3
    int32_t reserved20;
    HBITMAP iconSmall;
    OptionsPageCallbackFn callback;
    int32_t reserved32;
};
static_assert(sizeof(options_page_info) == 36);
static_assert(offsetof(options_page_info, pageName) == 4);
static_assert(offsetof(options_page_info, group) == 12);
static_assert(offsetof(options_page_info, kind) == 16);
static_assert(offsetof(options_page_info, iconSmall) == 24);
static_assert(offsetof(options_page_info, callback) == 28);

struct options_page_event {
    uint8_t reserved0[8];
    int32_t event;
    HWND parent;
    uint8_t reserved16[4];
    int32_t x, y, width, height;
    COLORREF background;
    int32_t flags;
    char title[256];
    char description[1024];
    HBITMAP iconBig;
};
static_assert(sizeof(options_page_event) == 1328);
static_assert(offsetof(options_page_event, event) == 8);
static_assert(offsetof(options_page_event, parent) == 12);
static_assert(offsetof(options_page_event, x) == 20);
static_assert(offsetof(options_page_event, height) == 32);
static_assert(offsetof(options_page_event, background) == 36);
static_assert(offsetof(options_page_event, flags) == 40);
static_assert(offsetof(options_page_event, title) == 44);
static_assert(offsetof(options_page_event, description) == 300);
static_assert(offsetof(options_page_event, iconBig) == 1324);

#pragma pack(pop)

}  // namespace kiv::abi
