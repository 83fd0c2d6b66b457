/* Numbers of TARN's dialogs, controls, pictures, menus, timers and texts.
 *
 * Plain defines only: the resource script, the user interface, the portable
 * core and the languages test all read this file, so it includes nothing and
 * uses nothing but integer literals (or another name of this file).
 *
 * The translator keeps one number space for texts, dialogs, controls and menu
 * commands: a dialog's caption is the text of its own number, a control's the
 * text of its number, a menu item's the text of its command. So the name of a
 * control says whether it shows a text of its own; the languages test holds
 * languages.ini to that:
 *   IDS_, IDD_, IDM_                  need a text in every language
 *   IDC_..._BUTTON _CHECK _RADIO _LABEL  need a text in every language
 *   IDC_..._EDIT _LIST _COMBO _PROGRESS _RICHEDIT _LINK _ICON _OUTPUT
 *                                     must have none: translating the dialog
 *                                     would overwrite what the program or the
 *                                     user put there
 *   IDB_, IDI_, IDR_, IDT_            are never looked up as texts
 * A pair NAME_FIRST / NAME_LAST stands for every number between them.
 */
#ifndef TARN_RESOURCE_H
#define TARN_RESOURCE_H

/* Buttons shared by several dialogs; the numbers are also the results with
 * which those dialogs end. */
#define IDC_OK_BUTTON 1
#define IDC_CANCEL_BUTTON 2
#define IDC_IGNORE_BUTTON 5
#define IDC_CHOOSE_BUTTON 12
#define IDC_FORMAT_BUTTON 13
#define IDC_USE_BUTTON 14
/* Statics without a number of their own keep their template text: 65535 for
 * the translator, so languages.ini must not have it. */
#define IDC_STATIC (-1)

/* Dialog templates. 113, 129, 130 and 131 are the four wizard pages; 111, 112,
 * 115 and 116 the pages of the account property sheet. */
#define IDD_ACCOUNT_CHOOSER 110
#define IDD_SHELL_FOLDERS 111
#define IDD_ACCOUNT 112
#define IDD_ACCOUNTS_PAGE 113
#define IDD_EDIT_VARIABLE 114
#define IDD_ENVIRONMENT 115
#define IDD_DELETED_ACCOUNT 116
#define IDD_FORMAT_DRIVE 117
#define IDD_ABOUT 118
#define IDD_MISSING_VOLUME 119
#define IDD_SETTINGS_PAGE 129
#define IDD_SOFTWARE_PAGE 130
#define IDD_STATUS_PAGE 131
#define IDD_CHANGED_FOLDERS 206

/* Pictures and icons. The account icons are listed in the order of the
 * account list's image list: new, new disabled, existing, existing disabled,
 * to be deleted, the property sheet's icon, and one no row uses. Icons and
 * menus are resources of their own types, so sharing a number with a text
 * (180 to 185, 197, 205) changes nothing: the translator looks numbers up only
 * as texts, dialogs, controls and menu commands. */
#define IDB_HEADER 1132     /* 49 x 49, wizard header and About dialog */
#define IDB_HEADER_150 1133 /* 74 x 74, the header at 150 % */
#define IDB_HEADER_200 1134 /* 98 x 98, the header at 200 % */
#define IDB_ABOUT_MENU 191  /* 12 x 17, the About entry of the system menu */
#define IDI_ACCOUNT_NEW 180
#define IDI_ACCOUNT_NEW_DISABLED 179
#define IDI_ACCOUNT_EXISTING 182
#define IDI_ACCOUNT_EXISTING_DISABLED 181
#define IDI_ACCOUNT_DELETED 184
#define IDI_ACCOUNT_SHEET 183
#define IDI_ACCOUNT_SPARE 185
#define IDI_CHANGED_FOLDER 205
/* 16, 32 and 48 pixels; the lowest icon number, which the shell shows for
 * the program file. */
