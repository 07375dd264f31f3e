// Control ids of the Barcode page ("BARCODESETTINGDLG"), of the seventeen
// symbology dialogs (which share one numbering: a dialog holds the parts it
// has) and of the Code ID dialog ("CODEIDDLG").
#pragma once

// The page.
#define IDC_BARCODE_READER_GROUP 3601
#define IDC_BARCODE_SCAN_LABEL 3602
#define IDC_BARCODE_SCAN 3603
#define IDC_BARCODE_REDUNDANCY_LABEL 3604
#define IDC_BARCODE_REDUNDANCY 3605
#define IDC_BARCODE_TIMEOUT_LABEL 3606
#define IDC_BARCODE_TIMEOUT 3607
#define IDC_BARCODE_SECONDS 3608
#define IDC_BARCODE_PARAMS_GROUP 3609
#define IDC_BARCODE_CODE_ID 3610
#define IDC_BARCODE_CHECK 3620   // + the 26 check boxes in page order
#define IDC_BARCODE_MORE 3650    // + the 17 dialogs in button order

// A symbology dialog.
#define IDC_SYM_GROUP 3700         // + radio group (caption of the group box)
#define IDC_SYM_RADIO 3710         // + 10 x group + radio
#define IDC_SYM_CHECK 3740         // + check box
#define IDC_SYM_LENGTH_GROUP 3750
#define IDC_SYM_FIXED 3751
#define IDC_SYM_RANGE 3752
#define IDC_SYM_LENGTH_LABEL 3753  // + box (upper, lower)
#define IDC_SYM_LENGTH_BOX 3755    // + box

// The Code ID dialog.
#define IDC_CODEID_ENABLE 3801
#define IDC_CODEID_LABEL 3810      // + symbology
#define IDC_CODEID_BOX 3830        // + symbology
#define IDC_CODEID_SET 3850        // + preset ("Set 1".."Set 5")
#define IDC_CODEID_CLEAR 3855
