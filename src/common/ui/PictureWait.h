#pragma once

// While one of these stands on the window's thread, pictures read from files (pictures::readPictureFile)
// are read on a worker under the window's wait sheet, which shows how much of the file is read and whose
// Stop ends the read: for the pictures the user picks, which may be large.

#include "common/PictureReader.h"

class QWidget;

class PictureWait {
public:
    explicit PictureWait(QWidget* window);
    ~PictureWait();
    PictureWait(const PictureWait&) = delete;
    PictureWait& operator=(const PictureWait&) = delete;

    // Stop was pressed in one of its reads (whose picture then came back null).
    bool stopped() const { return m_stopped; }

private:
    pictures::ReadRunner m_previous;
    bool m_stopped = false;
};
