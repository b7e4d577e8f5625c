#pragma once

#include <string>

// The check after a synchronisation of the device's model and firmware date against the firmware image
// the program carries.
namespace varnoth::mainwin {

inline constexpr const char* kSupportedModel = "VQ317X";

// -2: the name is not the supported model (letter case aside); else the device date against the image date,
// both "YYYY-MM-DD": 1 older, 0 the same, -1 newer. A device date that is no calendar date from 1900 on
// gives 0: nothing is offered for a firmware of unknown age.
int FirmwareCheck(const std::string& deviceName, const std::string& deviceDate, const std::string& imageDate);

}  // namespace varnoth::mainwin
