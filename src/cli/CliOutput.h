// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>
#include <variant>
#include <vector>

namespace varnoth {

// One line of output: a name and a number or a text.
struct CliField {
    std::string name;
    std::variant<int, std::string> value;
};

// As "Name = value" lines (dump --json prints the readable preset's document instead).
void PrintFields(std::ostream& out, const std::vector<CliField>& fields);

// A text from the device, shown with its control characters escaped.
std::string Printable(const std::string& text);
// The same in double quotes, to begin a message with (a message is then appended to it).
std::string Quoted(const std::string& text);

// A progress bar redrawn in place on a terminal; silent elsewhere.
class ProgressBar {
  public:
    ProgressBar(std::ostream& out, bool terminal) : m_out(out), m_terminal(terminal) {}
    void Show(int percent);
    // Completes the line.
    void End(int percent);

  private:
    std::ostream& m_out;
    bool m_terminal;
    int m_shown = -1;
};

}  // namespace varnoth
