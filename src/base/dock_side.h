#pragma once

#include <optional>

namespace lumarine {

// The screen edge the docked bar stands at (true: left), as the dock manager last placed
// it; nothing while no bar is docked. Panels read it to know which side faces the screen's
// middle. GUI thread.
std::optional<bool> DockedAtLeft();
void SetDockedAtLeft(std::optional<bool> left);

}  // namespace lumarine
