// Resource identifiers of SheetMover.
#pragma once

#define IDD_USAGE                       100
#define IDS_ABOUTBOX                    101
#define IDD_CONVERTER                   102
#define IDR_MAINFRAME                   128
#define IDI_REMOVE_MAPPING              129
#define IDI_EXIT                        130
#define IDI_CREATE_MAPPING              131
#define IDI_DESTINATION                 132
#define IDI_CONVERT                     133
#define IDI_BROWSE                      134
#define IDI_COLUMN_ROW                  135
#define IDI_MAPPING_ROW                 136
#define IDD_DB_CONFIG                   137
#define IDI_OK_IDLE                     138
#define IDI_RETURN_IDLE                 139
#define IDC_LINK_HAND                   140
#define IDI_HOWTO                       141
#define IDI_RETURN_ACTIVE               142
#define IDI_OK_ACTIVE                   143

#define IDC_CREATE_MAPPING              4
#define IDC_REMOVE_MAPPING              3
#define IDC_HOWTO                       5
#define IDC_MAPPING_LIST                1000
#define IDC_SOURCE_GROUP                1001
#define IDC_DEST_GROUP                  1002
#define IDC_EXCEL_CAPTION               1003
#define IDC_EXCEL_PATH                  1004
#define IDC_BROWSE_EXCEL                1005
#define IDC_FIELDS_CAPTION              1006
#define IDC_FIELD_LIST                  1007
#define IDC_SERVER_CAPTION              1008
#define IDC_DESTINATION                 1009
#define IDC_SERVER                      1010
#define IDC_TABLES_CAPTION              1011
#define IDC_TABLE_COMBO                 1012
#define IDC_COLUMN_LIST                 1013
#define IDC_MAPPING_CAPTION             1014
#define IDC_DB_NAME_CAPTION             1015
#define IDC_DB_NAME                     1016
#define IDC_CREDIT                      1017
#define IDC_LOGIN_CAPTION               1017
#define IDC_WEB_LINK                    1018
#define IDC_LOGIN                       1018
#define IDC_STATUS                      1019
#define IDC_PASSWORD_CAPTION            1019
#define IDC_PASSWORD                    1020
#define IDC_USAGE_TEXT                  1020
#define IDC_USAGE_HEADING               1021
#define IDC_USAGE_CREDIT                1022
#define IDC_BANNER                      1023
#define IDC_DB_CONFIG_CAPTION           1024

#define IDM_ABOUTBOX                    0x0010
#define IDT_BANNER                      1000
