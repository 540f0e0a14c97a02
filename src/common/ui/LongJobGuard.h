#pragma once

// While a long job runs behind a wait sheet (a save, an open, an import, an export, printing, mail, a picture
// read), the windows that were shown when it began take no input: keys, shortcuts, mouse buttons and moves,
// the wheel, context menus and drops sent or posted to them are refused, with a beep and the job's sheet
// raised, so nothing reaches the design meanwhile. Windows shown after it began (the sheet, the questions the
// job asks) work as usual. A field being typed in is left first, so what was typed lands before the job,
// not during it; it takes the focus back afterwards. A mouse button held when the job begins is released
// where it was last seen once the job has ended, if the hand let go meanwhile. Guards nest; made and ended on
// the GUI thread.

#include <QString>

#include <functional>

class QObject;

class LongJobGuard {
public:
    LongJobGuard();
    ~LongJobGuard();
    LongJobGuard(const LongJobGuard&) = delete;
    LongJobGuard& operator=(const LongJobGuard&) = delete;

    // True while a guard stands.
    static bool active();
    // Runs work now when no guard stands, else once the last one has ended (not at all when context is gone
    // by then): for work a user's gesture started that must not change the design during a job.
    static void whenIdle(QObject* context, std::function<void()> work);
    // What a command that cannot run meanwhile says.
    static QString busyMessage();

private:
    bool m_on = false;
};
