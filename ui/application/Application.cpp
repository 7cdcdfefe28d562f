#include "ui/application/Application.h"

#include "base/Log.h"
#include "base/Strings.h"
#include "platform/threads/Threads.h"

namespace skinner {

namespace {

// Set only while an Application exists: the constructor's own check.
Application* application_guard = nullptr;

}  // namespace

Application::Application(HINSTANCE instance, const std::u16string& name) : Singleton<Application>(this) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    instance_ = instance;
    class_name_ = u"SkinnerClass_" + name;
    name_ = name;
    if (application_guard) {
        gluck(u"instance != 0", u"Application::Application");
    }
    application_guard = this;
    scheduler_ = std::make_unique<CActiveScheduler>(instance_, class_name_);
}

Application::~Application() {
    scheduler_.reset();
    show_running_instance_close_bracket();
    application_guard = nullptr;
    class_name_.clear();
    name_.clear();
    CoUninitialize();
}

}  // namespace skinner
