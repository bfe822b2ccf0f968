#pragma once
// Resource and control ids of Varpick.

#define VARPICK_VERSION_BINARY 0, 3, 0, 0
#define VARPICK_VERSION_TEXT "0.03"

#define IDI_VARPICK 1

// frmMain
#define IDC_LABEL1          1001
#define IDC_FRAME1          1002
#define IDC_CMDRUN          1003
#define IDC_CMDADDMOD       1004
#define IDC_CMDSETMOD       1005
#define IDC_CMDSETVMT       1006
#define IDC_CMDDELETEALLMODS 1007
#define IDC_CMDOPTIONS      1008
#define IDC_CMDABOUT        1009
#define IDC_CMDQUIT         1010
#define IDC_FRAME2          1011
#define IDC_CBOMODS         1012
#define IDC_LBLCURRENTMOD   1013
