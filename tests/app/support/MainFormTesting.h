#pragma once
// What the main form's tests share: the program's built skin and English strings in a fresh
// device root with an Application; audio files of the tests' own making (a fake reader whose
// positions are whatever units a case gives it) and a player that plays nothing but lets the
// test pull through the chain and say when it has finished.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/FormConverting.h"
#include "app/FormMain.h"
#include "app/PreviewPlayer.h"
#include "audio/AudioFormat.h"
#include "tests/fixtures/DeviceRoot.h"
#include "ui/application/Application.h"
#include "ui/skin/Properties.h"

namespace app_test {

// What every fake file opened by the form is like.
struct FakeFile {
    int sample_rate = 44100;
    int channels = 2;
    // Position units a second: sample frames by default, not bytes.
    int units_per_second = 44100;
    // What the reader says its bit rate is; the form must not turn times into bytes with it.
    int bitrate = 128000;
    double seconds = 10.0;
    // Units before the audio's first sample, as an MP3's tags: a time is no count of units.
    int offset = 0;
    int length() const { return offset + static_cast<int>(seconds * units_per_second); }
    int position_at(double s) const { return offset + static_cast<int>(s * units_per_second); }
    double time_at(int position) const { return position <= offset ? 0.0 : double(position - offset) / units_per_second; }
};

// Counts of what happened to the fakes across a test.
struct FakeJournal {
    int opened = 0;
    int seeks = 0;
    int resets = 0;
    // Readers deleted while still linked to a node downstream.
    int deleted_while_linked = 0;
};

class FakeReader : public audio::FileReader {
public:
    FakeReader(const FakeFile& file, FakeJournal& journal) : file_(file), journal_(journal) {}
    ~FakeReader() override;

    void read(audio::AudioBlock& out, int frames) override;
    bool is_open() override { return true; }
    bool at_end() override { return position_ >= file_.length(); }
    int get_channels() override { return file_.channels; }
    int get_bits() override { return 16; }
    int get_sample_rate() override { return file_.sample_rate; }
    int get_bitrate() override { return file_.bitrate; }
    int seconds_to_position(double seconds) override { return file_.position_at(seconds); }
    double position_to_seconds(int position) override { return file_.time_at(position); }
    int get_length() override { return file_.length(); }
    int get_position() override { return position_; }
    void seek(int position) override;
    bool push_time_span(double) override { return false; }
    bool push_units(int) override { return false; }

    // The position the test says the reader has reached.
    void set_position(int position) { position_ = position; }

private:
    FakeFile file_;
    FakeJournal& journal_;
    int position_ = 0;
};

class FakeFormat : public audio::AudioFormat {
public:
    FakeFormat(std::unique_ptr<FakeReader> reader, const std::u16string& path, FakeJournal& journal)
        : AudioFormat(std::move(reader), path, u"Fake"), journal_(journal) {}
    void reset() override { ++journal_.resets; }

private:
    FakeJournal& journal_;
};

class FakePlayer : public app::PreviewPlayer {
public:
    audio::DataSink& sink() override { return sink_; }
    bool play() override;
    bool stop() override;
    bool is_finished() override { return finished; }
    int get_unplayed_samples() override { return unplayed; }

    // Pulls as the player's thread would: seconds of audio through the fade filter.
    void pull_seconds(double seconds, int sample_rate);

    bool finished = true;
    int unplayed = 0;
    bool play_works = true;
    int plays = 0;
    int stops = 0;

private:
    audio::DataSink sink_;
};

// The form with the fake files: every path opens unless it ends in ".bad.wav".
class TestFormMain : public app::FormMain {
public:
    TestFormMain(skinner::Properties* properties, FakeFile& file, FakeJournal& journal, FakePlayer*& player);

    void on_control_event(skinner::Control* sender, const skinner::ButtonEvent& event) override;
    // Control events the form received, in order.
    std::vector<skinner::Control*> events;
    // Set: the form opens the real files through the program's open-file factory.
    bool real_files = false;

    // Set: makes the save flow's converting form in place of the form's own.
    std::function<std::unique_ptr<app::FormConverting>(const std::u16string& source, const std::u16string& target)>
        converting_form;

protected:
    std::unique_ptr<audio::AudioFormat> open_audio_file(const std::u16string& path) override;
    std::unique_ptr<app::FormConverting> make_converting_form(const std::u16string& source,
                                                              const std::u16string& target) override;

private:
    FakeFile& file_;
    FakeJournal& journal_;
};

// A message box the program showed (answered at once with IDOK).
struct ShownBox {
    HWND owner = nullptr;
    std::u16string text;
    std::u16string caption;
    UINT type = 0;
};
// Boxes shown since the last call of watch_message_boxes.
std::vector<ShownBox>& shown_boxes();
// Catches the program's message boxes (until stop_watching_message_boxes).
void watch_message_boxes();
void stop_watching_message_boxes();

// Copies the program's built skin folders and English strings into the root.
void install_program_files(const fixtures::DeviceRoot& root, const std::string& folder = "");

// Public throughout: the tables of cases drive the fixture from lambdas.
class MainFormTest : public ::testing::Test {
public:
    void SetUp() override;
    void TearDown() override;

    // A new form on the fixture's skin (the old one is deleted first).
    TestFormMain& make_form();
    TestFormMain& form() { return *form_; }
    FakePlayer& player() { return *player_; }
    FakeReader& reader();
    skinner::Properties& skin() { return *properties_; }

    // The clips folder "\Clips" with a.wav, b.wav, c.bad.wav and the folder "Sub".
    void make_clips();
    // The clip selected in the list of its folder.
    void select_clip(const std::u16string& name);
    // The panel flow's way to each panel, with a long enough selection where one is needed.
    void reach_start_panel();
    void reach_finish_panel(double start_seconds = 1.0);
    void reach_save_panel(double start_seconds = 1.0, double finish_seconds = 6.0);
    void reach_exact_start_panel(double start_seconds = 1.0, double finish_seconds = 6.0);
    void reach_exact_finish_panel(double start_seconds = 1.0, double finish_seconds = 6.0);
    // The reader heard at that time (nothing queued in the device).
    void play_reaches(double seconds);
    int units(double seconds) const { return file.position_at(seconds); }
    void fire_position_timer() { form_->on_timer(form_->get_position_timer()); }
    // The name of the visible panel ("file", "start", "finish", "save", "exact-start", "exact-finish").
    std::string panel();

    fixtures::DeviceRoot root;
    FakeFile file;
    FakeJournal journal;

private:
    std::unique_ptr<skinner::Application> application_;
    std::unique_ptr<skinner::Properties> properties_;
    std::unique_ptr<TestFormMain> form_;
    FakePlayer* player_ = nullptr;
};

// Handles every message waiting for this thread.
void pump();

}  // namespace app_test
