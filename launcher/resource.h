#pragma once
// Resource and control ids of Varpick, and its name and version, which the version resource
// and the about box both take from here.

#define VARPICK_TITLE "Varpick"
#define VARPICK_VERSION_MAJOR 0
#define VARPICK_VERSION_MINOR 3
#define VARPICK_VERSION_REVISION 0
#define VARPICK_VERSION_BINARY VARPICK_VERSION_MAJOR, VARPICK_VERSION_MINOR, VARPICK_VERSION_REVISION, 0
#define VARPICK_VERSION_TEXT "0.03"

#define IDI_VARPICK 1

// frmMain
#define IDD_FRMMAIN          1000
#define IDC_LABEL1           1001
#define IDC_FRAME1           1002
#define IDC_CMDRUN           1003
#define IDC_CMDADDMOD        1004
#define IDC_CMDSETMOD        1005
#define IDC_CMDSETVMT        1006
#define IDC_CMDDELETEALLMODS 1007
#define IDC_CMDOPTIONS       1008
#define IDC_CMDABOUT         1009
#define IDC_CMDQUIT          1010
#define IDC_FRAME2           1011
#define IDC_CBOMODS          1012
#define IDC_LBLCURRENTMOD    1013
#define IDM_SETASCURRENT     1014  // the mod list's context menu
#define IDM_REMOVEFROMLIST   1015
#define IDM_CREATESHORTCUT   1016

// frmOptions. OK is not IDOK: Enter must not press it. Cancel is IDCANCEL, so Esc presses it.
#define IDD_FRMOPTIONS       1100
#define IDC_FRAOPTIONS       1101
#define IDC_OPTIONS_LABEL1   1102
#define IDC_TXTEXEPATH       1103
#define IDC_OPTIONS_LABEL2   1104
#define IDC_CBOSKIN          1105
#define IDC_OPTIONS_CMDOK    1106
#define IDC_OPTIONS_CMDCANCEL 2
#define IDC_CMDAPPLY         1107
#define IDC_CMDBROWSE        1108

// frmAbout. OK is IDOK, the default button; Esc sends IDCANCEL, which the box takes as OK too.
#define IDD_FRMABOUT         1200
#define IDC_IMAGE1           1201
#define IDC_LBLTITLE         1202
#define IDC_LBLVERSION       1203
#define IDC_ABOUT_LABEL1     1204
#define IDC_ABOUT_CMDOK      1
#define IDC_CMDSYSINFO       1205
