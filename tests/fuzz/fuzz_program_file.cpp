// Fuzzing the two readers of program files that take bytes from outside:
// loadProgramBytes (either format) and importMessagesBytes. The first input
// byte chooses the reader; the rest is the file.
//
// Beyond "no crash", a failed load must leave the model as it was, and any
// model a load produces must go through the download normalisation and the
// image builder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "comm/program_image.h"
#include "model/default_texts.h"
#include "model/program_defaults.h"
#include "model/program_file.h"
#include "model/program_model.h"
#include "tests/fuzz/default_texts_once.h"

namespace {

using fw::fuzz::defaults;

void fuzzLoad(const uint8_t* data, std::size_t size) {
    static fw::ProgramModel model;
    static fw::ProgramModel before;
    static fw::ProgramImage image;
    fw::newProgram(model, defaults());
    before = model;

    fw::LoadResult r = fw::loadProgramBytes(model, defaults(), data, size);
    if (!r.ok()) {
        if (std::memcmp(fw::modelBody(model), fw::modelBody(before), fw::kModelBodySize) != 0)
            std::abort();  // a rejected file changed the model
        return;
    }
    fw::normaliseForDownload(model);
    fw::buildProgramImage(model, image);
    for (std::size_t i = 18830; i < fw::kProgramImageSize; ++i)
        if (image.bytes[i] != 0) std::abort();  // the image ends in zeros whatever the model
}

void fuzzImport(const uint8_t* data, std::size_t size) {
    static fw::ImportedTexts texts;
    std::memset(&texts, 0, sizeof texts);
    fw::importMessagesBytes(texts, defaults(), data, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    if (data[0] & 1)
        fuzzLoad(data + 1, size - 1);
    else
        fuzzImport(data + 1, size - 1);
    return 0;
}
