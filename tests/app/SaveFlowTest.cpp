// The main form's save flow: the proposed name and the prompt, the checks that end the save
// (a rejected name, the source's own name, an existing file not to be replaced), the outcome
// of the conversion (no room, cancelled, nothing written, written, assigned), and a real
// conversion of the selection into the ringtone folder.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "app/FormConverting.h"
#include "app/FormReport.h"
#include "app/FormSave.h"
#include "app/FormYesNo.h"
#include "app/Ringtone.h"
#include "base/Path.h"
#include "base/Registry.h"
#include "tests/app/support/DialogTesting.h"
#include "tests/app/support/MainFormTesting.h"
#include "tests/fixtures/AudioFixtures.h"
#include "ui/controls/ControlButton.h"

namespace app_test {
namespace {

using dialog_test::control;
using dialog_test::Script;

// What the dialogs of one save were asked and how they answer.
struct Dialogs {
    enum Naming { keep, type, cancel };
    // The proposal taken, a name typed over it, or the save form cancelled.
    Naming naming = keep;
    std::u16string typed{};
    bool replace = true;
    std::u16string proposed{};
    std::u16string prompt{};
    std::vector<std::u16string> reports{};
    std::vector<std::u16string> questions{};
};

// Answers each dialog once as it comes to the front, for as long as the save runs.
class Answerer {
public:
    explicit Answerer(Dialogs& dialogs) : script_(std::vector<std::function<void()>>(2000, [this] { answer(); })), dialogs_(dialogs) {}

private:
    void answer() {
        skinner::Form* form = skinner::Form::get_modal_form();
        // By window: a later dialog may be built where an earlier one was.
        if (!form || !answered_.insert(form->get_hwnd()).second) return;
        if (auto* save = dynamic_cast<app::FormSave*>(form)) {
            dialogs_.proposed = save->edit().get_text();
            dialogs_.prompt = save->get_prompt();
            if (dialogs_.naming == Dialogs::cancel) {
                control<skinner::ControlButton>(*save, u"btnCancel")->click();
                return;
            }
            if (dialogs_.naming == Dialogs::type) save->edit().set_text(dialogs_.typed);
            control<skinner::ControlButton>(*save, u"btnOk")->click();
        } else if (auto* report = dynamic_cast<app::FormReport*>(form)) {
            dialogs_.reports.push_back(report->get_text());
            report->close();
        } else if (auto* question = dynamic_cast<app::FormYesNo*>(form)) {
            dialogs_.questions.push_back(question->get_text());
            control<skinner::ControlButton>(*question, dialogs_.replace ? u"btnYes" : u"btnNo")->click();
        }
    }

    Script script_;
    Dialogs& dialogs_;
    std::set<HWND> answered_;
};

// A converting form without room for the output.
class NoRoom : public app::FormConverting {
public:
    using FormConverting::FormConverting;
    bool has_enough_space() override { return false; }
    bool run() override {
        ADD_FAILURE() << "run without room";
        return false;
    }
};

// A converting form that the user cancels at once.
class Cancelled : public app::FormConverting {
public:
    using FormConverting::FormConverting;
    bool run() override { return false; }
};

// A converting form that notes when it ticks as the modal form: a short span can end before
// a poll of the dialogs would see it.
class Watched : public app::FormConverting {
public:
    Watched(skinner::Form* parent, skinner::Properties* properties, const std::u16string& source,
            const std::u16string& target, int start, int finish, bool& shown)
        : FormConverting(parent, properties, source, target, start, finish), shown_(shown) {}
    void on_timer(uint32_t id) override {
        if (skinner::Form::get_modal_form() == this) shown_ = true;
        FormConverting::on_timer(id);
    }

private:
    bool& shown_;
};

std::u16string ringtone_sound() {
    std::u16string value = u"<none>";
    skinner::registry_read_string(app::ringtone_key, u"Sound", value);
    return value;
}

class SaveFlowTest : public MainFormTest {
public:
    // Runs the save with the dialogs answered as given; the path it returns.
    std::u16string save(Dialogs& dialogs, bool assign = false) {
        Answerer answerer(dialogs);
        return form().make_ringtone(assign);
    }
    // The converting forms the save makes: kind "tone" (two seconds of a tone), "none" (no
    // source), "no-room", "cancelled"; counted in made.
    void convert_with(const std::string& kind) {
        form().converting_form = [this, kind](const std::u16string&, const std::u16string& target)
            -> std::unique_ptr<app::FormConverting> {
            ++made;
            skinner::Properties* words = &skin();
            if (kind == "none") {
                return std::make_unique<app::FormConverting>(&form(), words, std::unique_ptr<audio::AudioFormat>(), target, 0, 1000);
            }
            auto tone = dialog_test::tone_format(2 * 44100);
            if (kind == "no-room") return std::make_unique<NoRoom>(&form(), words, std::move(tone), target, 0, 88200);
            if (kind == "cancelled") return std::make_unique<Cancelled>(&form(), words, std::move(tone), target, 0, 88200);
            return std::make_unique<app::FormConverting>(&form(), words, std::move(tone), target, 0, 88200);
        };
    }
    std::u16string text(const char16_t* key) { return skin().get_string(key); }
    std::string rings(const std::string& name) { return root.host("Windows/Rings/" + name); }