#define IDI_PROGRAM 1

/* Menus and their commands. The system menu's About entry takes its text from
 * IDS_ABOUT_MENU, not from its command number, which an edit field of the
 * account page also carries (IDC_FULL_NAME_EDIT). */
#define IDM_ABOUT 1034
#define IDR_ACCOUNT_MENU 139
#define IDM_CREATE_ACCOUNT 32779
#define IDM_DELETE_ACCOUNT 32780
#define IDM_PROPERTIES 32781
#define IDM_REMOVE_ENTRY 32787
#define IDR_LOAD_MENU 197
#define IDM_LOAD_DEFAULTS 3300
#define IDM_BROWSE_FILE 3301
/* One item per configuration file beside the program, numbered upwards from
 * here and named after the file. */
#define IDM_CONFIG_FILE_BASE 3302

/* Timers. The drive dialogs count down with the same number as the pages'
 * automatic start; each timer belongs to its own window. */
#define IDT_AUTO_EXIT 1025
#define IDT_AUTO_INSTALL 1026
#define IDT_DRIVE_COUNTDOWN 1026
#define IDT_BEEP 1027
#define IDT_OSD 1028
#define IDT_ABORT_TICK 1031
#define IDT_AUTO_FINISH 1032

/* The Wizard97 sheet's own controls, numbered by the common controls; the
 * frame moves them and gives the buttons the wizard's language (Cancel is
 * IDC_CANCEL_BUTTON). */
#define IDC_SHEET_BACK_BUTTON 12323
#define IDC_SHEET_NEXT_BUTTON 12324
#define IDC_SHEET_FINISH_BUTTON 12325
#define IDC_SHEET_BUTTON_LINE 12326
#define IDC_SHEET_HEADER_LINE 12327

/* Wizard pages: title (the page's dialog number), header title and subtitle,
 * in wizard order. */
#define IDS_SETTINGS_PAGE_TITLE IDD_SETTINGS_PAGE
#define IDS_SETTINGS_HEADER_TITLE 150
#define IDS_SETTINGS_HEADER_SUBTITLE 151
#define IDS_ACCOUNTS_PAGE_TITLE IDD_ACCOUNTS_PAGE
#define IDS_ACCOUNTS_HEADER_TITLE 157
#define IDS_ACCOUNTS_HEADER_SUBTITLE 161
#define IDS_SOFTWARE_PAGE_TITLE IDD_SOFTWARE_PAGE
#define IDS_SOFTWARE_HEADER_TITLE 152
#define IDS_SOFTWARE_HEADER_SUBTITLE 153
#define IDS_STATUS_PAGE_TITLE IDD_STATUS_PAGE
#define IDS_STATUS_HEADER_TITLE 154
#define IDS_STATUS_HEADER_SUBTITLE 155

/* Start-up, the wizard frame and the command-line help. */
#define IDS_RESTART_MESSAGE 137
#define IDS_SETTINGS_ACCOUNT_COMMENT 173
#define IDS_OSD_TEXT 185 /* seconds left */
#define IDS_ABOUT_MENU 186
#define IDS_HELP_CAPTION 203
#define IDS_HELP_FIRST 300 /* joined in order up to IDS_HELP_LAST */
#define IDS_HELP_LAST 339
#define IDS_CANCEL_QUESTION 181
#define IDS_CANCEL_CAPTION 182
#define IDS_ALREADY_RUNNING 240
#define IDS_POLICY_RELAXED 241

/* Installation run: log lines and the status page's closing text. */
#define IDS_RUN_FAILED 140      /* display name, exit code */
#define IDS_RUN_NOT_STARTED 141 /* error code, display name */
#define IDS_RUN_FINISHED 143
#define IDS_RUN_SUCCEEDED 160 /* display name */

