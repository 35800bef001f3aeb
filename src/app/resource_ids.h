// Resource ids shared by res/lumora.rc and the program, and the command ids
// of the launcher window's controls and menu items.
#pragma once

#define IDI_LUMORA 1
#define IDI_TRAY 2
// imgDefIcon and imgWebIcon: the default and the web entry icon.
#define IDI_DEFICON 3
#define IDI_WEBICON 4

// Controls of the launcher window.
#define IDC_LSTMAIN 100
#define IDC_EDTCOMMAND 101
#define IDC_PANELCOMMAND 102
#define IDC_BTNCONF 103

// The main menu popsMain.
#define IDM_ABOUT 200
#define IDM_HELP 201
#define IDM_ADDITEM 202
#define IDM_CHECKANDREMOVE 203
#define IDM_LAUNCHEDITNOTE 204
#define IDM_SORTTIME 205
#define IDM_SORTCOUNT 206
#define IDM_SORTNAME 207
#define IDM_HOTKEYCHANGE 208
#define IDM_HOTKEYRESTART 209
#define IDM_INSTALL 210
#define IDM_UNINSTALL 211
#define IDM_OPENSETDIR 212
#define IDM_CHANGETRAYICON 213
#define IDM_CLEARICONCACHE 214
#define IDM_HOTKEYMOVECUR 215
#define IDM_HOTKEYMOVEWIN 216
#define IDM_OPENSENDTO 217
#define IDM_OPENCALC 218
#define IDM_LUMORAWEB 219
#define IDM_RESTARTLAUNCH 220
#define IDM_COMPLETECLOSE 221
#define IDM_OPEN 222
#define IDM_CLOSE 223

// The entry menu popsFile.
#define IDM_EDITITEM 300
#define IDM_DELITEM 301
#define IDM_EXECWITHARGFILE 302
#define IDM_EXECWITHARGSTR 303
#define IDM_OPENTARGETDIR 304
