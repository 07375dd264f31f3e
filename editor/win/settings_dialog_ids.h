// Control numbers of the Settings page ("SETTINGSDLG"), its dialogs
// ("SECURITYDLG", "FUNCTIONKEYDLG", "ACSETTINGSDLG") and the Startup page
// ("STARTUPDLG"). Shared by resources/settings_dialogs.rc and the dialog
// procedures. Numbers are per dialog; rows are base + row.
#ifndef FW_EDITOR_SETTINGS_DIALOG_IDS_H
#define FW_EDITOR_SETTINGS_DIALOG_IDS_H

// Settings page.
#define IDC_SET_GROUP 2600
#define IDC_SET_UPLOAD_LABEL 2601
#define IDC_SET_UPLOAD 2602
#define IDC_SET_UPLOAD_ICON 2603
#define IDC_SET_UPLOAD_PHONE 2604
#define IDC_SET_DOWNLOAD_LABEL 2605
#define IDC_SET_DOWNLOAD 2606
#define IDC_SET_DOWNLOAD_ICON 2607
#define IDC_SET_DOWNLOAD_PHONE 2608
#define IDC_SET_MODEM_LABEL 2609
#define IDC_SET_MODEM 2610
#define IDC_SET_BAUD_LABEL 2611
#define IDC_SET_BAUD 2612
#define IDC_SET_BACKLIGHT_LABEL 2613
#define IDC_SET_BACKLIGHT 2614
#define IDC_SET_IDLE_LABEL 2615
#define IDC_SET_IDLE 2616
#define IDC_SET_IDLE_UNIT 2617
#define IDC_SET_DELETION_LABEL 2618
#define IDC_SET_DELETION 2619
#define IDC_SET_ENTRY_LABEL 2620
#define IDC_SET_ENTRY 2621
#define IDC_SET_STAY 2622
#define IDC_SET_DURATION 2623
#define IDC_SET_DURATION_UNIT 2624
#define IDC_SET_PRESS_KEY 2625
#define IDC_SET_CLICK_LABEL 2626
#define IDC_SET_CLICK 2627
#define IDC_SET_GOODREAD_LABEL 2628
#define IDC_SET_GOODREAD 2629
#define IDC_SET_WARNING_LABEL 2630
#define IDC_SET_WARNING 2631
#define IDC_SET_SECURITY 2632
#define IDC_SET_ACOUSTIC 2633
#define IDC_SET_FUNCTION 2634
#define IDC_SET_RESET 2635

// Security dialog: 15 check boxes in the order of the settings record.
#define IDC_SEC_GROUP 2700
#define IDC_SEC_PASSWORD_LABEL 2701
#define IDC_SEC_PASSWORD 2702
#define IDC_SEC_ITEM 2710

// Function key dialog: seven labels and lists.
#define IDC_FK_ENABLE 2800
#define IDC_FK_LABEL 2810
#define IDC_FK_KEY 2820

// Acoustic coupler dialog.
#define IDC_AC_DATABITS_LABEL 2900
#define IDC_AC_DATABITS 2901
#define IDC_AC_STOPBITS_LABEL 2902
#define IDC_AC_STOPBITS 2903
#define IDC_AC_PARITY_LABEL 2904
#define IDC_AC_PARITY 2905
#define IDC_AC_VOLUME_LABEL 2906
#define IDC_AC_VOLUME 2907
#define IDC_AC_TONE_LABEL 2908
#define IDC_AC_TONE 2909
#define IDC_AC_TONE_SPIN 2910
#define IDC_AC_TONE_UNIT 2911
#define IDC_AC_CONTROL 2912
#define IDC_AC_STX_LABEL 2913
#define IDC_AC_STX 2914
#define IDC_AC_ETX_LABEL 2915
#define IDC_AC_ETX 2916
#define IDC_AC_BLOCK_GROUP 2917
#define IDC_AC_BLOCK 2918
#define IDC_AC_SIZE_LABEL 2919
#define IDC_AC_SIZE 2920
#define IDC_AC_DELAY_LABEL 2921
#define IDC_AC_DELAY 2922
#define IDC_AC_PAD_LABEL 2923
#define IDC_AC_PAD 2924
#define IDC_AC_EOB_LABEL 2925
#define IDC_AC_EOB 2926
#define IDC_AC_CHECK 2927

// Startup page.
#define IDC_ST_START_LABEL 3000
#define IDC_ST_START 3001
#define IDC_ST_DELIM_GROUP 3002
#define IDC_ST_COUNT_LABEL 3003
#define IDC_ST_COUNT 3004
#define IDC_ST_ASCII_LABEL 3005   /* + pair */
#define IDC_ST_ASCII 3007         /* + pair */
#define IDC_ST_TEXT_LABEL 3009    /* + pair */
#define IDC_ST_TEXT 3011          /* + pair */
#define IDC_ST_LARGE 3013
#define IDC_ST_IMPORT 3014
#define IDC_ST_RESET 3015
#define IDC_ST_SCREEN_LABEL 3016
#define IDC_ST_SCREEN 3017
#define IDC_ST_ROW_LABEL 3020     /* + row */
#define IDC_ST_ROW 3030           /* + row */

#endif