    int made = 0;
};

TEST_F(SaveFlowTest, ProposesTheFirstFreeNameInTheRingtoneFolderAndSaysWhereItGoes) {
    select_clip(u"a.wav");
    convert_with("tone");
    for (int round = 1; round <= 2; ++round) {
        Dialogs dialogs{.naming = Dialogs::cancel};  // nothing is made
        EXPECT_EQ(save(dialogs, round == 2), u"");
        EXPECT_EQ(dialogs.proposed, round == 1 ? u"a_001" : u"a_002");
        EXPECT_EQ(dialogs.prompt, text(round == 1 ? u"Ringtone_will_be_saved" : u"Ringtone_will_be_assigned") +
                                      u" \\Windows\\Rings");
        EXPECT_TRUE(fixtures::file_exists(root.host("Windows/Rings")));  // made on the way
        fixtures::write_file(rings("a_001.mp3"), "old");
    }
    EXPECT_EQ(made, 0);
}

TEST_F(SaveFlowTest, NamesThatEndTheSaveWithTheirReport) {
    fixtures::write_file(rings("tone.mp3"), "x");
    struct Case {
        const char* what;
        const char16_t* source;
        const char16_t* typed;
        const char16_t* report;
    };
    const Case cases[] = {
        {"empty", u"\\Clips\\a.wav", u"", u"Empty_name"},
        {"too long", u"\\Clips\\a.wav", u"", u"Too_long_name"},
        {"forbidden character", u"\\Clips\\a.wav", u"a?b", u"Bad_name"},
        {"the source itself", u"\\Windows\\Rings\\tone.mp3", u"Tone", u"Same_name"},
    };
    convert_with("tone");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form().open_folder(skinner::get_directory(c.source));
        form().file_list().select_path(c.source);
        ASSERT_EQ(form().file_list().get_selected_path(), c.source);
        Dialogs dialogs{.naming = Dialogs::type, .typed = c.typed};
        if (std::u16string(c.report) == u"Too_long_name") dialogs.typed = std::u16string(250, u'x');
        EXPECT_EQ(save(dialogs), u"");
        EXPECT_EQ(dialogs.reports, std::vector<std::u16string>{text(c.report)});
    }
    EXPECT_EQ(made, 0);
    EXPECT_EQ(fixtures::read_file(rings("tone.mp3")), "x");
}

TEST_F(SaveFlowTest, AnExistingFileIsReplacedOnlyWhenTheUserSaysSo) {
    select_clip(u"a.wav");
    convert_with("tone");
    fixtures::write_file(rings("bell.mp3"), "old");
    for (bool replace : {false, true}) {
        SCOPED_TRACE(replace);
        Dialogs dialogs{.naming = Dialogs::type, .typed = u"Bell", .replace = replace};
        const std::u16string saved = save(dialogs);
        EXPECT_EQ(dialogs.questions, std::vector<std::u16string>{text(u"Replace_existing_file")});
        EXPECT_EQ(saved, replace ? u"\\Windows\\Rings\\Bell.mp3" : u"");
        EXPECT_EQ(fixtures::read_file(rings("bell.mp3")) == "old", !replace);
    }
    EXPECT_EQ(made, 1);
}

TEST_F(SaveFlowTest, OutcomesOfTheConversion) {
    struct Case {
        const char* converting;
        bool existing;  // a file of the name was there and the user agreed to replace it
        bool assign;
        bool made;      // the save's result is the file
        bool reported;  // "Can't_make_ringtone"
    };
    const Case cases[] = {
        {"no-room", false, true, false, true},
        {"no-room", true, true, false, true},  // the old file is neither the result nor assigned
        {"cancelled", false, true, false, false},
        {"cancelled", true, true, false, false},
        {"none", false, true, false, true},
        {"tone", false, false, true, false},
        {"tone", true, true, true, false},
    };
    select_clip(u"a.wav");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.converting) + (c.existing ? " over a file" : "") + (c.assign ? " assigned" : " saved"));
        skinner::registry_write_string(app::ringtone_key, u"Sound", u"<none>");
        std::remove(rings("a_001.mp3").c_str());
        if (c.existing) fixtures::write_file(rings("a_001.mp3"), "old");
        convert_with(c.converting);
        made = 0;
        Dialogs dialogs{.naming = Dialogs::type, .typed = u"a_001"};
        const std::u16string saved = save(dialogs, c.assign);
        EXPECT_EQ(made, 1);
        EXPECT_EQ(dialogs.questions.size(), c.existing ? 1u : 0u);
        EXPECT_EQ(saved, c.made ? u"\\Windows\\Rings\\a_001.mp3" : u"");
        EXPECT_EQ(dialogs.reports, c.reported ? std::vector<std::u16string>{text(u"Can't_make_ringtone")}
                                              : std::vector<std::u16string>{});
        EXPECT_EQ(ringtone_sound(), c.made && c.assign ? saved : u"<none>");
        if (c.made) {
            fixtures::DecodedAudio decoded = fixtures::decode_audio(rings("a_001.mp3"));
            EXPECT_TRUE(decoded.ok);
            EXPECT_EQ(decoded.channels, 1);
        }
    }
}

