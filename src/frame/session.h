#pragma once
// The process-wide state of one run, created at start-up and handed to the windows.

#include "common/clock.h"
#include "common/prompter.h"
#include "frame/folders.h"
#include "frame/registry.h"
#include "frame/shared_prefs.h"
#include "keying/cw_buffer.h"
#include "spotting/spot_store.h"
#include "logcore/contact_entry.h"
#include "logcore/contact_log.h"
#include "logcore/prefix_table.h"
#include "logcore/preferences.h"
#include "network/shared_log.h"

#include <functional>

namespace zev {

struct Session {
    Session(Folders f, Prompter &p, Clock &c, Registry &r)
        : folders(std::move(f)), prompter(p), clock(c), registry(r) {}

    Folders folders;
    Prompter &prompter;
    Clock &clock;
    Registry &registry;

    SharedPrefs shared;
    Preferences prefs;
    ContactLog log;
    PrefixTable prefixes;
    // The contact being typed; the window, the keying and the radio share it.
    ContactEntry entry{prefs, log, prefixes};

    // Operating clock: runs between time-on and time-off.
    bool TimeOnActive = false;
    QDateTime TimeOnStart;
    double RunningSeconds = 0;

    // Text waiting to be keyed.
    CwBuffer CWBuffer;
    // The last fifty spots, for the band map and the spectrum map.
    SpotStore spots;

    // Ends the program at once, without the close steps (no save, no backup).
    std::function<void(int)> endProgram;
    bool ended = false;

    // The station's shared log while this computer is one position of several; the
    // operator's changes then go through it, so the other positions get them too.
    SharedLog *sharedLog = nullptr;

    bool storeContact(const ContactRecord &r, QString *error)
    {
        return sharedLog ? sharedLog->store(r, error) : log.store(logPath(), r, error);
    }
    bool replaceContact(int n, const ContactRecord &r, QString *error)
    {
        return sharedLog ? sharedLog->replace(n, r, error) : log.replace(logPath(), n, r, error);
    }
    bool removeContact(int n, QString *error)
    {
        return sharedLog ? sharedLog->remove(n, error) : log.remove(logPath(), n, error);
    }

    QString logPath() const { return folders.work(QStringLiteral("log.txt")); }
    QString prefPath() const { return folders.work(kPreferenceFile); }
};

}  // namespace zev
