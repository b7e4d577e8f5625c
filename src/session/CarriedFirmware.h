// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

namespace varnoth {

// The firmware image this build carries for the amplifier: the file given when the build was configured
// (VARNOTH_FIRMWARE_IMAGE), empty when none was given. Its bytes are sent as they are.
std::span<const std::uint8_t> CarriedFirmwareImage();

// A test image of deterministic bytes (resources/firmware/test-image.bin), not firmware: what the virtual
// amplifier is upgraded with. Never sent to real hardware.
std::span<const std::uint8_t> TestFirmwareImage();

}  // namespace varnoth
