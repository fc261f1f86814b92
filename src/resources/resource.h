// Identifiers of the module's dialog templates.
#pragma once

#define IDD_FILTER_SETUP 101
#define IDD_OPTIONS 102
