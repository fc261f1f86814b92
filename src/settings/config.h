// Every global setting of the module and its file, kiv.config in the user's profile folder.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/milliseconds.h"

namespace kiv {

// The corner the stack of notifications grows from (the setting bindpos); any other value is
// the bottom right.
enum stackCorner : int32_t { cornerBottomRight = 0, cornerBottomLeft, cornerTopLeft, cornerTopRight };
bool isTopCorner(int32_t bindpos);
bool isLeftCorner(int32_t bindpos);

// The value itself when it is a key as the hot-key control gives it, otherwise 0 (none).
int32_t hotKeyOrNone(int32_t value);

inline constexpr const char* firstRunDarkScheme = "dark.kivs";

struct limits {
    int32_t lowest;
    int32_t highest;
};

class config {
public:
    explicit config(const char* settingsFile);
    ~config();
    config(const config&) = delete;
    config& operator=(const config&) = delete;

    void load();
    void save();
    limits limitsOf(const int32_t& field);

    const char* settingsPath;
    bool keepFile = false;  // the file could not be read at start-up: never written over

    bool silent = false;
    bool showsilent = true;
    bool fullscreenautooff = true;
    bool ignoremub = false;
    bool noautoclose = false;
    char scheme[128] = "standard.kivs";
    int32_t effect = 0;
    bool effectclose = false;
    int32_t visibletime = 5;
    bool rearrangewindows = true;
    bool newatbegin = false;
    bool showdesc = true;
    bool showmessage = true;
    bool clickclose = false;
    bool clickopenchat = false;
    bool msgshowwhenbgonly = false;
    int32_t bindpos = 0;
    int32_t bindX = 2;
    int32_t bindY = 2;
    int32_t space = 2;
    int32_t contactformat = 2;
    int32_t alpha = 0;
    int32_t autoheightchars = 0;
    int32_t autoheightrows = 5;
    bool loginignore = true;
    int32_t maxonscreen = 0;
    bool offlogin = false;
    bool offonline = false;
    bool offmessage = false;
    bool offmessagechatstart = false;
    bool offmessagechat = false;
    bool offfile = false;
    bool offvoice = false;
    bool offemail = false;
    char filelogintlen[260] = "";
    char filelogingg[260] = "";
    char fileemail[260] = "";
    int32_t loginignoretime = 10;
    bool hoverhold = false;
    int32_t idlehold = 0;
    int32_t history = 0;
    bool missedsummary = false;
    bool eventlog = false;
    int32_t monitor = 0;
    bool groupmessages = false;
    int32_t quietfrom = -1;
    int32_t quietto = -1;
    bool actionmenu = false;
    // Keys that work whatever window has the focus, stored as the hot-key control gives them
    // (HKM_GETHOTKEY): the virtual key in the low byte, HOTKEYF_SHIFT, _CONTROL, _ALT and _EXT in
    // the next. 0 is none, and so is a value without a key or with any other bit.
    int32_t hotkeyclose = 0;
    int32_t hotkeyhistory = 0;
    // The scheme while the system's programs use the dark theme; empty: scheme in both themes. A
    // profile made on the first run gets the dark scheme that comes with kiv.
    char darkscheme[128] = "";

    // Each key once, in file order, with its default: load and save both walk this list. The
    // bounded keys are clamped into their range as they are read; a paged key is only made
    // usable (not below its lowest), its highest being what the options page stores.
    template <class Visitor>
    void visitSettings(Visitor& v);
};

template <class Visitor>
void config::visitSettings(Visitor& v) {
    v.flag("general", "silent", silent, 0);
    v.flag("general", "showsilent", showsilent, 1);
    v.flag("general", "fullscreenautooff", fullscreenautooff, 1);
    v.text("window", "scheme", scheme, "standard.kivs");
    v.number("window", "effect", effect, 0);
    v.flag("window", "effectclose", effectclose, 0);
    v.paged("window", "visibletime", visibletime, 5, 0, 99);
    v.flag("window", "rearrangewindows", rearrangewindows, 1);
    v.flag("window", "newatbegin", newatbegin, 0);
    v.flag("window", "showdesc", showdesc, 1);
    v.flag("window", "showmessage", showmessage, 1);
    v.flag("window", "clickclose", clickclose, 0);
    v.flag("window", "clickopenchat", clickopenchat, 0);
    v.flag("window", "msgshowwhenbgonly", msgshowwhenbgonly, 0);
    v.number("window", "bindpos", bindpos, 0);
    v.pair("window", "bind", bindX, bindY, "2,2");
    v.number("window", "space", space, 2);
    v.number("window", "contactformat", contactformat, 2);
    v.number("window", "alpha", alpha, 0);
    v.paged("window", "autoheightchars", autoheightchars, 0, 0, 512);
    v.paged("window", "autoheightrows", autoheightrows, 5, 0, 512);
    v.flag("window", "loginignore", loginignore, 1);
    v.paged("window", "maxonscreen", maxonscreen, 0, 0, 99);
    v.text("sound", "filelogintlen", filelogintlen, "");
    v.text("sound", "filelogingg", filelogingg, "");
    v.text("sound", "fileemail", fileemail, "");
    v.flag("sound", "offlogin", offlogin, 0);
    v.flag("sound", "offonline", offonline, 0);
    v.flag("sound", "offmessage", offmessage, 0);
    v.flag("sound", "offmessagechatstart", offmessagechatstart, 0);
    v.flag("sound", "offmessagechat", offmessagechat, 0);
    v.flag("sound", "offfile", offfile, 0);
    v.flag("sound", "offvoice", offvoice, 0);
    v.flag("sound", "offemail", offemail, 0);
    v.readOnlyNumber("hidden", "loginignoretime", loginignoretime, 10);
    v.flag("ztk", "ignoremub", ignoremub, 0);
    v.flag("ztk", "noautoclose", noautoclose, 0);
    v.flag("extra", "hoverhold", hoverhold, 0);
    v.bounded("extra", "idlehold", idlehold, 0, 0, 3600);
    v.bounded("extra", "history", history, 0, 0, 500);
    v.flag("extra", "missedsummary", missedsummary, 0);
    v.flag("extra", "eventlog", eventlog, 0);
    v.bounded("extra", "monitor", monitor, 0, 0, 2);
    v.flag("extra", "groupmessages", groupmessages, 0);
    v.minuteOfDay("extra", "quietfrom", quietfrom);
    v.minuteOfDay("extra", "quietto", quietto);
    v.flag("extra", "actionmenu", actionmenu, 0);
    v.hotKey("extra", "hotkeyclose", hotkeyclose);
    v.hotKey("extra", "hotkeyhistory", hotkeyhistory);
    v.text("extra", "darkscheme", darkscheme, "");
}

}  // namespace kiv
