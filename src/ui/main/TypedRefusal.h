// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "session/TypedValue.h"

// What the main window says when it refuses a typed value (UTF-8): why, and the range the user may type.
namespace varnoth::mainwin {

// "Out of range: type a value from -50.0dB to 0.0dB" and the like, with the range's words ("or OFF");
// language 0 Chinese, anything else English.
std::string TypedRefusalText(TypedValue::Outcome outcome, const TypedValue::ShownRange& range, int language);

}  // namespace varnoth::mainwin
