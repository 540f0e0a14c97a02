#include "app/WindowOutputHost.h"

#include "app/SKTWindowController.h"
#include "common/Globals.h"
#include "data/Data_From_Excel.h"

BatchFillJob::Design WindowOutputHost::design() {
    BatchFillJob::Design d;
    d.front = m_window.Get_Front_Controls_Array();
    d.back = m_window.Get_Back_Controls_Array();
    d.frontProp = m_window.Front_card_Prop;
    d.backProp = m_window.Back_card_Prop;
    d.cardShape = Card_Shape;
    d.twoSided = CARD_SIDE_STR == QLatin1String("2");
    return d;
}

const Data_From_Excel& WindowOutputHost::dataTable() {
    return *Data_From_Excel::defaultInstance();
}

void WindowOutputHost::restoreFirstRow(BatchFillJob& fill) {
    // The design shows row 0 as it stands now; where that differs from what it showed, an undo step (the
    // command that led here names it when it is still running).
    m_window.recordCardEdit(QObject::tr("First Data Row"), -1, [&] {
        fill.Select_first_row_value_for_design(m_window.Get_Front_Controls_Array(),
                                               m_window.Get_Back_Controls_Array(), true);
    });
    m_window.Refresh_Canvas();
}

int WindowOutputHost::showExportFinished(const QString& path, const QString& message, bool written,
                                         const QString& details) {
    return m_window.Open_Export_File_Box(path, message, written, details);
}

QWidget* WindowOutputHost::window() {
    return &m_window;
}
