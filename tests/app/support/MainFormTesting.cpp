#include "tests/app/support/MainFormTesting.h"

#include <algorithm>
#include <filesystem>

#include "app/MessageBox.h"
#include "tests/fixtures/DeviceRoot.h"
#include "ui/forms/FormImpl.h"

namespace app_test {

namespace fs = std::filesystem;

FakeReader::~FakeReader() {
    if (downstream() != nullptr) ++journal_.deleted_while_linked;
}

void FakeReader::read(audio::AudioBlock& out, int frames) {
    out = audio::AudioBlock();
    const int units_per_frame = std::max(1, file_.units_per_second / file_.sample_rate);
    const int left = std::max(0, (file_.length() - position_) / units_per_frame);
    const int count = std::min(frames, left);
    if (count <= 0) return;
    out.buffer = skinner::SharedBuffer(static_cast<uint32_t>(count * file_.channels * 2));
    out.buffer.fill(0);
    out.channels = file_.channels;
    out.bits = 16;
    out.sample_rate = file_.sample_rate;
    position_ += count * units_per_frame;
}

void FakeReader::seek(int position) {
    ++journal_.seeks;
    position_ = std::clamp(position, 0, file_.length());
}

bool FakePlayer::play() {
    ++plays;
    if (!play_works) return false;
    finished = false;
    return true;
}

bool FakePlayer::stop() {
    ++stops;
    finished = true;
    return true;
}

void FakePlayer::pull_seconds(double seconds, int sample_rate) {
    int frames = static_cast<int>(seconds * sample_rate);
    while (frames > 0) {
        const audio::AudioBlock block = sink_.pull(std::min(frames, 16384));
        if (block.empty()) return;
        frames -= block.frame_count();
    }
}

TestFormMain::TestFormMain(skinner::Properties* properties, FakeFile& file, FakeJournal& journal, FakePlayer*& player)
    : FormMain(nullptr, properties, [&player] {
          auto fake = std::make_unique<FakePlayer>();
          player = fake.get();
          return fake;
      }()),
      file_(file),
      journal_(journal) {}

std::unique_ptr<app::FormConverting> TestFormMain::make_converting_form(const std::u16string& source,
                                                                      const std::u16string& target) {
    return converting_form ? converting_form(source, target) : FormMain::make_converting_form(source, target);
}

void TestFormMain::on_control_event(skinner::Control* sender, const skinner::ButtonEvent& event) {
    events.push_back(sender);
    FormMain::on_control_event(sender, event);
}

std::unique_ptr<audio::AudioFormat> TestFormMain::open_audio_file(const std::u16string& path) {
    if (real_files) return audio::AudioFormat::create_for_file(path);
    if (path.size() >= 8 && path.compare(path.size() - 8, 8, u".bad.wav") == 0) return nullptr;
    ++journal_.opened;
    return std::make_unique<FakeFormat>(std::make_unique<FakeReader>(file_, journal_), path, journal_);
}

namespace {

std::vector<ShownBox> boxes;

int record_box(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type) {
    boxes.push_back({owner, text, caption, type});
    return IDOK;
}

}  // namespace

std::vector<ShownBox>& shown_boxes() { return boxes; }

void watch_message_boxes() {
    boxes.clear();
    app::set_message_box_function(record_box);
}

void stop_watching_message_boxes() { app::set_message_box_function(nullptr); }

void install_program_files(const fixtures::DeviceRoot& root, const std::string& folder) {
    const fs::path program = fs::path(VANTREL_TEST_BINARY_DIR) / "bin";
    const fs::path target = folder.empty() ? fs::path(root.path()) : fs::path(root.host(folder));
    fs::create_directories(target / "skins");
    fs::copy(program / "skins", target / "skins", fs::copy_options::recursive);
    fs::copy_file(program / "english.lng", target / "english.lng");
}

void MainFormTest::SetUp() {
    install_program_files(root);
    watch_message_boxes();
    application_ = std::make_unique<skinner::Application>(nullptr, u"Vantrel");
    properties_ = std::make_unique<skinner::Properties>(u"\\skins\\default\\default.skin",
                                                        skinner::FormImpl::get_screen_size(nullptr), skinner::Point());
    ASSERT_TRUE(properties_->is_loaded());
    ASSERT_TRUE(properties_->load_strings(u"\\english.lng"));
    make_clips();
    make_form();
}

void MainFormTest::TearDown() {
    form_.reset();
    properties_.reset();
    application_.reset();
    stop_watching_message_boxes();
}

TestFormMain& MainFormTest::make_form() {
    form_.reset();
    form_ = std::make_unique<TestFormMain>(properties_.get(), file, journal, player_);
    return *form_;
}

FakeReader& MainFormTest::reader() {
    auto* format = form_->get_format();
    EXPECT_NE(format, nullptr);
    return *dynamic_cast<FakeReader*>(format->get_reader());
}

void MainFormTest::make_clips() {
    fs::create_directories(root.host("Clips/Sub"));
    for (const char* name : {"a.wav", "b.wav", "c.bad.wav"}) fixtures::write_file(root.host(std::string("Clips/") + name), "x");
}

void MainFormTest::select_clip(const std::u16string& name) {
    form_->open_folder(u"\\Clips");
    for (const app::FileListItem& item : form_->file_list().items()) {
        if (item.name == name) form_->file_list().select_path(item.path);
    }
    ASSERT_EQ(form_->file_list().item_at(form_->file_list().get_selected()).name, name);
}

void MainFormTest::play_reaches(double seconds) {
    player().unplayed = 0;
    reader().set_position(units(seconds));
}

void MainFormTest::reach_start_panel() {
    select_clip(u"a.wav");
    form_->on_command(u"Select");
    ASSERT_EQ(panel(), "start");
    form_->on_timer(form_->get_play_timer());
    ASSERT_NE(form_->get_format(), nullptr);
}

void MainFormTest::reach_finish_panel(double start_seconds) {
    reach_start_panel();
    play_reaches(start_seconds);
    form_->start_panel().button.click();
    ASSERT_EQ(panel(), "finish");
}

void MainFormTest::reach_save_panel(double start_seconds, double finish_seconds) {
    reach_finish_panel(start_seconds);
    play_reaches(finish_seconds);
    form_->finish_panel().button.click();
    ASSERT_EQ(panel(), "save");
}

void MainFormTest::reach_exact_start_panel(double start_seconds, double finish_seconds) {
    reach_save_panel(start_seconds, finish_seconds);
    form_->save_panel().exact.click();
    ASSERT_EQ(panel(), "exact-start");
}

void MainFormTest::reach_exact_finish_panel(double start_seconds, double finish_seconds) {
    reach_exact_start_panel(start_seconds, finish_seconds);
    form_->on_command(u"Confirm");
    ASSERT_EQ(panel(), "exact-finish");
}

std::string MainFormTest::panel() {
    skinner::Control* current = form_->current_panel();
    if (current == &form_->file_panel()) return "file";
    if (current == &form_->start_panel()) return "start";
    if (current == &form_->finish_panel()) return "finish";
    if (current == &form_->save_panel()) return "save";
    if (current == &form_->exact_start_panel()) return "exact-start";
    if (current == &form_->exact_finish_panel()) return "exact-finish";
    return "none";
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace app_test
