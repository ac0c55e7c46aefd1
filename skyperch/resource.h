#pragma once
// Every resource and control identifier of Skyperch; shared with Skyperch.rc, English.rc
// and Japanese.rc.

#define IDI_SKYPERCH 128
#define IDD_SKYPERCH 129

#define IDI_FINDER_FULL 5
#define IDI_FINDER_EMPTY 203
#define IDC_FINDER_TARGET 204

#define IDC_FINDER 204
#define IDC_CLASS_TEXT 1000
#define IDC_TYPE_TEXT 1001
#define IDC_FINDER_LABEL 1002
#define IDC_CLASS_LABEL 1003
#define IDC_TYPE_LABEL 1004
#define IDC_CHANGE 1005
#define IDC_TITLE_TEXT 1006

// Texts of the code, in the string tables of English.rc and Japanese.rc.
#define IDS_PICK_GONE 300
