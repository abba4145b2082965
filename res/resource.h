// Every dialog, control, string, icon and bitmap id of Netsonde, named once.
// Included by the resource script and by the Win32 front-end files.
#pragma once

// Dialog templates.
#define IDD_ABOUT 100
#define IDD_SCAN_LIST 133
#define IDD_CHANGE 134
#define IDD_ADAPTER_SELECT 136
#define IDD_CHANGE_SEVERAL 137

// Strings, icon and bitmap.
#define IDS_SOCKETS_INIT_FAILED 103
#define IDI_NETSONDE 128
#define IDB_BANNER 138

// Scan List window (dialog 133). Cancel is IDCANCEL (2).
#define IDC_SCAN_RESCAN 1017
#define IDC_SCAN_DEVICE_LIST 1019
#define IDC_SCAN_CHANGE 1020
#define IDC_SCAN_SELECT_ADAPTER 1021
#define IDC_SCAN_ABOUT 1034
#define IDC_SCAN_WEB_CONFIG 1044

// Change dialog (dialog 134). OK is IDOK (1), Cancel is IDCANCEL (2).
#define IDC_CHANGE_SYSTEM_NAME 1021
#define IDC_CHANGE_TFTP_SERVER 1022
#define IDC_CHANGE_GATEWAY 1023
#define IDC_CHANGE_STATIC 1024
#define IDC_CHANGE_IP_ADDRESS 1025
#define IDC_CHANGE_IMAGE_FILE 1026
#define IDC_CHANGE_PASSWORD 1027
#define IDC_CHANGE_SUBNET_MASK 1028
#define IDC_CHANGE_DYNAMIC 1029
#define IDC_CHANGE_MAC_ADDRESS 1030
#define IDC_CHANGE_PASSWORD_LABEL 1033
#define IDC_CHANGE_WEB_CONFIG 1043

// Adapter selection (dialog 136). OK is IDOK (1); its Cancel button is not IDCANCEL.
#define IDC_ADAPTER_COMBO 1041
#define IDC_ADAPTER_PROMPT 1042
#define IDC_ADAPTER_CANCEL 1046

// Change Several Devices (dialog 137). Close is IDCANCEL (2).
#define IDC_SEVERAL_DEVICES_LABEL 1101
#define IDC_SEVERAL_DEVICE_LIST 1102
#define IDC_SEVERAL_CHECK_ALL 1103
#define IDC_SEVERAL_CHECK_NONE 1104
#define IDC_SEVERAL_STATUS 1105
#define IDC_SEVERAL_TYPE_SET 1106
#define IDC_SEVERAL_STATIC 1107
#define IDC_SEVERAL_DYNAMIC 1108
#define IDC_SEVERAL_FIRST_IP_SET 1109
#define IDC_SEVERAL_FIRST_IP 1110
#define IDC_SEVERAL_STEP_LABEL 1111
#define IDC_SEVERAL_STEP 1112
#define IDC_SEVERAL_MASK_SET 1113
#define IDC_SEVERAL_MASK 1114
#define IDC_SEVERAL_GATEWAY_SET 1115
#define IDC_SEVERAL_GATEWAY 1116
#define IDC_SEVERAL_TFTP_SET 1117
#define IDC_SEVERAL_TFTP 1118
#define IDC_SEVERAL_IMAGE_SET 1119
#define IDC_SEVERAL_IMAGE 1120
#define IDC_SEVERAL_PASSWORD_SET 1121
#define IDC_SEVERAL_PASSWORD 1122
#define IDC_SEVERAL_PREVIEW 1123
#define IDC_SEVERAL_APPLY 1124
#define IDC_SEVERAL_STOP 1125
#define IDC_SEVERAL_SAVE_REPORT 1126

// The device list's row menu (built in code); the menu's order is set where it is built.
#define IDM_ROW_CHANGE 40001
#define IDM_ROW_WEB_CONFIG 40002
#define IDM_ROW_COPY_MAC 40003
#define IDM_ROW_COPY_IP 40004
#define IDM_ROW_COPY_ROW 40005
#define IDM_ROW_CHANGE_SEVERAL 40006  // shown right after Change...
#define IDM_ROW_SAVE_LIST 40007       // shown last

// The unnumbered static id of the templates.
#define IDC_STATIC_UNNUMBERED (-1)
