#include "loader/loader_program.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "loader/loader_image.h"
#include "model/file_replace.h"
#include "model/program_file.h"

namespace fw::loader {

namespace {

constexpr std::size_t kHeaderSize = kProgramFileBodyEnd - kModelBodySize;
static_assert(kHeaderSize == 10);
constexpr char kFamily[] = "K400";

}  // namespace

ProgramFileStatus checkProgramBytes(std::span<const uint8_t> bytes) {
    if (bytes.size() < kProgramFileBodyEnd) return ProgramFileStatus::formatMismatch;
    if (std::memcmp(bytes.data(), kFamily, sizeof kFamily - 1) != 0) {
        return ProgramFileStatus::formatMismatch;
    }
    return ProgramFileStatus::ok;
}

ProgramFileStatus readProgramFile(const std::string& path, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (path.empty()) return ProgramFileStatus::cannotOpen;
    std::FILE* f = openFile(path, "rb");
    if (f == nullptr) return ProgramFileStatus::cannotOpen;
    bytes.resize(kProgramFileSize);
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    bytes.resize(got);
    // A folder, or a file that cannot be read, opens but gives nothing.
    if (failed && got == 0) return ProgramFileStatus::cannotOpen;
    return checkProgramBytes(bytes);
}

LoaderProgram::LoaderProgram(std::vector<uint8_t> fileBytes) : file_(std::move(fileBytes)) {}

void LoaderProgram::prepare() {
    if (prepared()) return;
    auto model = std::make_unique<ProgramModel>();
    std::memset(modelBody(*model), 0, kModelBodySize);
    model->modified = false;
    if (file_.size() > kHeaderSize) {
        const std::size_t n = std::min(file_.size() - kHeaderSize, kModelBodySize);
        std::memcpy(modelBody(*model), file_.data() + kHeaderSize, n);
    }
    normaliseForLoader(*model);
    auto image = std::make_unique<ProgramImage>();
    buildLoaderImage(*model, *image);
    model_ = std::move(model);
    image_ = std::move(image);
}

}  // namespace fw::loader
