// file-list [FILES]
//   Makes a device root of its own holding a folder of FILES audio files (5,000 by default,
//   empty files named like recordings, with a few folders and other files beside them), then
//   opens that folder in the main skin's file list over a 480 x 640 page the way the main form
//   does (the folder read, sorted and the folder one came from selected) and draws its first
//   page. Prints the first run and the median of further runs, in milliseconds.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/FileList.h"
#include "bench/support/OffscreenPage.h"
#include "base/FileSystem.h"
#include "ui/application/Application.h"
#include "ui/forms/Form.h"
#include "ui/skin/Properties.h"

using namespace skinner;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); }

// The benchmark's own device root, removed again at the end.
class BenchRoot {
public:
    BenchRoot() {
        std::string pattern = (fs::temp_directory_path() / "file-list-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~BenchRoot() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    BenchRoot(const BenchRoot&) = delete;
    BenchRoot& operator=(const BenchRoot&) = delete;

    bool ready() const { return !path_.empty(); }
    fs::path host(const std::string& relative) const { return fs::path(path_) / relative; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

bool make_folder(const BenchRoot& root, int files) {
    std::error_code error;
    fs::create_directories(root.host("My Clips"), error);
    for (int i = 0; i < 8 && !error; ++i) fs::create_directories(root.host("My Clips/Album " + std::to_string(i)), error);
    if (error) return false;
    const char* extensions[] = {".wav", ".mp3", ".ogg", ".mpc", ".WAV", ".Mp3"};
    for (int i = 0; i < files; ++i) {
        const std::string name = "Recording " + std::to_string((i * 7919) % files + 1) + extensions[i % 6];
        std::ofstream(root.host("My Clips/" + name)).close();
    }
    // Files the list leaves out.
    for (int i = 0; i < 50; ++i) std::ofstream(root.host("My Clips/notes " + std::to_string(i) + ".txt")).close();
    return true;
}

bool copy_skin(const BenchRoot& root) {
    std::error_code error;
    fs::create_directories(root.host("skins/default"), error);
    fs::copy(FILE_LIST_SKIN_DIR, root.host("skins/default"), fs::copy_options::recursive, error);
    return !error;
}

struct Figures {
    double open = 0, first_page = 0;
    double total() const { return open + first_page; }
};

// From the root into the folder, as "PickFolder" does it, and its first page drawn.
Figures open_once(app::FileList& list, bench::OffscreenPage& page) {
    list.set_folder(u"\\");
    Figures f;
    const Clock::time_point start = Clock::now();
    const std::u16string came_from = app::make_folder_path(list.get_folder());
    list.set_folder(u"\\My Clips");
    list.select_path(came_from);
    f.open = ms_since(start);
    f.first_page = page.draw(list);
    return f;
}

// The folder read alone, as the platform's directory search gives it: what the list adds is
// the rest of median_open_ms.
class CountingVisitor : public FileVisitor {
public:
    bool on_file(const std::u16string&) override { return ++entries, true; }
    bool on_directory(const std::u16string&) override { return ++entries, true; }
    int entries = 0;
};

double read_once() {
    CountingVisitor visitor;
    const Clock::time_point start = Clock::now();
    find_files(visitor, u"\\My Clips", u"*", u"*", false);
    return ms_since(start);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 5000;
    if (files <= 0) {
        std::fprintf(stderr, "file-list: FILES must be a positive number\n");
        return 1;
    }
    BenchRoot root;
    if (!root.ready() || !copy_skin(root) || !make_folder(root, files)) {
        std::fprintf(stderr, "file-list: cannot make the device root\n");
        return 1;
    }
    setenv("VANTREL_ROOT", root.path().c_str(), 1);
    setenv("VANTREL_DISPLAY", "headless", 0);

    Application application(nullptr, u"FileListBench");
    Properties properties(u"\\skins\\default\\default.skin", {480, 640}, {480, 536});
    if (!properties.is_loaded()) {
        std::fprintf(stderr, "file-list: cannot load the skin from %s\n", FILE_LIST_SKIN_DIR);
        return 1;
    }
    Form form(nullptr, &properties, u"panelFile");
    app::FileList list(&form, u"lstFiles");
    list.set_rect({0, 0}, {480, 640});
    bench::OffscreenPage page;

    const Figures first = open_once(list, page);
    std::vector<double> opens, pages, totals, reads;
    for (int i = 0; i < 20; ++i) {
        reads.push_back(read_once());
        const Figures f = open_once(list, page);
        opens.push_back(f.open);
        pages.push_back(f.first_page);
        totals.push_back(f.total());
    }
    std::printf("files=%d items=%d rows_per_page=%d first_open_ms=%.2f first_page_ms=%.2f first_total_ms=%.2f "
                "median_open_ms=%.2f median_page_ms=%.2f median_total_ms=%.2f median_folder_read_ms=%.2f goal_ms=50\n",
                files, list.row_count(), list.get_vertical_bar().get_page(), first.open, first.first_page,
                first.total(), median(opens), median(pages), median(totals), median(reads));
    return 0;
}
