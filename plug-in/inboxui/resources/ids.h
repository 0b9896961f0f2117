// String, dialog and control ids of the UI plug-in's resources. Included by the .rc files and
// by the code, so only preprocessor definitions belong here.
#pragma once

// ---- Strings ----------------------------------------------------------------------------------

// Colour names offered for watermarks (the numbers are not in colour order).
#define IDS_COLOR_GRAY 6
#define IDS_COLOR_RED 7
#define IDS_COLOR_GREEN 8
#define IDS_COLOR_BLUE 9
#define IDS_COLOR_BLACK 25
#define IDS_COLOR_YELLOW 26
#define IDS_COLOR_PURPLE 27
#define IDS_COLOR_ORANGE 28
#define IDS_COLOR_NAVY 70
#define IDS_COLOR_AQUA 75
#define IDS_COLOR_WHITE 77
#define IDS_COLOR_BROWN 159
#define IDS_COLOR_PINK 160

// Fax cover page. The labels carry trailing blanks so the fields line up after them.
#define IDS_FAX_TITLE 10
#define IDS_FAX_PAGES_TO_FOLLOW 11
#define IDS_FAX_TO 12
#define IDS_FAX_RECIPIENT_NAME 13
#define IDS_FAX_RECIPIENT_FAX 14
#define IDS_FAX_FROM 15
#define IDS_FAX_SENDER_NAME 16
#define IDS_FAX_SENDER_COMPANY 17
#define IDS_FAX_SENDER_ADDRESS 18
#define IDS_FAX_SENDER_FAX 19
#define IDS_FAX_SENDER_VOICE 20
#define IDS_FAX_SENDER_EMAIL 21
#define IDS_FAX_COMMENTS 22
#define IDS_FAX_FONT_FACE 23
#define IDS_FAX_FONT_CHARSET 24  // decimal character set number

// About page.
#define IDS_ABOUT_NOT_AVAILABLE 55
#define IDS_ABOUT_COLUMN_FILE 56
#define IDS_ABOUT_COLUMN_VERSION 57
#define IDS_ABOUT_DRIVER_FORMAT 147   // "%s Driver"
#define IDS_ABOUT_VERSION_FORMAT 148  // "Version %s"

// Watermark messages, titles and labels.
#define IDS_ERR_OFFSET_VALUE 83
#define IDS_ERR_SELECT_WATERMARK 85
#define IDS_TITLE_ADD_WATERMARK 86
#define IDS_TITLE_EDIT_WATERMARK 87
#define IDS_WATERMARK_NONE 88
#define IDS_LABEL_ALL_PAGES 91
#define IDS_LABEL_OTHER_PAGES 92
#define IDS_LABEL_FIRST_PAGE 93
#define IDS_LABEL_ODD_PAGES 94
#define IDS_LABEL_EVEN_PAGES 95
#define IDS_ERR_NAME_EXISTS 98
#define IDS_ERR_SAVE_REGISTRY 99
#define IDS_ERR_FONT_SIZE 102
#define IDS_CONFIRM_REMOVE_WATERMARKS 103
#define IDS_ERR_REMOVE_REGISTRY 145
#define IDS_CAPTION_WARNING 149
#define IDS_ERR_NAME_IS_NONE 152

// The default watermark set.
#define IDS_DEFWM_DRAFT_TEXT 89
#define IDS_DEFWM_CONFIDENTIAL_TEXT 90
#define IDS_DEFWM_FONT 96
#define IDS_DEFWM_DRAFT_NAME 100
#define IDS_DEFWM_CONFIDENTIAL_NAME 101
#define IDS_DEFWM_USERNAME_NAME 174
#define IDS_DEFWM_USERNAME_TEXT 175
#define IDS_DEFWM_DATETIME_NAME 176
#define IDS_DEFWM_DATETIME_TEXT 177

