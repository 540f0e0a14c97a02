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

StartOutcome runStartRoad(StartHost& host, const QString& designPath) {
    if (!designPath.isEmpty()) {
        host.New_Project();
        if (host.openDesignPath(designPath))
            return StartOutcome::OpenedDesign;
    }
    return runStartRoad(host);
}

QString designPathArgument(const QStringList& arguments) {
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (!optionsEnded && a == QStringLiteral("--")) {
            optionsEnded = true;
            continue;
        }
        if (!a.isEmpty() && (optionsEnded || !a.startsWith(QLatin1Char('-'))))
            return a;
    }
    return QString();
}
