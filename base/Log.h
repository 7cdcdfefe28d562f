#pragma once
// The optional diagnostic log, switched on and off by the registry DWORD "Log" under
// HKEY_CURRENT_USER\Software\ZEPH, and the fatal error. Messages are chains of stream
// operators, each message ending with its own "\n":
//     Log::instance() << "FormImpl::register_button_ok size=" << n << "\n";
#include <memory>
#include <string>

#include "base/CriticalSection.h"
#include "base/File.h"
#include "base/Key.h"

namespace skinner {

class Log {
public:
    virtual ~Log() = default;
    // Appends the UTF-16 code units of [begin, end).
    virtual void write(const char16_t* begin, const char16_t* end) = 0;
    virtual void flush() = 0;

    // The log of the process for the registry switch as it is now. Call it for every
    // message and never keep the reference: a log that the switch replaces is closed
    // but stays valid (its writes do nothing) until the process ends, so a thread that
    // is still writing to it is safe.
    static Log& instance();
};

// Whether the log file's name ends in the millisecond count of its start (the default), so
// that each log is a new file; without it each new log truncates the same file. Set before
// the first message.
void set_log_name_time_stamped(bool stamped);

Log& operator<<(Log& log, const char16_t* text);
Log& operator<<(Log& log, std::u16string text);
// Each byte as the code unit of the same value, no code-page conversion.
Log& operator<<(Log& log, const char* text);
Log& operator<<(Log& log, int value);
Log& operator<<(Log& log, long value);
Log& operator<<(Log& log, double value);
Log& operator<<(Log& log, bool value);
// The key's name from the key-name table; nothing for a code without one.
Log& operator<<(Log& log, Key key);

// The log while logging is off.
class NullLog : public Log {
public:
    void write(const char16_t*, const char16_t*) override {}
    void flush() override {}
};

// UTF-16LE text in a file; a file that is empty right after opening gets the mark FF FE.
class TextFileWriter : public Log {
public:
    TextFileWriter(const std::u16string& path, int open_mode);
    void write(const char16_t* begin, const char16_t* end) override;
    void flush() override;
    // False once the file did not open or a write or flush fell short.
    bool is_ok() const { return ok_; }

protected:
    // Later writes and flushes do nothing.
    void close();

private:
    std::unique_ptr<File> file_;
    bool ok_ = true;
};

// The log while logging is on: a fresh file (create or truncate), every write and
// flush under the log's own lock.
class LogFile : public TextFileWriter {
public:
    explicit LogFile(const std::u16string& path);
    void write(const char16_t* begin, const char16_t* end) override;
    void flush() override;
    // Closes the file once no thread is inside write or flush.
    void close_file();

private:
    CriticalSection lock_;
};

// The fatal error: writes "Gluck: " + message + " @ " + location + "\n" to the log,
// flushes it and terminates the process at once (no destructors run) with a non-zero
// exit status.
[[noreturn]] void gluck(const std::u16string& message, const std::u16string& location);

// The exit status of a fatal error.
constexpr unsigned int gluck_exit_code = 3;

}  // namespace skinner