// Dynamic watermark variables: tokens, the delimiter, the error, and the dialog's descriptions.
#define IDS_DYN_TOKEN_USERNAME 161
#define IDS_DYN_TOKEN_DATESHORT 162
#define IDS_DYN_TOKEN_DATELONG 163
#define IDS_DYN_TOKEN_DATEDDMMYYYY 164
#define IDS_DYN_TOKEN_TIME 165
#define IDS_DYN_TOKEN_TIMEMIL 166
#define IDS_DYN_TOKEN_TIMEHRMN 167
#define IDS_DYN_TOKEN_PAGENUMBER 168
#define IDS_DYN_TOKEN_HOSTNAME 169
#define IDS_DYN_TOKEN_PRINTER 170
#define IDS_DYN_TOKEN_MODELNAME 171
#define IDS_DYN_DELIMITER 172
#define IDS_DYN_INVALID_TEXT 173
#define IDS_DYN_TOKEN_PERCENT 191
#define IDS_DYN_DESC_USERNAME 200
#define IDS_DYN_DESC_DATESHORT 201
#define IDS_DYN_DESC_DATELONG 202
#define IDS_DYN_DESC_DATEDDMMYYYY 203
#define IDS_DYN_DESC_TIME 204
#define IDS_DYN_DESC_TIMEMIL 205
#define IDS_DYN_DESC_TIMEHRMN 206
#define IDS_DYN_DESC_PAGENUMBER 207
#define IDS_DYN_DESC_HOSTNAME 208
#define IDS_DYN_DESC_PRINTER 209
#define IDS_DYN_DESC_MODELNAME 210
#define IDS_DYN_DESC_PERCENT 211

// Personal profiles.
#define IDS_PROFILE_FACTORY_DEFAULTS 178
#define IDS_PROFILE_UNKNOWN 179

// ---- About page -------------------------------------------------------------------------------

#define IDD_ABOUT_DOC 137  // document property sheet
#define IDD_ABOUT_PRN 109  // printer property sheet
#define IDC_ABOUT_DRIVER 1165
#define IDC_ABOUT_VERSION 1080
#define IDC_ABOUT_FIXED 1164
#define IDC_ABOUT_IMAGE 1166
#define IDC_ABOUT_FILES 1081
#define IDD_DYNAMIC_WATERMARKS 101
#define IDC_DYN_TEXT 1000
#define IDC_DYN_LIST 1001
#define IDC_DYN_ADD 1002

// ---- Output Options page and the fax cover page dialog (1500-1599 for what has no number) ------

#define IDD_OUTPUT_OPTIONS 128
#define IDD_FAX_COVER 1500
#define IDC_OUT_GROUP 1215
#define IDC_OUT_DESTINATION 1084
#define IDC_OUT_USER_LABEL 1087
#define IDC_OUT_USER 1085
#define IDC_OUT_PIN_LABEL 1088
#define IDC_OUT_PIN 1086
#define IDC_OUT_KEEP 1211
#define IDC_FAX_GROUP 1138
#define IDC_FAX_NAME_LABEL 1142
#define IDC_FAX_NAME 1124
#define IDC_FAX_NUMBER_LABEL 1136
#define IDC_FAX_NUMBER 1137
#define IDC_FAX_STATION_LABEL 1120
#define IDC_FAX_STATION 1121
#define IDC_FAX_RESOLUTION_LABEL 1139
#define IDC_FAX_RESOLUTION 1122
#define IDC_FAX_SEND_COVER 1141
#define IDC_FAX_SETUP_COVER 1140
#define IDC_COVER_RECIPIENT 1132
#define IDC_COVER_SENDER 1134
#define IDC_COVER_COMMENTS 1135
#define IDC_COVER_SENDER_NAME 1125
#define IDC_COVER_COMPANY 1126
#define IDC_COVER_ADDRESS 1127
#define IDC_COVER_SENDER_FAX 1123
#define IDC_COVER_VOICE 1128
#define IDC_COVER_EMAIL 1129
#define IDC_COVER_COMMENT_TEXT 1130
#define IDC_COVER_SENDER_NAME_LABEL 1143
#define IDC_COVER_COMPANY_LABEL 1144
#define IDC_COVER_ADDRESS_LABEL 1145
#define IDC_COVER_SENDER_FAX_LABEL 1146
#define IDC_COVER_VOICE_LABEL 1147
#define IDC_COVER_EMAIL_LABEL 1148
#define IDC_COVER_COMMENT_GROUP 1149

