#pragma once

#include "app/form_spec.h"
#include "platform/services_qt.h"

namespace quellbo::app {

// Gives window the form's title, place and client size, and creates its
// controls in form order, each named after its control and placed inside its
// parent. Buttons are connected to their click handlers where one exists.
// Kinds without a widget here (the browser control) are left to the window.
void buildForm(platform::FormWindow& window, const FormSpec& form);

}  // namespace quellbo::app
