/* The numbers of the resource library's dialog templates and their controls,
   named once for the .rc files and the code that opens and answers them. The
   numbers are the library's contract (answer files name the templates and
   controls by them; the German library has the same), so they never change.
   Plain #defines: the resource compiler reads this file too. */
#ifndef RESOURCES_IDS_H
#define RESOURCES_IDS_H

/* Templates; an answer file's sections carry these numbers. */
#define IDD_DISKETTE 900
#define IDD_PROGRESS_SEARCH 986 /* while the modem is searched for: notes, no bar */
#define IDD_COUNTRY 988
#define IDD_FAILURE 990
#define IDD_DONE 991
#define IDD_DESTINATION 992
#define IDD_PROGRESS 994 /* while copying and configuring: with the bar */
#define IDD_USER 997     /* user details, modem and port */

/* The main window's accelerator: F1. */
#define IDM_HELP_KEY 901

/* Frame markers: empty statics 20, 21 ... whose frames the dialog paints. */
#define IDC_FRAME_FIRST 20

/* Controls more than one template has. */
#define IDC_CANCEL 2 /* Windows' IDCANCEL, for the portable code: Cancel, and the progress window's Stop */
#define IDC_HELP_BUTTON 122
#define IDC_PRODUCT 701  /* the product title (its first line in the destination dialog) */
#define IDC_PRODUCT2 702 /* the product's second line */
#define IDC_VERSION 130

/* Diskette. */
#define IDC_DISK_PROMPT 100
#define IDC_DISK_OK 102
#define IDC_DISK_CANCEL 103
#define IDC_DISK_HELP 104
#define IDC_DISK_FRAME_END 21

/* Progress window (both templates); its Stop button is IDCANCEL. */
#define IDC_PROGRESS_LINE1 111
#define IDC_PROGRESS_LINE2 112
#define IDC_PROGRESS_BAR 113 /* owner-drawn; a hidden placeholder in the search template */
#define IDC_PROGRESS_NOTE1 114 /* notes 114 to 121 */
#define IDC_PROGRESS_FRAME_END 30

/* Country. */
#define IDC_COUNTRY_LIST 111
#define IDC_COUNTRY_FRAME_END 20 /* no frame */

/* Failure notice. */
#define IDC_FAILURE_STATUS 111
#define IDC_FAILURE_TEXT 112
#define IDC_FAILURE_OK 113
#define IDC_FAILURE_HELP 124
#define IDC_FAILURE_FRAME_END 26

/* Closing dialog. */
#define IDC_DONE_FINISH 111
#define IDC_DONE_START 112
#define IDC_DONE_FRAME_END 26

/* Destination. */
#define IDC_DEST_SPACE 101
#define IDC_DEST_EDIT 102
#define IDC_DEST_OK 111
#define IDC_DEST_CANCEL 112
#define IDC_DEST_FRAME_END 22

/* User details, modem and port. */
#define IDC_USER_NAME 102
#define IDC_USER_DATANUMBER 103
#define IDC_USER_FAXNUMBER 104
#define IDC_USER_COM1 110 /* COMn is IDC_USER_COM1 - 1 + n, up to COM8 */
#define IDC_USER_MODEMS 123
#define IDC_USER_COMPANY 124
#define IDC_USER_ADDRESS1 125
#define IDC_USER_ADDRESS2 126
#define IDC_USER_PHONE 127
#define IDC_USER_BACK 301
#define IDC_USER_FRAME_END 30

/* Texts of the library the code loads by number (the status texts are the
   statuses' own numbers, shell/status.h). */
#define IDS_INSTALLATION 430
#define IDS_COPYING 431
#define IDS_COPYING_WAIT 432
#define IDS_PERCENT 433
#define IDS_SEARCHING_MODEM 434
#define IDS_PORTS_IN_TURN 435
#define IDS_CHECKING_PORTS 456
#define IDS_CHECKING_COM0 457
#define IDS_IDENTIFYING 461
#define IDS_CHECKING_PORT_N 464 /* one %d: the port */
#define IDS_SETUP_SUFFIX 473
#define IDS_INSERT_DISK 481
#define IDS_INTO_DRIVE 482
#define IDS_DIRECTORY_EXISTS 494
#define IDS_PRODUCT_SETUP 495
#define IDS_PREPARING 496
#define IDS_VERB_OPEN 701
#define IDS_VERB_PRINT 702
#define IDS_VERB_FAX 703
#define IDS_TYPE_FAX_IMAGE 801
#define IDS_TYPE_LOGO 802
/* The product's identity: the text for product n is the number + 10 x n. */
/* An undo of a stopped installation (SETUP.EXE /UNDO, /ROLLBACK). */
#define IDS_NOTHING_TO_UNDO 1610
#define IDS_UNDONE 1611
#define IDS_RESTORED 1612
#define IDS_UNDO_HINT 1613
#define IDS_PRODUCT_TITLE 7104
#define IDS_PRODUCT_LINE1 7105
#define IDS_PRODUCT_LINE2 7106
#define IDS_PRODUCT_DIR 7108
#define IDS_PRODUCT_ICON 7207 /* a request of INS_getproducttext: the product's icon */

#endif
