// The downloader's program image: the terminal's 20,000-byte layout of the
// program, as the designer lays it out (comm/program_image), with the older
// normalisation and settings rules that fwx_load has always sent. The terminal
// takes either; they are kept apart so that neither program's image
// changes when the other's does.
#pragma once

#include "comm/program_image.h"
#include "model/program_model.h"

namespace fw::loader {

// Normalises the program before the image is built. Differences from the
// designer's normaliseForDownload:
// - menu texts are 15 characters wide in the large font and 20 in the small
//   one (the designer: 12 and 16);
// - a large-font form has only four lines: lines 4 to 7 (from 0) become nil;
// - maxLength is cut to 50 and minLength to maxLength on every line;
// - every data type from 8 up except 12 loses its link, 14 included;
// - inputLineCount counts the data types 1 to 6 only.
void normaliseForLoader(ProgramModel& m);

// Lays the normalised program out. The same layout and text slots as the
// designer's image, but:
// - the 55 bytes at 18507 hold the program's legacyBlock, with byte 0 one
//   more and, in byte 1, the two-bit fields at bits 1-2 and 3-4 each one
//   more when not zero;
// - of the settings only byte 1 (the start), uploadPort, downloadPort,
//   baudRate, backlight, backlightIdle, dataDeletion and entryOption are
//   adjusted, and bytes 46 to 55 (the password's first ten) are upper-cased;
// - the utility lines go as they are, neither padded nor renumbered.
void buildLoaderImage(const ProgramModel& m, ProgramImage& image);

}  // namespace fw::loader
