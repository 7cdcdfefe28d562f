#pragma once
// The application layer, on the skin. Application: the one process-wide object of the
// framework (COM for the user-interface thread, the window class name of every form window,
// the module instance, and the scheduler; its base in Singleton.h). Beside it, the
// single-instance check that hands the command line over to a running instance
// (SingleInstance.cpp).
#include <memory>
#include <string>

#include "base/ActiveScheduler.h"
#include "platform/window/Window.h"
#include "ui/application/Singleton.h"

namespace skinner {

class Application : public Singleton<Application> {
public:
    // Fatal error when an Application exists already.
    Application(HINSTANCE instance, const std::u16string& name);
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* instance() { return instance_pointer(); }

    HINSTANCE get_hinstance() const { return instance_; }
    // "SkinnerClass_" + the program name.
    const std::u16string& get_class_name() const { return class_name_; }
    const std::u16string& get_name() const { return name_; }
    CActiveScheduler* get_scheduler() const { return scheduler_.get(); }

    // True when another instance runs and has taken the command line: the caller then ends.
    // False for the first instance, which holds the instance mutex until the close bracket.
    static bool show_running_instance_open_bracket(const std::u16string& command_line, const std::u16string& name);
    static void show_running_instance_close_bracket();
    static BOOL EnumProc(HWND window, LPARAM unused);

    // The command line inside a WM_COPYDATA that another instance sent: only a record whose
    // data word is 0, whose size is within max_command_line_bytes and whose bytes are there;
    // an odd last byte is dropped.
    static bool read_handed_over_command_line(const COPYDATASTRUCT* data, std::u16string& out);
    static constexpr DWORD max_command_line_bytes = 65536;

    // What the running instance receives when the new one has no command line.
    static constexpr const char16_t* empty_command_line = u"%CommandLineEmpty%";

private:
    HINSTANCE instance_ = nullptr;
    std::u16string class_name_;
    std::u16string name_;
    std::unique_ptr<CActiveScheduler> scheduler_;
};

}  // namespace skinner
