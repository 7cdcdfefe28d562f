// The main form's save flow and its About form.
#include <algorithm>
#include <memory>

#include "app/FormAbout.h"
#include "app/FormConverting.h"
#include "app/FormMain.h"
#include "app/FormReport.h"
#include "app/FormSave.h"
#include "app/FormYesNo.h"
#include "app/MessageBox.h"
#include "app/ProgramVariant.h"
#include "app/Ringtone.h"
#include "app/RingtoneName.h"
#include "app/Settings.h"
#include "base/FileSystem.h"
#include "base/Log.h"
#include "base/Path.h"
#include "ui/application/Application.h"
#include "ui/forms/FormImpl.h"
#include "ui/skin/Properties.h"

namespace app {

namespace {

using skinner::Log;

// The name the user accepted in the save form; empty when none.
std::u16string ask_name(FormMain& form, const std::u16string& prompt, const std::u16string& proposed,
                        const std::u16string& folder) {
    FormSave save(&form, form.get_properties(), prompt, proposed, folder);
    save.do_modal();
    return save.name();
}

bool confirm_replace(FormMain& form) {
    FormYesNo question(&form, form.get_properties(), form.get_properties()->get_string(u"Replace_existing_file"));
    question.do_modal();
    return question.yes();
}

}  // namespace

std::unique_ptr<FormConverting> FormMain::make_converting_form(const std::u16string& source, const std::u16string& target) {
    // An unset start is the file's beginning.
    const int start = std::max(start_, 0);
    // The span in the reader's units, so that a saved file can be checked against the marks.
    Log::instance() << u"FormMain::make_ringtone span " << start << u" " << finish_ << u" {" << target << u"}\n";
    return std::make_unique<FormConverting>(this, get_properties(), source, target, start, finish_);
}

std::u16string FormMain::make_ringtone(bool assign) {
    stop_playing();
    const std::u16string source = file_list().get_selected_path();
    const std::u16string folder = ringtone_folder();
    const std::u16string expanded = skinner::expand_path(folder);
    skinner::create_directories(expanded);
    const std::u16string proposed =
        skinner::get_file_title(make_default_name(expanded, skinner::get_file_title(source), u"mp3"));
    skinner::Properties& words = *get_properties();
    const std::u16string prompt =
        words.get_string(assign ? u"Ringtone_will_be_assigned" : u"Ringtone_will_be_saved") + u" " + expanded;

    const std::u16string name = ask_name(*this, prompt, proposed, folder);
    if (name.empty()) {
        return {};
    }
    const std::u16string target = ringtone_target(folder, name);
    const NameCheck check = check_target(target, source);
    if (check == NameCheck::Same_name) {
        show_report(this, &words, name_check_key(check));
        return {};
    }
    if (check == NameCheck::Replace_existing_file && !confirm_replace(*this)) {
        return {};
    }

    bool made = false;
    {
        // Deleted as soon as it has run, so nothing of it reaches the next dialog.
        std::unique_ptr<FormConverting> converting = make_converting_form(source, target);
        if (converting->has_enough_space()) {
            if (!converting->run()) {
                return {};  // cancelled: the form deleted the target
            }
            made = converting->succeeded();
        } else {
            Log::instance() << u"FormMain::make_ringtone not enough space for {" << target << u"}\n";
        }
    }
    // Only a file this run wrote is the result: an older one of the same name never is.
    if (!made || !skinner::FileInfo(target).exists()) {
        show_report(this, &words, u"Can't_make_ringtone");
        return {};
    }
    if (assign) {
        assign_ringtone(target);
    }
    return target;
}

bool FormMain::load_dialogs_skin() {
    const skinner::Point screen = skinner::FormImpl::get_screen_size(nullptr);
    if (!dialogs_skin_) {
        dialogs_skin_ = std::make_unique<skinner::Properties>(dialogs_skin_path_, screen, skinner::Point());
    }
    // The header's device letters and screens are checked (not its identifier): a skin that
    // does not fit is refused here rather than ending the program on its first look-up.
    if (dialogs_skin_->is_loaded() && dialogs_skin_->check_version(u"", screen)) {
        program_variant().load_dialogs_language(*dialogs_skin_);
        return true;
    }
    message_box(get_hwnd(), u"Skin failed to load, because memory is low",
                get_properties()->get_string(u"skin_ProgramName", u"Vantrel"), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void FormMain::show_about() {
    if (!load_dialogs_skin()) {
        return;
    }
    FormAbout about(this, dialogs_skin_.get(), u"FormAbout", program_variant().about_title());
    about.do_modal();
    save_settings(*this, settings_path_);
}

}  // namespace app
