// Numbers of the Barcode page's and its dialogs' captions in a language
// file, and of the list texts the page loads. The templates hold the
// built-in texts; an active language's text for the number replaces them.
#pragma once

namespace fw::barcodetext {

// The page (301, its tab title, is the sheet's).
constexpr unsigned kReaderSettings = 302, kScanMode = 303, kRedundancy = 304, kTimeout = 305,
                   kSeconds = 306, kParameters = 307;
constexpr unsigned kFirstCheck = 308;   // the 26 check boxes in page order, 308..333
constexpr unsigned kMore = 334, kCodeId = 335;

// The lists: scan modes 1461..1469, read redundancy 1481..1484.
constexpr unsigned kFirstScanMode = 1461, kFirstRedundancy = 1481;

// The symbology dialogs number their captions from a base: base the title,
// then each control in template order (editor/barcode_dialogs.h).

// The Code ID dialog.
constexpr unsigned kCodeIdTitle = 1661, kCodeIdEnable = 1662;
constexpr unsigned kCodeIdFirstLabel = 1663;   // the 15 labels, 1663..1677
constexpr unsigned kCodeIdFirstSet = 1678;     // "Set 1".."Set 5", 1678..1682
constexpr unsigned kCodeIdClear = 1683;

}  // namespace fw::barcodetext
