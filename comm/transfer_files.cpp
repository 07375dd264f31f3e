#include "comm/transfer_files.h"

#include <filesystem>
#include <system_error>

#include "model/file_replace.h"

namespace fw {

LookupFileSource::~LookupFileSource() {
    close();
}

bool LookupFileSource::open(const std::string& path) {
    close();
    file_ = openFile(path, "rb");
    if (!file_) return false;
    // The size at the start: what the progress counts against, and what
    // tells the end of the file from a read that failed early.
    long size = -1;
    if (std::fseek(file_, 0, SEEK_END) == 0) size = std::ftell(file_);
    if (size < 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
        close();
        return false;
    }
    size_ = uint64_t(size);
    return true;
}

int LookupFileSource::next() {
    if (!file_) return -1;
    const int c = std::fgetc(file_);
    return c == EOF ? -1 : c;
}

void LookupFileSource::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    size_ = 0;
}

RecordFile::~RecordFile() {
    close();
}

bool RecordFile::create(const std::string& path) {
    close();
    // Read and write, and not shared: no other program writes into the file
    // while the terminal's records go in.
    file_ = openFile(path, "w+b", true);
    if (!file_) return false;
    std::setvbuf(file_, nullptr, _IONBF, 0);
    path_ = path;
    whole_ = 0;
    torn_ = false;
    return true;
}

bool RecordFile::write(std::span<const uint8_t> bytes) {
    if (!file_) return false;
    if (bytes.empty()) return true;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size() &&
                    std::fflush(file_) == 0;
    if (ok) {
        whole_ += bytes.size();
    } else {
        torn_ = true;
    }
    return ok;
}

bool RecordFile::sync() {
    return file_ && std::fflush(file_) == 0 && syncToDisk(file_);
}

bool RecordFile::close() {
    if (!file_) return true;
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    if (torn_) {
        // A full disk may have taken part of the refused record.
        std::error_code ec;
        std::filesystem::resize_file(path_, whole_, ec);
        torn_ = false;
    }
    return ok;
}

}  // namespace fw
