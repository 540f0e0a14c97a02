#pragma once

// The start of a run after the window is set up: a new design, then the start wizard, whose answer
// decides whether the program builds an invitation card, has opened a design, or ends.

#include <QString>
#include <QStringList>

// What the start wizard ended with.
struct StartWizardAnswer {
    int result = 0; // the modal result: 1 OK, anything else cancel
    QString mode;   // "W" build a new card from the answers, "L" a design was opened
};

// The window operations the start road needs. The window implements it; tests script it.
class StartHost {
public:
    virtual ~StartHost() = default;
    virtual void New_Project() = 0;                 // empties and resets the design
    virtual StartWizardAnswer runStartWizard() = 0; // runs the wizard modally
    virtual void Open_Start_Window() = 0; // writes the card settings and builds the invitation items
    // Opens a design file as the wizard's "open a design" road does (a refused file gets its message).
    virtual bool openDesignPath(const QString& path) { return false; }
};

enum class StartOutcome { Quit, NewCard, OpenedDesign };

// Runs the road: New_Project, the wizard, then "W" builds the card; "L" keeps the design the wizard
// opened; any result other than 1, or an unknown mode, means quit.
StartOutcome runStartRoad(StartHost& host);
// The same road for a design named on the command line: it opens at once; a refused file goes on to the
// wizard after its message.
StartOutcome runStartRoad(StartHost& host, const QString& designPath);

// The design path among the program's arguments (the first one that is not an option), or empty.
QString designPathArgument(const QStringList& arguments);
