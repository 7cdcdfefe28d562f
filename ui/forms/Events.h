#pragma once
// The event interface that controls and forms share, and the records its events carry: a
// button's fire, a grid's cell and header notifications. A control passes every event to its
// owner form, a form to its parent sink (the container that embeds it), until a form that
// handles the event overrides its operation.
#include <cstdint>
#include <string>

#include "ui/graphics/Point.h"

namespace skinner {

// A button's fire: value is the double-tap flag of the pen press that the release ends, 0 for
// a click by key, command or program; (x, y) is where it fired.
struct ButtonEvent {
    int32_t value = 0;
    int32_t x = 0;
    int32_t y = 0;
};

// A grid cell: offset is the point within the cell, point the pointer in form coordinates.
struct GridCellEvent {
    int32_t column = 0;
    int32_t row = 0;
    Point offset;
    Point point;
    uint8_t flag = 0;
};

struct GridHeaderEvent {
    int32_t column = 0;
    Point offset;
    Point point;
};

class Control;
class MenuItem;

// The 24 event operations in their fixed order. Each passes the event on unchanged to the
// sink's event target (a control's owner form, a form's parent sink); nothing happens without
// one. The reserved ones do nothing anywhere.
class EventSink {
public:
    virtual ~EventSink() = default;

    virtual void on_control_event(Control* sender, const ButtonEvent& event);
    virtual int reserved_event_1(Control*) { return 0; }
    virtual void on_item_click(Control* sender, const GridCellEvent& event);
    virtual int reserved_event_3(Control*) { return 0; }
    virtual void on_cell_context(Control* sender, const GridCellEvent& event);
    virtual int reserved_event_5(Control*) { return 0; }
    virtual int reserved_event_6(Control*) { return 0; }
    virtual int reserved_event_7(Control*) { return 0; }
    virtual int reserved_event_8(Control*) { return 0; }
    virtual void on_cell_event(Control* sender, const GridCellEvent& event);
    virtual int reserved_event_10(Control*) { return 0; }
    // No framework control raises it; its word means what sender and receiver agree on.
    virtual void on_event_11(Control* sender, uint32_t word);
    virtual void on_scroll(Control* sender);
    virtual void on_command(const std::u16string& command);
    virtual void on_value_changed(Control* sender, double value);
    virtual void on_state_changed(Control* sender);
    virtual void on_text_changed(Control* sender);
    virtual void on_header_click(Control* sender, const GridHeaderEvent& event);
    virtual void on_header_context(Control* sender, const GridHeaderEvent& event);
    virtual void on_check_changed(Control* sender);
    virtual void on_highlight_changed(Control* sender);
    // A control does nothing with it; a container takes the focus in its own form.
    virtual void request_focus();
    virtual void create_menu(MenuItem& menu);
    virtual void on_event_23(Control* sender, uint32_t word);

protected:
    // Where the events that this sink does not handle go; null: nowhere.
    virtual EventSink* event_target() const = 0;
};

}  // namespace skinner
