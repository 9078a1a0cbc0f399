/* Resource ids shared by nrcdrom.rc and the code; bare defines only. */
#ifndef NRCDROM_RESOURCE_H
#define NRCDROM_RESOURCE_H

#define IDD_LOCATE 102
#define IDC_LOCATION 1000
#define IDC_PROMPT 1001
#define IDC_LOCATION_GROUP 1002
#define IDC_BROWSE 3

#define IDS_LOCATE 1
#define IDS_LOCATE_PRODUCT 2
#define IDS_PROMPT_INSTALLED 3
#define IDS_PROMPT_NETWORK 4
#define IDS_PROMPT_INSERT 5
#define IDS_MEDIA_CDROM 6
#define IDS_DRIVE_FLOPPY 7
#define IDS_MEDIA_FLOPPY 8
#define IDS_LABEL_DISK1 9
#define IDS_LOCATION_OF 10
#define IDS_BAD_LOCATION 11
#define IDS_BAD_LOCATION_CAPTION 12
#define IDS_DEFAULT_TITLE 13
#define IDS_BAD_COMMAND_LINE 14
#define IDS_BAD_COMMAND_LINE_CAPTION 15
#define IDS_UNATTENDED_MISSING 16
#define IDS_UNATTENDED_REFUSED 17
#define IDS_START_FAILED 18
#define IDS_START_FAILED_CAPTION 19
#define IDS_UNATTENDED_START_FAILED 20
#define IDS_UNATTENDED_SCRIPT_FAILED 21

#ifndef IDOK /* the .rc already has these from the platform headers */
#define IDOK 1
#define IDCANCEL 2
#endif

#endif
