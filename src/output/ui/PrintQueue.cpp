#include "output/ui/PrintQueue.h"

#include <QCoreApplication>
#include <QPrinterInfo>
#include <QStringList>

#include <algorithm>
#include <cmath>

#ifdef NAVU_HAVE_CUPS
#include <cups/cups.h>
#endif

QString PrintQueueState::refusal(const QString& printer) const {
    if (!known || accepting)
        return QString();
    const QString why = QCoreApplication::translate("Print_Wnd", "%1 does not accept jobs").arg(printer);
    return message.isEmpty() ? why + QLatin1Char('.') : why + QStringLiteral(": ") + message;
}

QString PrintQueueState::pausedQuestion(const QString& printer) const {
    if (!known || !accepting || !stopped)
        return QString();
    const QString paused =
        message.isEmpty()
            ? QCoreApplication::translate("Print_Wnd", "%1 is paused.").arg(printer)
            : QCoreApplication::translate("Print_Wnd", "%1 is paused (%2).").arg(printer, message);
    return paused + QLatin1Char(' ') +
           QCoreApplication::translate(
               "Print_Wnd", "Send the labels anyway? They will print when the printer is resumed.");
}

int printerDpi(const QString& printer, const PrintQueueState& queue) {
    if (queue.dpi > 0)
        return queue.dpi;
    int coarsest = 0;
    for (int dpi : QPrinterInfo::printerInfo(printer).supportedResolutions())
        if (dpi > 0 && (coarsest == 0 || dpi < coarsest))
            coarsest = dpi;
    return coarsest;
}

#ifdef NAVU_HAVE_CUPS

PrintQueueState printQueueState(const QString& printer) {
    PrintQueueState state;
    const QByteArray name = printer.toUtf8();
    char uri[HTTP_MAX_URI];
    if (httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s",
                         name.constData()) != HTTP_URI_STATUS_OK)
        return state;
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const wanted[] = {"printer-state", "printer-state-message", "printer-state-reasons",
                                         "printer-is-accepting-jobs", "printer-resolution-default"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 5, nullptr, wanted);
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (!response)
        return state;
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE) {
        state.known = true;
        if (ipp_attribute_t* a = ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN))
            state.accepting = ippGetBoolean(a, 0);
        if (ipp_attribute_t* a = ippFindAttribute(response, "printer-state", IPP_TAG_ENUM))
            state.stopped = ippGetInteger(a, 0) == IPP_PSTATE_STOPPED;
        if (ipp_attribute_t* a =
                ippFindAttribute(response, "printer-resolution-default", IPP_TAG_RESOLUTION)) {
            ipp_res_t units = IPP_RES_PER_INCH;
            int y = 0;
            const int x = ippGetResolution(a, 0, &y, &units);
            const double perInch = units == IPP_RES_PER_CM ? 2.54 : 1.0;
            const long dpi = std::lround(std::min(x, y) * perInch);
            state.dpi = dpi > 0 && dpi <= 100000 ? int(dpi) : 0;
        }
        if (ipp_attribute_t* a = ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT))
            state.message = QString::fromUtf8(ippGetString(a, 0, nullptr)).trimmed();
        if (state.message.isEmpty()) {
            if (ipp_attribute_t* a = ippFindAttribute(response, "printer-state-reasons", IPP_TAG_KEYWORD)) {
                QStringList reasons;
                for (int i = 0; i < ippGetCount(a); ++i) {
                    const QString r = QString::fromUtf8(ippGetString(a, i, nullptr));
                    if (r != QLatin1String("none"))
                        reasons << r;
                }
                state.message = reasons.join(QLatin1String(", "));
            }
        }
    }
    ippDelete(response);
    return state;
}

QString lastPrintRequestError() {
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return QString();
    return QString::fromUtf8(cupsLastErrorString());
}

namespace {

QList<int> jobIds(const QString& printer, int which) {
    QList<int> ids;
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, printer.toUtf8().constData(), 1, which);
    for (int i = 0; i < n; ++i)
        ids << jobs[i].id;
    cupsFreeJobs(n, jobs);
    return ids;
}

} // namespace

int newestPrintJob(const QString& printer) {
    int newest = 0;
    for (int id : jobIds(printer, CUPS_WHICHJOBS_ALL))
        newest = qMax(newest, id);
    return newest;
}

bool cancelPrintJobsAfter(const QString& printer, int afterId) {
    bool any = false, ok = true;
    for (int id : jobIds(printer, CUPS_WHICHJOBS_ACTIVE)) {
        if (id <= afterId)
            continue;
        any = true;
        if (cupsCancelJob2(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(), id, 0) >
            IPP_STATUS_OK_EVENTS_COMPLETE)
            ok = false;
    }
    return any && ok;
}

#else

PrintQueueState printQueueState(const QString&) {
    return PrintQueueState();
}
QString lastPrintRequestError() {
    return QString();
}

int newestPrintJob(const QString&) {
    return 0;
}
bool cancelPrintJobsAfter(const QString&, int) {
    return false;
}

#endif
