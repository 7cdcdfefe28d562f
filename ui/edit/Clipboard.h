#pragma once
// Scoped use of the clipboard: a reader and a writer open it when they are made and close it
// when they go, within one operation. A reader takes the data of one format; a writer fills
// memory that the clipboard owns once the writer ends.
#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace skinner {

// Clipboard formats by their index in the framework's table.
enum class ClipboardFormat : int32_t { DIB = 0, RIFF = 1, TEXT = 2, UNICODETEXT = 3 };

class ClipboardReader {
public:
    // Opens the clipboard (no owner window) and takes the format's data handle when it opened.
    explicit ClipboardReader(ClipboardFormat format);
    ~ClipboardReader();
    ClipboardReader(const ClipboardReader&) = delete;
    ClipboardReader& operator=(const ClipboardReader&) = delete;

    bool has_data() const { return handle_ != nullptr; }
    // The data's byte size and memory, taken once; 0 and null without data.
    UINT size();
    const void* data();
    // Text data up to its terminating zero, never past the block's end: whole characters only.
    std::u16string text();

private:
    bool opened_ = false;
    HANDLE handle_ = nullptr;
    const void* data_ = nullptr;
    UINT size_ = 0;
    bool data_taken_ = false;
    bool size_taken_ = false;
};

class ClipboardWriter {
public:
    // Opens the clipboard, empties it when asked, and allocates size bytes (none for 0).
    ClipboardWriter(ClipboardFormat format, UINT size, bool empty_first);
    // Hands the memory to the clipboard (freed instead when the clipboard refuses it) and
    // closes the clipboard.
    ~ClipboardWriter();
    ClipboardWriter(const ClipboardWriter&) = delete;
    ClipboardWriter& operator=(const ClipboardWriter&) = delete;

    bool has_memory() const { return data_ != nullptr; }
    void* data() const { return data_; }
    UINT size() const { return size_; }

private:
    bool opened_ = false;
    HANDLE memory_ = nullptr;
    void* data_ = nullptr;
    UINT format_ = 0;
    UINT size_ = 0;
};

}  // namespace skinner
