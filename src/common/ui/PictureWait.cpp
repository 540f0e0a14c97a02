#include "common/ui/PictureWait.h"

#include "common/ui/WaitSheet.h"

PictureWait::PictureWait(QWidget* window) {
    m_previous = pictures::setReadRunner([this, window](const pictures::Read& read) {
        std::atomic<int> progress{0};
        bool stopped = false;
        runStoppable(
            window,
            [&](const std::atomic<bool>& stop) {
                read(stop, progress);
                stopped = stop.load();
            },
            &progress);
        m_stopped = m_stopped || stopped;
    });
}

PictureWait::~PictureWait() {
    pictures::setReadRunner(std::move(m_previous));
}
