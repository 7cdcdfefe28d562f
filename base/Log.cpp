#include "base/Log.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "base/DateTime.h"
#include "base/Path.h"
#include "base/Registry.h"
#include "base/Strings.h"
#include "platform/threads/Threads.h"

namespace skinner {

namespace {

// Whether the registry switch asks for a log (the key or value missing reads as off).
bool switch_is_on() {
    DWORD value = 0;  // untouched by a failed read
    registry_read_dword(u"HKEY_CURRENT_USER\\Software\\ZEPH", u"Log", value);
    return value != 0;
}

struct LogState {
    std::mutex lock;
    Log* current = nullptr;
    bool on = false;
    // Replaced logs are kept, closed, until the process ends: another thread may be
    // inside one of them at the moment of the switch.
    std::vector<std::unique_ptr<Log>> retired;
    std::unique_ptr<Log> owned;
};

// Set while this thread makes a new log. A fatal error on the way (the program's path,
// which names the file, does not fit) has no log to write to, and must not wait for the
// lock that this very thread holds.
thread_local bool making_log = false;

std::atomic<bool> log_name_time_stamped{true};

LogState& state() {
    static LogState* instance = new LogState;  // lives until exit with every log it made
    return *instance;
}

std::unique_ptr<Log> make_log(bool on) {
    if (!on) {
        return std::make_unique<NullLog>();
    }
    std::u16string path = u"/Temp/";
    path += expand_path(u"%app_name%.txt");
    if (log_name_time_stamped) path << static_cast<long long>(DateTime::now().milliseconds_since_1970());
    return std::make_unique<LogFile>(path);
}

Log& write_narrow(Log& log, const char* text, size_t length) {
    char16_t buffer[64];
    while (length > 0) {
        size_t n = length < 64 ? length : 64;
        for (size_t i = 0; i < n; ++i) {
            buffer[i] = static_cast<unsigned char>(text[i]);
        }
        log.write(buffer, buffer + n);
        text += n;
        length -= n;
    }
    return log;
}

}  // namespace

Log& Log::instance() {
    bool on = switch_is_on();
    LogState& s = state();
    std::lock_guard guard(s.lock);
    if (s.current && s.on == on) {
        return *s.current;
    }
    if (s.owned) {
        if (auto* file = dynamic_cast<LogFile*>(s.owned.get())) {
            file->close_file();
        }
        s.retired.push_back(std::move(s.owned));
    }
    s.on = on;
    making_log = true;
    s.owned = make_log(on);
    making_log = false;
    s.current = s.owned.get();
    return *s.current;
}

void set_log_name_time_stamped(bool stamped) { log_name_time_stamped = stamped; }

Log& operator<<(Log& log, const char16_t* text) {
    if (text) {
        const char16_t* end = text;
        while (*end) {
            ++end;
        }
        log.write(text, end);
    }
    return log;
}

Log& operator<<(Log& log, std::u16string text) {
    log.write(text.data(), text.data() + text.size());
    return log;
}

Log& operator<<(Log& log, const char* text) {
    if (!text) {
        return log;
    }
    size_t length = 0;
    while (text[length]) {
        ++length;
    }
    return write_narrow(log, text, length);
}

Log& operator<<(Log& log, int value) {
    char buffer[16];
    int n = std::snprintf(buffer, sizeof buffer, "%d", value);
    return write_narrow(log, buffer, static_cast<size_t>(n));
}

Log& operator<<(Log& log, long value) {
    char buffer[24];
    int n = std::snprintf(buffer, sizeof buffer, "%ld", value);
    return write_narrow(log, buffer, static_cast<size_t>(n));
}

Log& operator<<(Log& log, double value) {
    // "%f" of a huge magnitude has over 300 digits: the buffer fits the largest double.
    char buffer[400];
    int n = std::snprintf(buffer, sizeof buffer, "%f", value);
    size_t length = n < 0 ? 0 : static_cast<size_t>(n) < sizeof buffer ? static_cast<size_t>(n) : sizeof buffer - 1;
    return write_narrow(log, buffer, length);
}

Log& operator<<(Log& log, bool value) {
    return value ? write_narrow(log, "true", 4) : write_narrow(log, "false", 5);
}

Log& operator<<(Log& log, Key key) {
    std::string_view name = text_of(key);
    return write_narrow(log, name.data(), name.size());
}

TextFileWriter::TextFileWriter(const std::u16string& path, int open_mode)
    : file_(std::make_unique<File>(path, open_mode)), ok_(file_->is_open()) {
    if (file_->is_open() && file_->size() == 0) {
        static constexpr unsigned char mark[] = {0xFF, 0xFE};
        ok_ = file_->write(mark, sizeof mark) == sizeof mark;
    }
}

void TextFileWriter::write(const char16_t* begin, const char16_t* end) {
    if (!file_ || begin >= end) {
        return;
    }
    // Little-endian code units whatever the host's byte order.
    unsigned char buffer[512];
    while (begin < end) {
        size_t n = 0;
        for (; begin < end && n + 2 <= sizeof buffer; ++begin) {
            buffer[n++] = static_cast<unsigned char>(*begin & 0xFF);
            buffer[n++] = static_cast<unsigned char>(*begin >> 8);
        }
        if (file_->write(buffer, static_cast<uint32_t>(n)) != n) ok_ = false;
    }
}

void TextFileWriter::flush() {
    if (file_ && !file_->flush()) {
        ok_ = false;
    }
}

void TextFileWriter::close() {
    file_.reset();
}

LogFile::LogFile(const std::u16string& path) : TextFileWriter(path, File::create_always) {}

void LogFile::write(const char16_t* begin, const char16_t* end) {
    ScopedLock hold(lock_);
    TextFileWriter::write(begin, end);
}

void LogFile::flush() {
    ScopedLock hold(lock_);
    TextFileWriter::flush();
}

void LogFile::close_file() {
    ScopedLock hold(lock_);
    close();
}

void gluck(const std::u16string& message, const std::u16string& location) {
    if (!making_log) {
        Log::instance() << u"Gluck: " << message << u" @ " << location << u"\n";
        Log::instance().flush();
    }
    TerminateProcess(GetCurrentProcess(), gluck_exit_code);
    // TerminateProcess of the current process does not return; should it ever, end anyway.
    std::_Exit(static_cast<int>(gluck_exit_code));
}

}  // namespace skinner
