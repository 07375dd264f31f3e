// The program file as the downloader takes it: read once, then copied into a
// program model, normalised and laid out as the image before the first transfer;
// every attempt sends the same image.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "comm/program_image.h"
#include "model/program_model.h"

namespace fw::loader {

enum class ProgramFileStatus {
    ok,
    cannotOpen,       // "Can't open the file!"
    formatMismatch,   // "Format mismatch !!!": not a program file of this family
};

// The bytes of a program file, header included. A file is taken when it
// reaches to the end of the settings block (18,842 bytes) and its header
// starts with "K400" (any version of the family has the same layout); the
// trailer may be missing. Anything else would send the terminal a program
// made of whatever the file holds, so it is refused.
ProgramFileStatus checkProgramBytes(std::span<const uint8_t> bytes);

// Reads the file at `path` into `bytes` and checks it as above. Only the
// first 18,942 bytes are kept.
ProgramFileStatus readProgramFile(const std::string& path, std::vector<uint8_t>& bytes);

class LoaderProgram {
public:
    // `fileBytes` must have passed checkProgramBytes.
    explicit LoaderProgram(std::vector<uint8_t> fileBytes);

    // Copies the file's blocks into the model in file order, normalises them
    // (normaliseForLoader) and builds the image (buildLoaderImage). Does
    // nothing the second time.
    void prepare();
    bool prepared() const { return image_ != nullptr; }

    // The image; prepare() first.
    const ProgramImage& image() const { return *image_; }
    // The normalised model; prepare() first.
    const ProgramModel& model() const { return *model_; }

private:
    std::vector<uint8_t> file_;
    std::unique_ptr<ProgramModel> model_;
    std::unique_ptr<ProgramImage> image_;
};

}  // namespace fw::loader
