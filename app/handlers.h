#pragma once

#include "platform/services.h"

namespace quellbo::app {

// The handlers of a form's events. The windows look them up here, so the
// logic stays free of any toolkit.
using Handler = void (*)();

// The click handler of a button; nullptr for a button without one.
Handler clickHandler(platform::Form form, const Text& button);

// Runs once the main window exists, before it takes any input.
void onMainWindowCreated();
// Runs when the main window is about to be destroyed.
void onMainWindowDestroying();

}  // namespace quellbo::app
