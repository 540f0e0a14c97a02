#include "wizards/StartRoad.h"

StartOutcome runStartRoad(StartHost& host) {
    host.New_Project();
    const StartWizardAnswer answer = host.runStartWizard();
    if (answer.result != 1)
        return StartOutcome::Quit;
    if (answer.mode == QStringLiteral("W")) {
        host.Open_Start_Window();
        return StartOutcome::NewCard;
    }
    if (answer.mode == QStringLiteral("L"))
        return StartOutcome::OpenedDesign;
    return StartOutcome::Quit;
}
