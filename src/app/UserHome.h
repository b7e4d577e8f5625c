// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace varnoth {

// The user settings live under the home folder (in XDG_CONFIG_HOME, else in HOME/.config). Started without
// HOME (from a service, by env -i), Qt would take the root folder and write /.config: HOME is then set to the
// home folder the user database names. Returns what is wrong when it names none either (the caller then keeps
// the settings of this run elsewhere); empty when HOME is usable.
std::string EnsureHomeFolder();

}  // namespace varnoth
