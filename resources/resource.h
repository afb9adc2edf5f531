/* Resource and control identifiers, shared by pelmar.rc and the code. */
#ifndef PELMAR_RESOURCE_H
#define PELMAR_RESOURCE_H

/* Dialogs, icons, bitmaps */
#define IDD_MAIN                101
#define IDI_APP                 102
#define IDB_MAP                 103     /* 16 x 16, for 96 DPI */
#define IDD_ABOUT               105

/* The map picture drawn for the other scales: bitmaps of their own band */
#define IDB_MAP_20              110     /* 120 DPI */
#define IDB_MAP_24              111     /* 144 DPI */
#define IDB_MAP_32              112     /* 192 DPI */

/* Main window controls */
#define IDC_MAP_LIST            1001
#define IDC_MAP_PARAMS          1004
#define IDC_GAME_PARAMS         1005
#define IDC_FULLSCREEN          1006
#define IDC_LANGUAGE            1007
#define IDC_LANGUAGE_LABEL      1008
#define IDC_WINDOW_MODE         1012
#define IDC_WINDOW_MODE_LABEL   1013
#define IDC_FULLSCREEN_MODE     1014
#define IDC_ABOUT               1015
#define IDC_RUN                 1017
#define IDC_PARAMS_GROUP        1024

/* About box controls */
#define IDC_ABOUT_OK            1020
#define IDC_ABOUT_ICON          1021
#define IDC_ABOUT_LINK          1022

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

#endif
