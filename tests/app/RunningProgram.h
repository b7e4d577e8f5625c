// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace varnoth::test {

inline constexpr int kDeadlineMs = 60000;

// The program started as a separate process with the test's private home and session folders, on the
// offscreen platform unless the variables say otherwise; a variable given a null value is taken out of its
// environment.
class Program {
  public:
    explicit Program(const QStringList& arguments = {},
                     const std::vector<std::pair<QString, QString>>& variables = {});
    // The program started by a shell script in `folder`, "$0" in the script being the program: printf there
    // makes the bytes of a name that is not UTF-8, which QProcess cannot pass as an argument.
    Program(const QString& script, const QStringList& scriptArguments, const QString& folder);
    ~Program();

    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Waits until the program has written `line` to its trace output.
    bool WaitForTrace(const QString& line);
    // Waits until the program has ended, at most boundMs, and collects the rest of its trace.
    bool WaitForExit(int boundMs = kDeadlineMs);
    void Kill();
    // Sends the signal to the program.
    bool Signal(int signalNumber);
    // Whether the program ended by the signal itself, as a shell sees it.
    bool EndedBy(int signalNumber) const;
    QProcess& Process() { return m_process; }
    const QString& TraceText() const { return m_trace; }

  private:
    void Start(const QString& program, const QStringList& arguments,
               const std::vector<std::pair<QString, QString>>& variables);

    QProcess m_process;
    QString m_trace;
};

// An X server of the test's own (Xvfb), so that the program's windows can be driven with keys as a user
// drives them.
class VirtualDisplay {
  public:
    VirtualDisplay();
    ~VirtualDisplay();

    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // ":N", or empty when the server did not start.
    const QString& Name() const { return m_name; }

    // Runs xdotool (or another X client) on this display; its output, or nothing when it failed.
    std::optional<QString> Tool(const QStringList& arguments,
                                const QString& program = QStringLiteral("xdotool")) const;

    // The first visible window of the process, waited for; empty when none came within the deadline.
    QString WindowOf(qint64 processId) const;

    // Answers the next message box titled caption that is not one of answered by its default button (Yes):
    // focuses it and presses Return. False when none came within the deadline.
    bool PressReturnIn(const QString& caption, QStringList& answered) const;

  private:
    QProcess m_server;
    QString m_name;
};

bool Installed(const QString& program);

}  // namespace varnoth::test
