// SPDX-License-Identifier: GPL-3.0-or-later
// The numbers of the program's resources (lumiscribe.rc), shared by the code that loads them.
#pragma once

#define IDI_LUMISCRIBE 1
#define IDR_PREVIEW_STILL 101
#define IDD_CHANGE_PASSWORD 201
#define IDC_EXPLANATION 1001
#define IDC_DISPLAY_LOGON 1002
