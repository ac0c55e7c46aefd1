// Every resource and control identifier of VexQuilkit.
#pragma once

#define IDR_MAINFRAME 128  // application icon

// Dialog templates and menus
#define IDD_MAINDLG 129
#define IDD_TIMEDLG 202
#define IDD_EXTDLG 204
#define IDD_LOGDLG 205
#define IDD_HASHDLG 206
#define IDR_LOGMENU 207
#define IDD_HIDEPATHDLG 209

// Main dialog
#define IDC_STATIC_INSTALLER 101
#define IDC_INSTALL 1000
#define IDC_HIDEMARU 1001
#define IDC_UNINSTALL 1019
#define IDC_REGISTRATION 1023

// Options dialogs
#define IDC_STATIC_EXTENSIONS 108
#define IDC_SUBFOLDERS 1003
#define IDC_DATEPICKER 1008
#define IDC_TIMEPICKER 1011
#define IDC_FIXEDTIME 1013
#define IDC_EXTENSIONS 1015
#define IDC_MD5 1017
#define IDC_SHA1 1018
#define IDC_SHA256 1022
#define IDC_SHA512 1024
#define IDC_EXPECTED 1025
#define IDC_STATIC_EXPECTED 1026
#define IDC_STATIC_PASTED 1040
#define IDC_STATIC_DATE 1041
#define IDC_STATIC_TIME 1042

// Log window
#define IDC_LOG 1019
#define IDC_LOG_STATUS 1030
#define ID_LOG_STOP 32789
#define ID_LOG_COPY_CHECKSUMS 32790
#define ID_LOG_SAVE_CHECKSUMS 32791
#define ID_EDIT_COPY 57634
#define ID_EDIT_SELECT_ALL 57642

// Editor-path dialog
#define IDC_EDITORPATH 1020
#define IDC_SEARCH 1021
#define IDC_STATIC_EDITORREASON 1043
