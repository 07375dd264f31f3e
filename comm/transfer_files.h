// The files of a transfer on the standard library: the lookup file read by
// the lookup download, and the received-data file written by the data
// receive.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "comm/lookup_file.h"
#include "comm/transfer_runner.h"

namespace fw {

class LookupFileSource final : public ByteSource {
public:
    LookupFileSource() = default;
    ~LookupFileSource() override;
    LookupFileSource(const LookupFileSource&) = delete;
    LookupFileSource& operator=(const LookupFileSource&) = delete;

    // Opens the file for reading and takes its size; false when it cannot.
    bool open(const std::string& path);
    uint64_t size() const { return size_; }
    int next() override;
    void close();

private:
    std::FILE* file_ = nullptr;
    uint64_t size_ = 0;
};

class RecordFile final : public RecordSink {
public:
    RecordFile() = default;
    ~RecordFile() override;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Creates the file empty, replacing any file of that name; open for
    // reading and writing and, on Windows, shared with no other program.
    bool create(const std::string& path);
    // Unbuffered: every write goes straight to the operating system.
    bool write(std::span<const uint8_t> bytes) override;
    bool sync() override;
    // Closes the file. A record that failed half-way is cut off again, so
    // the file ends with the last whole line. False when closing failed.
    bool close();

private:
    std::FILE* file_ = nullptr;
    std::string path_;
    uint64_t whole_ = 0;      // bytes of the lines written whole
    bool torn_ = false;       // a write failed part-way
};

}  // namespace fw
