// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunningProgram.h"

#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTest>

#include <signal.h>

namespace varnoth::test {

Program::Program(const QStringList& arguments, const std::vector<std::pair<QString, QString>>& variables) {
    Start(QStringLiteral(VARNOTH_EXECUTABLE), arguments, variables);
}

Program::Program(const QString& script, const QStringList& scriptArguments, const QString& folder) {
    m_process.setWorkingDirectory(folder);
    Start(QStringLiteral("/bin/sh"),
          QStringList{QStringLiteral("-c"), script, QStringLiteral(VARNOTH_EXECUTABLE)} + scriptArguments,
          {});
}

void Program::Start(const QString& program, const QStringList& arguments,
                    const std::vector<std::pair<QString, QString>>& variables) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VARNOTH_TRACE", "1");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    for (const auto& [name, value] : variables) {
        if (value.isNull()) {
            environment.remove(name);
        } else {
            environment.insert(name, value);
        }
    }
    m_process.setProcessEnvironment(environment);
    m_process.start(program, arguments);
}

Program::~Program() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(kDeadlineMs);
    }
}

bool Program::WaitForTrace(const QString& line) {
    return QTest::qWaitFor(
               [&] {
                   m_trace += QString::fromUtf8(m_process.readAllStandardError());
                   return m_trace.contains(line) || m_process.state() == QProcess::NotRunning;
               },
               kDeadlineMs) &&
           m_trace.contains(line);
}

bool Program::WaitForExit(int boundMs) {
    const bool ended = m_process.state() == QProcess::NotRunning || m_process.waitForFinished(boundMs);
    m_trace += QString::fromUtf8(m_process.readAllStandardError());
    return ended;
}

void Program::Kill() {
    m_process.kill();
    WaitForExit();
}

bool Program::Signal(int signalNumber) {
    return ::kill(static_cast<pid_t>(m_process.processId()), signalNumber) == 0;
}

bool Program::EndedBy(int signalNumber) const {
    // Ended by a signal, QProcess reports a crash and the signal's number as the exit code.
    return m_process.state() == QProcess::NotRunning && m_process.exitStatus() == QProcess::CrashExit &&
           m_process.exitCode() == signalNumber;
}

VirtualDisplay::VirtualDisplay() {
    m_server.start(
        QStringLiteral("Xvfb"),
        {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
         QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!m_server.waitForStarted(kDeadlineMs)) {
        return;
    }
    if (!QTest::qWaitFor([&] { return m_server.canReadLine() || m_server.state() == QProcess::NotRunning; },
                         kDeadlineMs)) {
        return;
    }
    const QString number = QString::fromUtf8(m_server.readLine()).trimmed();
    if (!number.isEmpty()) {
        m_name = QStringLiteral(":") + number;
    }
}

VirtualDisplay::~VirtualDisplay() {
    m_server.terminate();
    if (!m_server.waitForFinished(kDeadlineMs)) {
        m_server.kill();
        m_server.waitForFinished(kDeadlineMs);
    }
}

std::optional<QString> VirtualDisplay::Tool(const QStringList& arguments, const QString& program) const {
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", m_name);
    tool.setProcessEnvironment(environment);
    tool.start(program, arguments);
    if (!tool.waitForFinished(kDeadlineMs) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0) {
        return std::nullopt;
    }
    return QString::fromUtf8(tool.readAllStandardOutput());
}

QString VirtualDisplay::WindowOf(qint64 processId) const {
    QString window;
    // An empty name tells the caller that no window showed.
    static_cast<void>(QTest::qWaitFor(
        [&] {
            window = Tool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                           QString::number(processId)})
                         .value_or(QString())
                         .section('\n', 0, 0);
            return !window.isEmpty();
        },
        kDeadlineMs));
    return window;
}

bool VirtualDisplay::PressReturnIn(const QString& caption, QStringList& answered) const {
    QString window;
    const bool found = QTest::qWaitFor(
        [&] {
            const std::optional<QString> ids =
                Tool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                      QStringLiteral("^%1$").arg(caption)});
            for (const QString& id : ids.value_or(QString()).split('\n', Qt::SkipEmptyParts)) {
                if (!answered.contains(id)) {
                    window = id;
                    return true;
                }
            }
            return false;
        },
        kDeadlineMs);
    if (!found) {
        return false;
    }
    answered.append(window);
    return Tool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window, QStringLiteral("key"),
                 QStringLiteral("Return")})
        .has_value();
}

bool Installed(const QString& program) {
    return !QStandardPaths::findExecutable(program).isEmpty();
}

}  // namespace varnoth::test
