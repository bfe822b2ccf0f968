#pragma once
// Resource and control ids of Vartune.

#define VARTUNE_VERSION_BINARY 0, 12, 0, 0
#define VARTUNE_VERSION_TEXT "0.12"

#define IDI_VARTUNE 1

// frmMain
#define IDD_FRMMAIN         2000
#define IDC_LABEL6          2001
#define IDC_CBOPRESET       2002
#define IDC_FRAME1          2003
#define IDC_LABEL1          2010
#define IDC_CBOPREFORMANCE  2011
#define IDC_LABEL2          2012
#define IDC_CBOBIT          2013
#define IDC_LABEL3          2014
#define IDC_CBORESOULTION   2015
#define IDC_LABEL4          2016
#define IDC_CBOSCREEN       2017
#define IDC_LABEL5          2018
#define IDC_CBOINTRO        2019
#define IDC_LABEL7          2020
#define IDC_CBOSOUND        2021
#define IDC_LABEL8          2022
#define IDC_CBOMUSIC        2023
#define IDC_CMDRESET        2030
#define IDC_CMDAPPLY        2031
#define IDC_CMDCLOSE        2032
