// What the end-to-end tests share: the program's own diagnostics of a run, and waiting for
// what a person would see. On the test's thread.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QThread>
#include <string>

#include "support/program_run.h"

namespace testing_support {

// The program's error output without the copy of its log that goes there too: what a
// sanitizer or Qt reported.
inline std::string Diagnostics(ProgramRun& run) {
    QStringList kept;
    for (const QString& line : QString::fromUtf8(run.StandardError()).split(QLatin1Char('\n'))) {
        if (!line.isEmpty() && line != QStringLiteral("1111111111") &&
            !line.startsWith(QLatin1Char('['))) {
            kept.append(line);
        }
    }
    return kept.join(QLatin1Char('\n')).right(6000).toStdString();
}

template <typename Condition>
bool Eventually(Condition condition, int timeoutMs = StartTimeoutMs()) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) {
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

}  // namespace testing_support
