#include "output/mail/MailPlan.h"

#include "common/StringHelpers.h"
#include "output/mail/MailSettings.h"

#include <QFileInfo>

QStringList keptRecipients(const QString& recipientText) {
    QStringList kept;
    const QStringList pieces = Trim_Str(recipientText).toLower().split(QLatin1Char(','));
    for (const QString& piece : pieces) {
        if (isValidEmail(piece))
            kept << Trim_Str(piece);
    }
    return kept;
}

QString recipientProblem(const QString& recipientText) {
    const QString text = Trim_Str(recipientText);
    if (text.isEmpty())
        return QStringLiteral("Please specify the Recipient E-mail address.");
    const QString invalid = QStringLiteral("Recipient E-mail address is invalid or incomplete.");
    for (const QString& piece : text.split(QLatin1Char(','))) {
        if (!Trim_Str(piece).isEmpty() && !isValidEmail(piece))
            return invalid;
    }
    return keptRecipients(text).isEmpty() ? invalid : QString();
}

MailPlanResult planMailPasses(const MailPlanInput& in) {
    MailPlanResult plan;
    const bool batch = in.cardMode && in.batch;
    const bool all = batch && in.allToEvery;
    plan.total = all ? qMax(0, in.rows) : qMax(0, in.recipients);
    if (batch && !all) {
        plan.rowsWithoutRecipient = qMax(0, in.rows - qMax(0, in.recipients));
        plan.recipientsWithoutRow = qMax(0, in.recipients - qMax(0, in.rows));
    }
    for (int i = 0; i < plan.total; ++i) {
        MailPass pass;
        if (all) {
            pass.row = i;
            for (int r = 0; r < in.recipients; ++r)
                pass.recipients << r;
        } else if (batch) {
            if (i >= in.rows)
                break; // the rows ran out before the recipients
            pass.row = i;
            pass.recipients << i;
        } else {
            pass.recipients << i;
        }
        plan.passes << pass;
    }
    return plan;
}

QString Calculate_Pause_Time(qint64 ms) {
    const qint64 s = ms / 1000;
    const qint64 h = s / 3600;
    const qint64 m = (s % 3600) / 60;
    const qint64 k = s % 60;
    const QString hours = (h < 2 ? QStringLiteral("%1 Hour ") : QStringLiteral("%1 Hours ")).arg(h);
    const QString minutes = (m < 2 ? QStringLiteral("%1 Minute ") : QStringLiteral("%1 Minutes ")).arg(m);
    const QString seconds = (k < 2 ? QStringLiteral("%1 Second.") : QStringLiteral("%1 Seconds.")).arg(k);
    QString text = QStringLiteral("Pausing the process for ");
    if (h >= 1)
        text += hours + minutes + seconds;
    else if (m == 0)
        text += seconds;
    else
        text += minutes + seconds;
    return text;
}

