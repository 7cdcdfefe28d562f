#pragma once
// Byte streams and the file object over the platform's file calls. Every file the
// program reads or writes goes through File, which expands path macros before opening.
#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace skinner {

class InputStream {
public:
    // The bytes read; 0 at the end or on failure.
    virtual uint32_t read(void* buffer, uint32_t n) = 0;
    // Moves by n (negative: back); the distance moved as an unsigned number.
    virtual uint32_t skip(int32_t n) = 0;
    virtual bool is_open() const = 0;
    virtual uint32_t size() const = 0;
    virtual bool seek(uint32_t position) = 0;
    virtual uint32_t position() const = 0;
    virtual ~InputStream() = default;
};

class OutputStream {
public:
    // The bytes written; 0 on failure.
    virtual uint32_t write(const void* data, uint32_t n) = 0;
    virtual bool is_open() const = 0;
    virtual uint32_t size() const = 0;
    virtual bool seek(uint32_t position) = 0;
    virtual uint32_t position() const = 0;

protected:
    ~OutputStream() = default;
};

// One platform file handle behind both streams (one file pointer). A file that cannot be
// opened is a closed File on which everything returns 0 or false.
class File : public InputStream, public OutputStream {
public:
    // Open modes.
    static constexpr int read_existing = 0;   // GENERIC_READ, OPEN_EXISTING
    static constexpr int create_always = 1;   // GENERIC_WRITE, CREATE_ALWAYS (creates or truncates)
    static constexpr int append = 2;          // GENERIC_WRITE, OPEN_ALWAYS, pointer at the end
    static constexpr int read_write = 3;      // GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS (any other value)

    // The path is expanded (macros, '/' to '\') before opening.
    File(const std::u16string& path, int open_mode);
    ~File() override;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    uint32_t read(void* buffer, uint32_t n) override;
    uint32_t write(const void* data, uint32_t n) override;
    uint32_t skip(int32_t n) override;
    bool is_open() const override;
    uint32_t size() const override;
    bool seek(uint32_t position) override;
    uint32_t position() const override;
    bool flush();

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace skinner
