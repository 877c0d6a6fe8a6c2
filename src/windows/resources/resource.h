// SPDX-License-Identifier: GPL-3.0-or-later
// The numbers of the program's resources (lumiscribe.rc), shared by the code that loads them.
#pragma once

#define IDI_LUMISCRIBE 1
#define IDR_PREVIEW_STILL 101
#define IDD_CHANGE_PASSWORD 201
#define IDC_EXPLANATION 1001
#define IDC_DISPLAY_LOGON 1002

// The Setup dialog ("/c"): the frame with the tab control, its three pages and the button row.
// Each control's tool tip is the string of the same number (STRINGTABLE).
#define IDD_SETUP 300
#define IDD_SETUP_OPTIONS 301
#define IDD_SETUP_MUSIC 302
#define IDD_SETUP_MORE 303
#define IDD_SETUP_BUTTONS 304

#define IDC_SSTAB1 1100
// The button row.
#define IDC_CMDABOUT 1110
#define IDC_CMDWEBSITE 1111
#define IDC_CMDHELP 1112
#define IDC_CMDOK 1113
// The "Options" page.
#define IDC_LIST1 1120
#define IDC_CMDADD 1121
#define IDC_CMDCLEAR 1122
#define IDC_CMDDELETE 1123
#define IDC_LBLNUM 1124
#define IDC_LABEL2 1125
#define IDC_CMDADDFOLDER 1126
#define IDC_FRAME1 1130
#define IDC_OPTBG0 1131  // to IDC_OPTBG0 + 3
#define IDC_CMDADDBG 1135
#define IDC_LBLBG 1136
#define IDC_LABEL18 1140
#define IDC_HSBMOUSES 1141
#define IDC_LABEL32 1142
#define IDC_TXTMOUSES 1143
#define IDC_LABEL33 1144
#define IDC_CMDRESTORE 1145
#define IDC_FRAME6 1150
#define IDC_CHKCALENDAR 1151
#define IDC_LABEL17 1152
#define IDC_HSBDELAY 1153
#define IDC_LBLDELAY 1154
#define IDC_LABEL4 1155
// The "Music" page.
#define IDC_CHKMUSIC 1200
#define IDC_CHKMIDI0 1210  // to IDC_CHKMIDI0 + 9
#define IDC_CMDTEST0 1220  // to IDC_CMDTEST0 + 9
#define IDC_LINE1 1230
#define IDC_COMMAND1 1231
#define IDC_LABEL19 1232  // to IDC_LABEL19 + 3
#define IDC_LABEL46 1236
#define IDC_CBOSOUNDOFF 1237
// The "More" page.
#define IDC_CHKFITLARGE 1300
#define IDC_CHKSHUFFLE 1301
#define IDC_CHKPHOTODATE 1302
#define IDC_CHKLOCKSCREEN 1303
#define IDC_LBLLOCKNOTE 1304
