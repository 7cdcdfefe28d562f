#pragma once
// The world of the container, scroll-bar and grid tests: the test skin (skins/grid.json with
// its SVG pictures, compiled by the build) in a device root of the test's own, an Application,
// the skin's properties and the form "FormGrid".
#include <memory>
#include <string>
#include <vector>

#include "tests/fixtures/DeviceRoot.h"
#include "ui/application/Application.h"
#include "ui/graphics/Color.h"
#include "ui/forms/Form.h"
#include "ui/skin/Properties.h"

namespace grid_test {

// "FormGrid", recording the events that reach it, each as "name(sender)".
class RecordingForm : public skinner::Form {
public:
    RecordingForm(skinner::Properties* properties) : Form(nullptr, properties, u"FormGrid") {}

    struct Event {
        std::string name;
        skinner::Control* sender = nullptr;
        skinner::GridCellEvent cell;
        skinner::GridHeaderEvent header;
    };
    std::vector<Event> events;
    // The names of the events recorded since the last call, then forgets them.
    std::vector<std::string> take_names();

    void on_control_event(skinner::Control* sender, const skinner::ButtonEvent&) override { add("control_event", sender); }
    void on_item_click(skinner::Control* sender, const skinner::GridCellEvent& e) override { add("item_click", sender).cell = e; }
    void on_cell_context(skinner::Control* sender, const skinner::GridCellEvent& e) override { add("cell_context", sender).cell = e; }
    void on_scroll(skinner::Control* sender) override { add("scroll", sender); }
    void on_header_click(skinner::Control* sender, const skinner::GridHeaderEvent& e) override { add("header_click", sender).header = e; }
    void on_header_context(skinner::Control* sender, const skinner::GridHeaderEvent& e) override {
        add("header_context", sender).header = e;
    }
    void on_check_changed(skinner::Control* sender) override { add("check_changed", sender); }
    void on_highlight_changed(skinner::Control* sender) override { add("highlight_changed", sender); }

private:
    Event& add(const char* name, skinner::Control* sender) {
        events.push_back({name, sender, {}, {}});
        return events.back();
    }
};

class GridWorld {
public:
    GridWorld();
    ~GridWorld();

    bool ready() const { return form_ != nullptr; }
    RecordingForm& form() { return *form_; }
    skinner::Properties& properties() { return *properties_; }
    const fixtures::DeviceRoot& root() const { return root_; }

private:
    fixtures::DeviceRoot root_;
    std::unique_ptr<skinner::Application> application_;
    std::unique_ptr<skinner::Properties> properties_;
    std::unique_ptr<RecordingForm> form_;
};

// The picture colours of the test skin, and which of them a pixel shows.
enum class Shade { Other, Red, Green, Blue, Grey, Yellow, White, Navy, Cyan, Magenta, Brown, Black };
Shade shade_of(uint32_t rgb);
const char* name_of(Shade shade);

// Runs the thread's messages for the given time (timers and active objects complete).
void pump_messages_for(double seconds);

}  // namespace grid_test
