/* Every text the user sees, once: the string table of nrcdrom.rc is made from these,
   and the native tests load the same texts. */
#ifndef NRCDROM_STRINGS_H
#define NRCDROM_STRINGS_H

/* Each text stays one literal: the resource compiler does not join adjacent ones. */
/* clang-format off */

#define STR_LOCATE "Locate %s"
#define STR_LOCATE_PRODUCT "Locate %s %s"
#define STR_PROMPT_INSTALLED \
    "Please enter the path to the %s.  If these files cannot be found on your system, please reinstall %s."
#define STR_PROMPT_NETWORK "Please enter the network path to the %s."
#define STR_PROMPT_INSERT \
    "Please insert the %s labeled \042%s %s%s\042 into your %s drive, or enter the path to the %s."
#define STR_MEDIA_CDROM "CD-ROM"
#define STR_DRIVE_FLOPPY "floppy"
#define STR_MEDIA_FLOPPY "floppy disk"
#define STR_LABEL_DISK1 ", Disk 1"
#define STR_LOCATION_OF "&Location of %s"
#define STR_BAD_LOCATION "The specified location is invalid or does not contain the %s."
#define STR_BAD_LOCATION_CAPTION "File Location Error"
#define STR_DEFAULT_TITLE "Duzudiziv Eraziz DLL Files"
#define STR_BAD_COMMAND_LINE \
    "The command line is too long: the target file name and the option letters may hold 259 bytes, the title 1023, the command 799. Nothing was started."
#define STR_BAD_COMMAND_LINE_CAPTION "Command Line Error"
#define STR_UNATTENDED_MISSING \
    "nrcdrom: %s is not in %s; not asking because NRCDROM_UNATTENDED is set\r\n"
#define STR_UNATTENDED_REFUSED \
    "nrcdrom: the command line is too long; nothing was started, and no box is shown because NRCDROM_UNATTENDED is set\r\n"
#define STR_START_FAILED "The tool could not be started.\r\n\r\nCommand line: %s\r\n\r\n%s"
#define STR_START_FAILED_CAPTION "Tool Start Error"
#define STR_UNATTENDED_START_FAILED "nrcdrom: the tool could not be started: %s; command line: %s\r\n"
#define STR_UNATTENDED_SCRIPT_FAILED "nrcdrom: %s could not be written: %s\r\n"
#define STR_UNATTENDED_NEW_VOLUME \
    "nrcdrom: %s is not in %s; %s holds one, on a volume not seen here before; not asking because NRCDROM_UNATTENDED is set\r\n"
#define STR_UNATTENDED_OTHER_VOLUME \
    "nrcdrom: %s is not in %s; %s holds one, on another volume than the one it was found on; not asking because NRCDROM_UNATTENDED is set\r\n"
#define STR_UNATTENDED_UNSPELLABLE \
    "nrcdrom: %s was not written: the command prompt's code page cannot spell the folder %s, and it has no short name\r\n"

/* The product's own words, which the texts above take as arguments, its registry key and
   the program's identification. */
#define STR_PRODUCT_NAME "Marlinth"
#define STR_LABEL_WORD "Halvard"
#define STR_PRODUCT_KEY "SOFTWARE\\HalvardWorks\\Marlinth"
#define STR_VERSION "6.6"
#define STR_IDENTIFICATION "@(#)Marlinth CDROM Redirector 6.6 - 7"

/* clang-format on */

#endif
