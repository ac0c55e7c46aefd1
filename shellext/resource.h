#pragma once
// Every resource identifier of flintpop64.dll; shared with flintpop64.rc, English.rc and
// Japanese.rc.

// The submenu of the classic menu; without its access key, the title of Windows 11's command.
#define IDS_SUBMENU 100

// The six tools' menu texts, in the menus' order.
#define IDS_ITEM_PROMPT 110
#define IDS_ITEM_CLEAN 111
#define IDS_ITEM_HASH 112
#define IDS_ITEM_TIME 113
#define IDS_ITEM_HIDEMARU 114
#define IDS_ITEM_VERIFY 115

// Their help texts: the classic menu's status line, Windows 11's tooltips.
#define IDS_HELP_PROMPT 120
#define IDS_HELP_CLEAN 121
#define IDS_HELP_HASH 122
#define IDS_HELP_TIME 123
#define IDS_HELP_HIDEMARU 124
#define IDS_HELP_VERIFY 125
