// Drives the foundation services together, in a device root given by VANTREL_ROOT:
// files written and read through macro paths, the log switched on and off from the
// registry while the program runs, and worker threads fed and answered through events.
// Prints one line per step; the exit status is 0 only when every step held.
#include <cstdio>
#include <string>
#include <vector>

#include "base/CriticalSection.h"
#include "base/Event.h"
#include "base/FileSystem.h"
#include "base/Log.h"
#include "base/Path.h"
#include "base/Registry.h"
#include "base/TextFile.h"
#include "base/Thread.h"
#include "platform/kernel/Core.h"

using namespace skinner;

namespace {

const std::u16string zeph = u"HKEY_CURRENT_USER\\Software\\ZEPH";
int failures = 0;

void check(bool ok, const char* step) {
    std::printf("%s %s\n", ok ? "ok" : "FAILED", step);
    failures += ok ? 0 : 1;
}

void switch_log(DWORD value) {
    registry_write_dword(zeph, u"Log", value);
}

// Sums the lengths of the lines it is handed, one line per wake-up.
class LineCounter : public Thread {
public:
    LineCounter(CriticalSection& lock, std::vector<std::u16string>& queue, Event& work, Event& done)
        : lock_(lock), queue_(queue), work_(work), done_(done) {}
    ~LineCounter() override {
        request_stop();
        work_.set();
        join();
    }
    int total() const { return total_; }

protected:
    void run() override {
        while (true) {
            work_.wait();
            if (stop_requested()) {
                return;
            }
            std::u16string line;
            {
                ScopedLock hold(lock_);
                if (!queue_.empty()) {
                    line = queue_.back();
                    queue_.pop_back();
                }
            }
            total_ += static_cast<int>(line.size());
            Log::instance() << u"LineCounter::run line=" << line << u" total=" << total_ << u"\n";
            done_.set();
        }
    }

private:
    CriticalSection& lock_;
    std::vector<std::u16string>& queue_;
    Event& work_;
    Event& done_;
    int total_ = 0;
};

}  // namespace

int main() {
    switch_log(0);
    Log::instance() << u"driver: before the log is on\n";

    create_directories(u"%my_documents%/Driver");
    {
        TextFileWriter notes(u"%my_documents%/Driver/notes.txt", File::create_always);
        notes << u"alpha\n" << u"beta\n" << u"gamma\n";
    }
    File notes_in(u"%my_documents%/driver/NOTES.TXT", File::read_existing);
    std::u16string notes = read_text_file_wide(notes_in, 0x7FFFFFFF);
    check(notes == u"alpha\nbeta\ngamma\n", "text written and read through %my_documents%");
    check(FileInfo(u"%my_documents%/Driver/notes.txt").size == 2 + 17 * 2, "file information of the UTF-16 file");

    switch_log(1);
    Log::instance() << u"driver: log on, app name " << expand_path(u"%app_name%") << u"\n";

    CriticalSection lock;
    std::vector<std::u16string> queue;
    Event work(false);  // auto reset: one wake-up per line
    Event done(false);
    int expected = 0;
    {
        LineCounter counter(lock, queue, work, done);
        check(counter.start(), "worker started");
        size_t start = 0;
        while (start < notes.size()) {
            size_t end = notes.find(u'\n', start);
            std::u16string line = notes.substr(start, end - start);
            expected += static_cast<int>(line.size());
            {
                ScopedLock hold(lock);
                queue.push_back(line);
            }
            work.set();
            check(done.wait(5000) == WAIT_OBJECT_0, "worker answered through its event");
            start = end + 1;
        }
        check(counter.total() == expected, "worker counted every line");
    }

    switch_log(0);
    Log::instance() << u"driver: after the log is off\n";

    {
        File out(u"%windows%/driver-result.txt", File::create_always);
        std::string summary = "lines counted: " + std::to_string(expected) + "\n";
        check(out.write(summary.data(), static_cast<uint32_t>(summary.size())) == summary.size(),
              "result written through %windows%");
    }
    std::printf("%s\n", failures == 0 ? "driver passed" : "driver failed");
    return failures == 0 ? 0 : 1;
}