TEST_F(SaveFlowTest, TheSelectionIsConvertedIntoTheRingtoneFolder) {
    // The form's fake reader counts bytes as the PCM reader of the real file beside it does.
    file = FakeFile{.sample_rate = 8000, .channels = 1, .units_per_second = 16000, .bitrate = 128000, .seconds = 8.0};
    ASSERT_TRUE(fixtures::make_wav(root.host("Clips/a.wav"), {8.0, 8000, 1, 16, 440.0, 0.0, 0.25}));
    reach_save_panel(1.0, 6.0);
    bool shown = false;
    form().converting_form = [this, &shown](const std::u16string& source, const std::u16string& target)
        -> std::unique_ptr<app::FormConverting> {
        ++made;
        // Both marks are set, so the span is theirs as the form's own would be.
        return std::make_unique<Watched>(&form(), &skin(), source, target, form().get_start(), form().get_finish(),
                                         shown);
    };
    Dialogs dialogs;
    const std::u16string saved = save(dialogs, true);
    EXPECT_EQ(saved, u"\\Windows\\Rings\\a_001.mp3");
    EXPECT_EQ(made, 1);
    EXPECT_TRUE(shown);
    EXPECT_EQ(dialogs.reports, std::vector<std::u16string>{});
    EXPECT_EQ(ringtone_sound(), saved);
    fixtures::DecodedAudio decoded = fixtures::decode_audio(rings("a_001.mp3"));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.channels, 1);
    EXPECT_NEAR(decoded.peak(), 0.75, 0.04);
    // The five seconds between the marks, give or take the encoder's delay and the last frame.
    EXPECT_NEAR(static_cast<double>(decoded.frames()), 5.0 * decoded.sample_rate, 2 * 576 + 1105);
}

}  // namespace
}  // namespace app_test
