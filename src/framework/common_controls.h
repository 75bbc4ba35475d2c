#pragma once

namespace fw {

// Registers the common control classes (progress bar, tooltip) for the process, once.
void EnsureCommonControls();

}  // namespace fw
