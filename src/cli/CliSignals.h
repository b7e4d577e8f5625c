// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace varnoth {

// Ctrl+C and SIGTERM: the handler only notes the signal, which the command line's waits check.
void InstallInterruptHandler();
bool Interrupted();
// Once the command has cleaned up: ends the process by the signal that interrupted it, with the signal's
// default action, so that the parent (a shell running a loop) sees it was interrupted and stops too. Returns
// only when no signal came.
void EndByInterruptSignal();

}  // namespace varnoth
