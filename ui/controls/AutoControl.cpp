#include "ui/forms/AutoControl.h"

#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/ControlLabel.h"
#include "ui/controls/ControlPicture.h"

namespace skinner {

// Any other type builds nothing.
Control* create_auto_control(const std::u16string& type, FormBase* form, const std::u16string& name, int32_t kind) {
    if (type == u"Auto.Button") return new ControlButton(form, name, kind);
    if (type == u"Auto.Frame") return new ControlLabelImpl(form, name, kind);
    if (type == u"Auto.Picture") return new ControlPicture(form, name, kind);
    // A panel embeds with its owner form's own properties.
    if (type == u"Auto.Panel") return new ControlContainer(form, name, kind, form->get_properties());
    return nullptr;
}

}  // namespace skinner
