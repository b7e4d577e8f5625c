// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace varnoth {

// A language table: the captions of the dialogs in one language, read from INI text (UTF-8).
// Only section "[String]" counts. Keys are "IDD<template>_title" and "IDD<template>_<control id>",
// compared without regard to case; lines starting with "//" are remarks; a key that occurs twice counts
// with its first occurrence; spaces around keys and values are dropped.
class LanguageTable {
  public:
    LanguageTable() = default;

    static LanguageTable Parse(std::string_view text);

    // The value of the key, or an empty string when the key is missing.
    std::string Lookup(std::string_view key) const;

    static std::string TitleKey(int templateNumber);
    static std::string ControlKey(int templateNumber, int controlId);

  private:
    std::unordered_map<std::string, std::string> m_entries;  // keys in lower case
};

}  // namespace varnoth
