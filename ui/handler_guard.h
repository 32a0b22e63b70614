#pragma once
// The one way the windows run a handler from a signal. Qt's signal delivery is
// not exception-safe, so an error a handler lets out ends here, in the
// application's error dialog, and the window goes on with the next message.
// The handlers are the window's methods; tests call them directly.

#include "ui/wright_application.h"

namespace wright::ui {

// The signal's slot for form->handler(); whatever the handler returns is
// dropped, as a signal has no use for it.
template <typename Form, typename Result>
auto guarded(Form* form, Result (Form::*handler)()) {
    return [form, handler] {
        try {
            (form->*handler)();
        } catch (...) {
            if (auto* app = WrightApplication::instance()) app->reportError(currentExceptionMessage());
        }
    };
}

}  // namespace wright::ui
