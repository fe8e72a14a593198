// Resource ids shared by the resource script and the program.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_CLOCKFIX_DIALOG 102

#define IDC_CLOCK 1000
#define IDC_SYNC 1001
#define IDC_AUTOSYNC 1003
#define IDC_SYNCSPAN 1004
#define IDC_AUTORUN 1005
#define IDC_INFO 1006

// Controls the program never addresses.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDS_SYNCSPAN_30MIN 201
#define IDS_SYNCSPAN_1HOUR 202
#define IDS_SYNCSPAN_2HOURS 203