/* Settings page (dialog 129). */
#define IDC_NEW_USER_EDIT 1131
#define IDC_USER_PASSWORD_EDIT 1001
#define IDC_USER_CONFIRM_EDIT 1002
#define IDC_OWNER_EDIT 1142
#define IDC_ORG_EDIT 1144
#define IDC_COMPUTER_EDIT 1135
#define IDC_WORKGROUP_EDIT 1009
#define IDC_ADMIN_RIGHTS_CHECK 1028
#define IDC_AUTO_LOGON_CHECK 1023
#define IDC_USE_CURRENT_CHECK 1027
#define IDC_LOGGED_ON_LABEL 1005
#define IDC_NEW_USER_LABEL 1022
#define IDC_USER_PASSWORD_LABEL 1102
#define IDC_OWNER_LABEL 1103
#define IDC_ORG_LABEL 1104
#define IDC_COMPUTER_LABEL 1105
#define IDC_WORKGROUP_LABEL 1106
#define IDS_COMPUTER_NAME_INVALID_TEXT 132
#define IDS_COMPUTER_NAME_INVALID_TITLE 133
#define IDS_USER_NAME_INVALID_TEXT 134
#define IDS_USER_NAME_INVALID_TITLE 135
#define IDS_LOGGED_ON_AS 144 /* user name */
#define IDS_WORKGROUP_INVALID_TITLE 183
#define IDS_WORKGROUP_INVALID_TEXT 184
#define IDS_ADMIN_RIGHTS_TIP 198 /* user name */
#define IDS_AUTO_LOGON_TIP 199
#define IDS_USE_CURRENT_TIP 200
#define IDS_TIP_TITLE 201
#define IDS_AUTO_LOGON_UNCHANGED_TIP 202

/* User accounts page (dialog 113) and its shortcut menu. */
#define IDC_ACCOUNTS_LIST 1138
#define IDC_LOAD_ACCOUNTS_BUTTON 1127
#define IDC_PROPERTIES_BUTTON 1085
#define IDC_REMOVE_ACCOUNT_BUTTON 1057
#define IDC_CREATE_ACCOUNT_BUTTON 1149
#define IDS_ACCOUNT_NAME_COLUMN 168
#define IDS_ACCOUNT_DESCRIPTION_COLUMN 169
#define IDS_LOAD_ACCOUNTS_TITLE 180
#define IDS_DISABLE_OWN_ACCOUNT 188      /* account name */
#define IDS_DELETE_OWN_ACCOUNT 189       /* account name */
#define IDS_LOAD_ACCOUNTS_UNREADABLE 187 /* path */
#define IDS_USE_EXISTING_ACCOUNT 190     /* account name */

/* Software page (dialog 130) and its load menu. */
#define IDS_LOAD_UNREADABLE 207  /* path */
#define IDS_LOAD_NO_SOFTWARE 208 /* path */
#define IDC_SOFTWARE_LABEL 1112
#define IDC_SOFTWARE_LIST 1136
#define IDC_HELP_RICHEDIT 1012
#define IDC_SELECT_ALL_CHECK 1019
#define IDC_LOAD_SOFTWARE_BUTTON 1010
#define IDS_SOFTWARE_COLUMN 147
#define IDS_CONFIG_FILE_FILTER 148 /* "|" separates the parts */
#define IDS_LOAD_SOFTWARE_TITLE 149

/* Installation status page (dialog 131). */
#define IDC_RUN_PROGRESS 1006
#define IDC_SPARE_PROGRESS 1007
#define IDC_CURRENT_ENTRY_OUTPUT 1130
#define IDC_ABORT_BUTTON 1128
#define IDC_STATUS_LIST 1137
#define IDC_RESTART_CHECK 1129
#define IDS_STATUS_COLUMN 158

