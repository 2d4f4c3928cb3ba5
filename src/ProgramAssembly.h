#pragma once

// The program put together: the windows (src/ui) and the options dialog (src/options) know only the
// session, not each other. Install() tells the start-up (MMain::Main) how to make the options dialog
// and how the windows open it; call it before MMain::Main.
namespace ProgramAssembly {
void Install();
} // namespace ProgramAssembly
