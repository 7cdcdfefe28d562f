#include "ui/forms/Events.h"

namespace skinner {

#define PASS_ON(call)                          \
    if (EventSink* target = event_target()) { \
        target->call;                          \
    }

void EventSink::on_control_event(Control* sender, const ButtonEvent& event) { PASS_ON(on_control_event(sender, event)) }
void EventSink::on_item_click(Control* sender, const GridCellEvent& event) { PASS_ON(on_item_click(sender, event)) }
void EventSink::on_cell_context(Control* sender, const GridCellEvent& event) { PASS_ON(on_cell_context(sender, event)) }
void EventSink::on_cell_event(Control* sender, const GridCellEvent& event) { PASS_ON(on_cell_event(sender, event)) }
void EventSink::on_event_11(Control* sender, uint32_t word) { PASS_ON(on_event_11(sender, word)) }
void EventSink::on_scroll(Control* sender) { PASS_ON(on_scroll(sender)) }
void EventSink::on_command(const std::u16string& command) { PASS_ON(on_command(command)) }
void EventSink::on_value_changed(Control* sender, double value) { PASS_ON(on_value_changed(sender, value)) }
void EventSink::on_state_changed(Control* sender) { PASS_ON(on_state_changed(sender)) }
void EventSink::on_text_changed(Control* sender) { PASS_ON(on_text_changed(sender)) }
void EventSink::on_header_click(Control* sender, const GridHeaderEvent& event) { PASS_ON(on_header_click(sender, event)) }
void EventSink::on_header_context(Control* sender, const GridHeaderEvent& event) { PASS_ON(on_header_context(sender, event)) }
void EventSink::on_check_changed(Control* sender) { PASS_ON(on_check_changed(sender)) }
void EventSink::on_highlight_changed(Control* sender) { PASS_ON(on_highlight_changed(sender)) }
void EventSink::request_focus() { PASS_ON(request_focus()) }
void EventSink::create_menu(MenuItem& menu) { PASS_ON(create_menu(menu)) }
void EventSink::on_event_23(Control* sender, uint32_t word) { PASS_ON(on_event_23(sender, word)) }

#undef PASS_ON

}  // namespace skinner