/* About dialog (118). */
#define IDC_ABOUT_TITLE_LABEL 1082
#define IDC_ABOUT_SUBTITLE_LABEL 1083
#define IDC_ABOUT_DESCRIPTION_LABEL 1084
#define IDC_VERSION_LABEL 1096
#define IDC_BUILD_DATE_LABEL 1097
#define IDC_HOMEPAGE_LABEL 1098
#define IDC_FORUM_LABEL 1099
#define IDC_TRANSLATION_LABEL 1101
#define IDC_VERSION_EDIT 1080
#define IDC_BUILD_DATE_EDIT 1156
/* Link markup with its target stays as the template has it. */
#define IDC_HOMEPAGE_LINK 120
#define IDC_FORUM_LINK 121
#define IDC_TRANSLATION_LINK 1158
/* The translation link's words; the target stays the template's. */
#define IDS_TRANSLATION_LINK_TEXT 3450

/* User account property sheet: caption and the User account page (112). */
#define IDS_NEW_ACCOUNT_CAPTION 171
#define IDS_ACCOUNT_CAPTION 172 /* account name */
#define IDC_NAME_EDIT 1033
#define IDC_CHOOSE_ACCOUNT_BUTTON 1062
#define IDC_OLD_NAME_OUTPUT 1063
#define IDC_FULL_NAME_EDIT 1034 /* the number of IDM_ABOUT too */
#define IDC_DESCRIPTION_EDIT 1035
#define IDC_PASSWORD_EDIT 1036
#define IDC_CONFIRM_EDIT 1037
#define IDC_KEEP_PASSWORD_CHECK 1095
#define IDC_DOMAIN_EDIT 1044
#define IDC_HOME_EDIT 1045 /* the number of IDC_VARIABLE_NAME_EDIT too */
#define IDC_PROFILE_EDIT 1153
#define IDC_ROAMING_CHECK 1055
#define IDC_ROAMING_PROFILE_EDIT 1054
#define IDC_PRIMARY_CHECK 1050
#define IDC_ACCOUNT_ADMIN_CHECK 1038
#define IDC_NEVER_EXPIRES_CHECK 1041
#define IDC_CANT_CHANGE_CHECK 1042
#define IDC_DISABLED_CHECK 1152
#define IDC_MUST_CHANGE_CHECK 1046
#define IDC_WELCOME_CHECK 1094
#define IDC_USER_NAME_LABEL 1200
#define IDC_OLD_NAME_LABEL 1201
#define IDC_FULL_NAME_LABEL 1202
#define IDC_DESCRIPTION_LABEL 1203
#define IDC_PASSWORD_LABEL 1204
#define IDC_DOMAIN_LABEL 1205
#define IDC_HOME_LABEL 1206
#define IDC_PROFILE_LABEL 1207
#define IDC_ROAMING_PROFILE_LABEL 1208
#define IDS_UNFORMATTED_TITLE 166
#define IDS_UNFORMATTED_TEXT 195 /* drive letter or path */
#define IDS_DUPLICATE_ACCOUNT_TITLE 218
#define IDS_DUPLICATE_ACCOUNT_TEXT 219 /* name of the other record */

/* Shellfolder page (111). The three ranges hold one text per folder of the
 * shell folder table, by its index. */
#define IDC_SHELL_FOLDER_COMBO 1013
#define IDC_DESTINATION_EDIT 1030
#define IDC_BROWSE_FOLDER_BUTTON 1147
#define IDC_FOLDER_INFO_OUTPUT 1032
#define IDC_SHELL_FOLDER_HELP_LABEL 1151
#define IDC_SHELL_FOLDER_LABEL 1209
#define IDC_DESTINATION_LABEL 1210
#define IDS_BROWSE_FOLDER_TITLE 162
#define IDS_EMPTY_PATH_TITLE 163
#define IDS_EMPTY_PATH_TEXT 164
#define IDS_NETWORK_PATH_TEXT 177
#define IDS_NETWORK_PATH_TITLE 178
#define IDS_SHELL_FOLDER_INFO_FIRST 3000
#define IDS_SHELL_FOLDER_INFO_LAST 3021
#define IDS_SHELL_FOLDER_NAME_FIRST 3100
#define IDS_SHELL_FOLDER_NAME_LAST 3121
#define IDS_SHELL_FOLDER_DEFAULT_FIRST 3200
#define IDS_SHELL_FOLDER_DEFAULT_LAST 3221

