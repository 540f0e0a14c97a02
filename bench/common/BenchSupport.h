#pragma once

// What the benchmark programs share: the resident and peak resident memory of the process and the longest time the GUI
// thread goes without running its event loop.

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QTimer>

#include <clocale>

namespace bench {

// The peak resident memory (VmHWM) in KiB; -1 when unknown.
inline qint64 peakResidentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// The resident memory now (VmRSS) in KiB; -1 when unknown.
inline qint64 residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Figures print with a point whatever the user's locale (the application object takes the C library's
// locale from the environment).
inline void printWithPoint() { std::setlocale(LC_NUMERIC, "C"); }

// Starts a new peak from what is resident now.
inline void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// The event loop's heartbeat: a 2 ms timer whose longest gap between two ticks is the longest block.
class Heartbeat {
public:
    Heartbeat()
    {
        m_clock.start();
        m_beat.setInterval(2);
        QObject::connect(&m_beat, &QTimer::timeout, [this] {
            const qint64 now = m_clock.elapsed();
            if (now - m_last > m_worst) {
                m_worst = now - m_last;
                m_worstAt = m_last;
            }
            m_last = now;
        });
        m_beat.start();
    }
    // Milliseconds since the heartbeat started.
    qint64 elapsed() const { return m_clock.elapsed(); }
    // The longest gap between two ticks since the last reset.
    qint64 worst() const { return m_worst; }
    // When the longest gap began (milliseconds since the start).
    qint64 worstAt() const { return m_worstAt; }
    // The same, counting the gap running now too.
    qint64 worstUntilNow() const { return qMax(m_worst, m_clock.elapsed() - m_last); }
    void reset()
    {
        m_last = m_clock.elapsed();
        m_worst = 0;
    }

private:
    QElapsedTimer m_clock;
    QTimer m_beat;
    qint64 m_last = 0;
    qint64 m_worst = 0;
    qint64 m_worstAt = 0;
};

} // namespace bench
