#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>

// The lines by which a test's helper program tells its test where it is.
namespace vellumite::testfiles {

// In the helper: one line to the test, at once.
inline void sayLine(const char *line)
{
    std::puts(line);
    std::fflush(stdout);
}

// In the test: reads the helper's lines until `line` comes or the time is up.
inline bool waitForLine(QProcess &process, const QByteArray &line, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        while (process.canReadLine()) {
            if (process.readLine().trimmed() == line)
                return true;
        }
        process.waitForReadyRead(100);
    }
    return false;
}

} // namespace vellumite::testfiles
