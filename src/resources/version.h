// The module's version, one number a byte: plugin_info, the version resource and tools/make-dist
// all read it from here.
#pragma once

#define KIV_VERSION_MAJOR 0
#define KIV_VERSION_MINOR 1
#define KIV_VERSION_PATCH 1
#define KIV_VERSION_BUILD 7

#define KIV_VERSION_NUMBER \
    ((KIV_VERSION_MAJOR << 24) | (KIV_VERSION_MINOR << 16) | (KIV_VERSION_PATCH << 8) | KIV_VERSION_BUILD)

#define KIV_TEXT_OF(x) #x
#define KIV_DOTTED(a, b, c, d) KIV_TEXT_OF(a) "." KIV_TEXT_OF(b) "." KIV_TEXT_OF(c) "." KIV_TEXT_OF(d)
#define KIV_VERSION_TEXT KIV_DOTTED(KIV_VERSION_MAJOR, KIV_VERSION_MINOR, KIV_VERSION_PATCH, KIV_VERSION_BUILD)