// Destination list texts, in destination order (value 0 to 7), the resolution, the messages.
#define IDS_OUT_PRINTER 1500
#define IDS_OUT_FILE 1501
#define IDS_OUT_EPS 1502
#define IDS_OUT_FAX 1503
#define IDS_OUT_CONFIDENTIAL 1504
#define IDS_OUT_RESERVE 1505
#define IDS_OUT_REPEAT 1506
#define IDS_OUT_VERIFY 1507
#define IDS_FAX_FINE 1510
#define IDS_ERR_USER_NAME_EMPTY 1520
#define IDS_ERR_USER_NAME_QUOTE 1521
#define IDS_ERR_PIN_SHORT 1522
#define IDS_ERR_PIN_CHARACTERS 1523
#define IDS_ERR_FAX_RECIPIENT 1524
#define IDS_ERR_FAX_NUMBER 1525
#define IDS_ERR_FAX_STATION 1526
#define IDS_ERR_COVER_PARTS 1527
// ---- Colour pages and dialogs -----------------------------------------------------------------

#define IDD_MANUAL_COLOR 107       // "Manual Color" page
#define IDD_MONO_QUALITY 229       // "Monochrome Print Quality" page
#define IDD_COLOR_CORRECTION 1720  // "Manual Color Correction Settings"
#define IDD_COLOR_BALANCE 1721     // "Configure Color Balance"
#define IDD_RGB_QUALITY 1722       // "RGB Print Quality"

// List texts; each list item carries its record value as item data.
#define IDS_CHOICE_PRINTER_SETTING 1700
#define IDS_CHOICE_OFF 1701
#define IDS_CHOICE_AUTO 1702
#define IDS_CHOICE_MANUAL 1703
#define IDS_CHOICE_ON 1704
#define IDS_CHOICE_SRGB_DISPLAY 1705
#define IDS_CHOICE_SRGB_VIVID 1706
#define IDS_CHOICE_VIVID 1707
#define IDS_CHOICE_TRUE_BLACK 1708
#define IDS_CHOICE_US_CMYK 1709
#define IDS_CHOICE_EURO_CMYK 1710
#define IDS_CHOICE_VIVID_CMYK 1711

// "Manual Color" page.
#define IDC_CORRECTION_LIST 1172
#define IDC_CONFIGURE_CORRECTION 1228
#define IDC_BALANCE_LIST 1179
#define IDC_CONFIGURE_BALANCE 1231
#define IDC_TONER_LABEL 1186
#define IDC_TONER_LIST 1198
#define IDC_CONFIGURE_QUALITY 1253
// "Manual Color Correction Settings".
#define IDC_RGB_IMAGE_LIST 1178
#define IDC_RGB_TEXT_LIST 1181
#define IDC_RGB_GRAPHICS_LIST 1180
#define IDC_CMYK_LIST 1032
// "Configure Color Balance".
#define IDC_BALANCE_CYAN 1182
#define IDC_BALANCE_MAGENTA 1193
#define IDC_BALANCE_YELLOW 1195
#define IDC_BALANCE_BLACK 1197
// "RGB Print Quality": its saturation bar shares 1253 with the page's quality button, its fine
// lines box 1241 with the monochrome page's.
#define IDC_RGB_BRIGHTNESS 1250
#define IDC_RGB_CONTRAST 1249
#define IDC_RGB_SATURATION 1253
#define IDC_RGB_FINE_LINES 1241
// "Monochrome Print Quality" page.
#define IDC_MONO_BRIGHTNESS 1252
#define IDC_MONO_CONTRAST 1251
#define IDC_MONO_GRAY_CORRECTION 1254
#define IDC_MONO_FINE_LINES 1241
// ---- Watermark page and its dialogs ----------------------------------------------------------

