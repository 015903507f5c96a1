// Resource ids shared by the .rc file and the code.
#pragma once

// Dialog templates.
#define IDD_HOST            102
#define IDD_MESSAGE_BOX     130
#define IDD_UPDATE_PROGRESS 156
#define IDD_LOGIN           157
#define IDD_HOTKEYS         158
#define IDD_FAVOURITE       159
#define IDD_NOTICE          160
#define IDD_ADD_LOGIN       161
#define IDD_HALL_DOWNLOAD   163

// Icons.
#define IDI_MAIN            128
#define IDI_FAVOURITE       155

// Skin images: resource type "PNG", language 2052.
#define IDR_PNG_LOGIN_BACK      129
#define IDR_PNG_FRAME_LIGHT     131
#define IDR_PNG_CAPTION_CLOSE   132
#define IDR_PNG_PUSH_BUTTON     133
#define IDR_PNG_FRAME_DARK      134
#define IDR_PNG_CAPTION_MAX     135
#define IDR_PNG_CAPTION_MIN     136
#define IDR_PNG_CAPTION_RESTORE 137
#define IDR_PNG_CAPTION_HIDE    138
#define IDR_PNG_CAPTION_SYSTEM  139
#define IDR_PNG_TAB_BACK        140
#define IDR_PNG_TAB_CLOSE       141
#define IDR_PNG_PADLOCK         142
#define IDR_PNG_NOTICE_TALL     143
#define IDR_PNG_NOTICE_CLOSE    144
#define IDR_PNG_PICTURE_CLOSE   145
#define IDR_PNG_PICTURE_BACK    146
#define IDR_PNG_NOTICE_SHORT    147
#define IDR_PNG_SOUND_OFF       148
#define IDR_PNG_SOUND_ON        149
#define IDR_PNG_HALL_BUTTON1    150
#define IDR_PNG_HALL_BUTTON2    151
#define IDR_PNG_PROGRESS_TRACK  152
#define IDR_PNG_PROGRESS_FILL   153
#define IDR_PNG_ADD_LOGIN_BACK  162

// Controls of the host window (IDD_HOST).
#define IDC_HOST_HIDE      1001
#define IDC_HOST_SOUND     1002
#define IDC_HOST_SYSTEM    1003
#define IDC_HOST_ADD_LOGIN 1005

// Controls of the update progress (IDD_UPDATE_PROGRESS).
#define IDC_UPDATE_PROGRESS 1000

// Controls of the hot key settings (IDD_HOTKEYS).
#define IDC_HK_BOSS_LABEL     1006
#define IDC_HK_BOSS_EDIT      1007
#define IDC_HK_BOSS_EXAMPLE   1008
#define IDC_HK_SWITCH_LABEL   1009
#define IDC_HK_SWITCH_EDIT    1010
#define IDC_HK_SWITCH_EXAMPLE 1011
#define IDC_HK_SWITCH_GROUP   1012
#define IDC_HK_SOUND_GROUP    1013
#define IDC_HK_SOUND_EDIT     1014
#define IDC_HK_SOUND_EXAMPLE  1015
#define IDC_HK_SOUND_LABEL    1016
#define IDC_HK_BOSS_GROUP     1017

// Controls of the favourites dialog (IDD_FAVOURITE).
#define IDC_FAV_NAME 1018

// Controls of the notice pop-up (IDD_NOTICE).
#define IDC_NOTICE_PICTURE 1019
#define IDC_NOTICE_TITLE   1020
#define IDC_NOTICE_CONTENT 1021
#define IDC_NOTICE_DETAILS 1022

// Controls of the new-login choice (IDD_ADD_LOGIN).
#define IDC_ADD_LOGIN_TEXT 1023

// Controls of the game-hall download (IDD_HALL_DOWNLOAD).
#define IDC_HALL_PERCENT  1024
#define IDC_HALL_PROGRESS 1025
