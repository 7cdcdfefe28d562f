#include "ui/edit/Clipboard.h"

#include "platform/clipboard/Clipboard.h"

namespace skinner {

namespace {

// The platform's format numbers, by the framework's index: DIB, RIFF, TEXT, UNICODETEXT.
constexpr UINT format_numbers[] = {8, 11, 1, CF_UNICODETEXT};

UINT format_number(ClipboardFormat format) { return format_numbers[static_cast<size_t>(format)]; }

}  // namespace

ClipboardReader::ClipboardReader(ClipboardFormat format) {
    opened_ = OpenClipboard(nullptr) != FALSE;
    if (opened_) handle_ = GetClipboardData(format_number(format));
}

ClipboardReader::~ClipboardReader() {
    if (opened_) CloseClipboard();
}

UINT ClipboardReader::size() {
    if (!size_taken_) {
        size_taken_ = true;
        size_ = handle_ ? LocalSize(handle_) : 0;
    }
    return size_;
}

const void* ClipboardReader::data() {
    if (!data_taken_) {
        data_taken_ = true;
        data_ = handle_ ? LocalLock(handle_) : nullptr;
    }
    return data_;
}

std::u16string ClipboardReader::text() { return handle_ ? platform::local_text(handle_) : std::u16string(); }

ClipboardWriter::ClipboardWriter(ClipboardFormat format, UINT size, bool empty_first)
    : format_(format_number(format)), size_(size) {
    opened_ = OpenClipboard(nullptr) != FALSE;
    if (!opened_) return;
    if (empty_first) EmptyClipboard();
    if (size == 0) return;
    memory_ = LocalAlloc(LMEM_MOVEABLE, size);
    if (memory_) data_ = LocalLock(memory_);
}

ClipboardWriter::~ClipboardWriter() {
    if (memory_) {
        LocalUnlock(memory_);
        // The clipboard owns what it accepted; what it refused is still ours to free.
        if (!SetClipboardData(format_, memory_)) LocalFree(memory_);
    }
    if (opened_) CloseClipboard();
}

}  // namespace skinner
