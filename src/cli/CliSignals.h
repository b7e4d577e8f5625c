// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace varnoth {

// Ctrl+C and SIGTERM: the handler only raises a flag, which the command line's waits check.
void InstallInterruptHandler();
bool Interrupted();

}  // namespace varnoth