#define IDD_WM_REMOVE 135  // "Select Watermark(s) to Remove"
#define IDD_WM_PICK 136    // "Select a Watermark to Edit"
#define IDC_WM_REMOVE_LIST 1039
#define IDC_WM_REMOVE 1040
#define IDC_WM_PICK_LIST 1169
#define IDD_WM_POSITION 221  // "Position Watermark"
#define IDC_POS_TOP 1221
#define IDC_POS_VCENTER 1222
#define IDC_POS_BOTTOM 1223
#define IDC_POS_VOFFSET_LABEL 1061
#define IDC_POS_VOFFSET 226
#define IDC_POS_VSPIN 227
#define IDC_POS_LEFT 1225
#define IDC_POS_HCENTER 1226
#define IDC_POS_RIGHT 1227
#define IDC_POS_HOFFSET_LABEL 1062
#define IDC_POS_HOFFSET 1053
#define IDC_POS_HSPIN 1054
#define IDC_POS_UNITS 1057
#define IDC_POS_INCHES 1059
#define IDC_POS_MILLIMETRES 1060
#define IDC_POS_PREVIEW 1171
#define IDC_POS_CENTER 1230
#define IDD_WM_EDIT 132  // "Create Watermark", retitled Add or Edit
#define IDC_WME_NAME_LABEL 1156
#define IDC_WME_NAME 1157
#define IDC_WME_TEXT_LABEL 1110
#define IDC_WME_TEXT 1093
#define IDC_WME_DYNAMIC 1229
#define IDC_WME_CONFIGURE 1003
#define IDC_WME_FONT_LABEL 1111
#define IDC_WME_FONT 1096
#define IDC_WME_SIZE_LABEL 1113
#define IDC_WME_SIZE 1097
#define IDC_WME_COLOR_LABEL 1114
#define IDC_WME_COLOR 1100
#define IDC_WME_STYLE_GROUP 1112
#define IDC_WME_STRIKEOUT 1090
#define IDC_WME_ITALIC 1159
#define IDC_WME_UNDERLINE 1091
#define IDC_WME_BOLD 1158
#define IDC_WME_OUTLINE 1092
#define IDC_WME_INTENSITY_LABEL 1115
#define IDC_WME_INTENSITY 1095
#define IDC_WME_INTENSITY_SPIN 1109
#define IDC_WME_ANGLE_LABEL 1117
#define IDC_WME_ANGLE 1098
#define IDC_WME_ANGLE_SPIN 1099
#define IDC_WME_PREVIEW 1171
#define IDC_WME_POSITION 1218
// ---- Watermark page ---------------------------------------------------------------------------

#define IDD_WATERMARK 106  // "Watermark"
#define IDC_WM_ORDER_GROUP 1069
#define IDC_WM_ORDER_NONE 1155
#define IDC_WM_ORDER_ALL 1154
#define IDC_WM_ORDER_FIRST 1047  // First Page/Other Pages, order 3
#define IDC_WM_ORDER_ODD 1048    // Odd Pages/Even Pages, order 2
#define IDC_WM_SELECTION_GROUP 1070
#define IDC_WM_FIRST_LABEL 1055
#define IDC_WM_FIRST_LIST 1049
#define IDC_WM_OTHER_LABEL 1056
#define IDC_WM_OTHER_LIST 1050
#define IDC_WM_ADD 1153
#define IDC_WM_EDIT 1167
#define IDC_WM_REMOVE_BUTTON 1163
#define IDC_WM_PLACEMENT_GROUP 1071
#define IDC_WM_UNDER 1030
#define IDC_WM_OVER 1031
// ---- Profiles page and the "Save a Personal Profile" dialog (1800-1899 for what has no number) --

#define IDD_PROFILES 225
#define IDD_PROFILE_NAME 1800  // "Save a Personal Profile", for Save and for Rename
#define IDC_PROFILE_LIST_LABEL 1052
#define IDC_PROFILE_LIST 1051
#define IDC_PROFILE_SAVE 1054
#define IDC_PROFILE_LOAD 1053
#define IDC_PROFILE_CHANGE 1055
#define IDC_PROFILE_RENAME 1056
#define IDC_PROFILE_DELETE 1057
#define IDC_PROFILE_FACTORY 1062
#define IDC_PROFILE_LOADED_LABEL 1058
#define IDC_PROFILE_LOADED 1020
#define IDC_PROFILE_REMINDER 1059
#define IDC_PROFILE_NAME 1020
#define IDC_PROFILE_NAME_HINT 1801
#define IDC_PROFILE_NAME_RULES 1802
// The message box caption and messages; those with "%s" take the profile's name as an argument.
#define IDS_PROFILE_CAPTION 1800
#define IDS_PROFILE_CONFIRM_CHANGE 1801
#define IDS_PROFILE_CONFIRM_DELETE 1802
#define IDS_PROFILE_ERR_TRAILING_SPACE 1803
#define IDS_PROFILE_ERR_RESERVED 1804
#define IDS_PROFILE_ERR_CHARACTERS 1805
#define IDS_PROFILE_ERR_EXISTS 1806
