#include "ui/menus/ShellMenuBarManager.h"

namespace skinner {

void ShellMenuBarManager::invalidate(Form*) { invalidated_ = true; }

void ShellMenuBarManager::rebuild(Form* form) {
    if (!invalidated_) return;
    invalidated_ = false;
    build(form);
    if (bar_) compose(form);
}

}  // namespace skinner