/* Environment page (115) and the variable editor (114). */
#define IDC_VARIABLES_LIST 1139
#define IDC_CHANGE_VARIABLE_BUTTON 1052
#define IDC_ADD_VARIABLE_BUTTON 1053
#define IDC_REMOVE_VARIABLE_BUTTON 1154
#define IDC_ENVIRONMENT_REMARK_LABEL 1123
#define IDC_VARIABLES_LABEL 1211
#define IDC_VARIABLE_NAME_EDIT 1045 /* the number of IDC_HOME_EDIT too */
#define IDC_VARIABLE_VALUE_EDIT 1157
#define IDC_VARIABLE_NAME_LABEL 1212
#define IDC_VARIABLE_VALUE_LABEL 1213
#define IDS_VARIABLE_COLUMN 170
#define IDS_VALUE_COLUMN 176

/* Deleted-account notice (116), the property sheet's only page for an
 * account marked for deletion. */
#define IDC_DELETED_NOTICE_LABEL 1214

/* Account chooser (110). */
#define IDC_LOCAL_ACCOUNTS_LIST 1141

/* Changed-folders dialog (206). */
#define IDC_WARNING_ICON 1017
#define IDC_CHANGED_FOLDERS_LABEL 1111
#define IDC_CHANGED_FOLDERS_LIST 1004
#define IDS_FOLDER_COLUMN 204
#define IDS_PATH_COLUMN 205

/* Format-drive dialog (117). */
#define IDC_FORMAT_RADIO 1091
#define IDC_ALTERNATE_PATH_RADIO 1092
#define IDC_FORMAT_PROMPT_OUTPUT 1075
#define IDC_FILE_SYSTEM_COMBO 1072
#define IDC_VOLUME_LABEL_EDIT 1073
#define IDC_ALTERNATE_PATH_EDIT 1155
#define IDC_FORMAT_PROGRESS 1074
#define IDC_FORMAT_COUNTDOWN_OUTPUT 1076
#define IDC_FILE_SYSTEM_LABEL 1215
#define IDC_VOLUME_LABEL_LABEL 1216
#define IDS_FORMAT_PROMPT 193 /* drive letter */
#define IDS_FORMAT_FAILED 194 /* drive letter */
#define IDS_FORMAT_START 196
#define IDS_USE_PATH 197
#define IDS_FORMAT_FOREIGN_PROMPT 3451   /* drive letter, system */
#define IDS_FORMAT_BITLOCKER_PROMPT 3452 /* drive letter */
#define IDS_FORMAT_CONFIRM 3453          /* drive letter, size, label */
#define IDS_NO_VOLUME_LABEL 3454
#define IDS_UNKNOWN_SIZE 3455
#define IDS_OTHER_SYSTEM 3456

/* Missing-volume dialog (119) and the countdown line of both drive dialogs. */
#define IDC_MISSING_PROMPT_OUTPUT 1089
#define IDC_VOLUME_LIST 1088
#define IDC_DONT_ASK_AGAIN_CHECK 1090
#define IDC_MISSING_COUNTDOWN_OUTPUT 1087
#define IDS_MISSING_VOLUME_PROMPT 167 /* drive letter */
#define IDS_DRIVE_COUNTDOWN 192       /* seconds left */

/* The command-line help window; its caption is the help's caption text, so
   translating the dialog sets the caption and the OK button. */
#define IDD_HELP IDS_HELP_CAPTION
/* The help's read-only text; no text carries this number, so translating
   the dialog never replaces the help. */
#define IDC_HELP_EDIT 1300

#endif /* TARN_RESOURCE_H */
