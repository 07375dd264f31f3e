// Fuzzing the text form of programs from the file side: any program file the
// designer opens must come back byte for byte through its document.
//
// The first byte chooses the file's format (current, or one of the two older
// ones) and how the rest becomes the file: laid after the header and padded
// with zeros, or repeated to the file's length, so that short inputs still
// reach every block. The file is opened as Open opens it; its document is
// imported; the program must be the one Open made, and so the file Save
// writes the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "model/default_texts.h"
#include "model/older_format.h"
#include "model/program_defaults.h"
#include "model/program_document.h"
#include "model/program_file.h"
#include "model/program_model.h"
#include "tests/fuzz/default_texts_once.h"

namespace {

using fw::fuzz::defaults;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static fw::ProgramModel opened;
    static fw::ProgramModel imported;
    static std::vector<uint8_t> file;
    if (size == 0) return 0;

    const uint8_t how = data[0];
    ++data;
    --size;
    const int format = how % 3;
    const bool repeat = (how / 3) % 2 != 0;
    const std::size_t length = format == 0 ? fw::kProgramFileSize : fw::kOlderFileSize;
    const char* header = format == 0 ? fw::kProgramHeader
                                     : format == 1 ? fw::kOlderHeader400 : fw::kOlderHeader310;
    const std::size_t headerSize = format == 0 ? sizeof fw::kProgramHeader : fw::kOlderHeaderSize;

    file.assign(length, 0);
    std::memcpy(file.data(), header, headerSize);
    for (std::size_t i = headerSize, k = 0; i < length && size > 0; ++i, ++k) {
        if (k >= size) {
            if (!repeat) break;
            k = 0;
        }
        file[i] = data[k];
    }

    fw::newProgram(opened, defaults());
    if (!fw::loadProgramBytes(opened, defaults(), file.data(), file.size()).ok())
        std::abort();   // a full file of a known format is always opened

    const std::string doc = fw::exportProgramDocument(opened);
    std::memset(fw::modelBody(imported), 0x5A, fw::kModelBodySize);
    const fw::DocumentImportResult r = fw::importProgramDocument(doc, defaults(), imported);
    if (!r.ok) std::abort();   // a document of an opened program was refused
    if (std::memcmp(fw::modelBody(imported), fw::modelBody(opened), fw::kModelBodySize) != 0)
        std::abort();          // the round trip changed the program
    return 0;
}
