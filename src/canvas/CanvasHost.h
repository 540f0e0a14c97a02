#pragma once

// What the item model asks of the window that hosts the canvases, without including it. The window
// installs its implementation at start-up; with none installed the model works on its own (no main
// photo, nothing to reset), as in tests and batch workers.

#include "imaging/ItemPicture.h"

#include <QString>

class CanvasHost {
public:
    virtual ~CanvasHost() = default;
    // The design's current main photo with its settings, shown by the picture item "PARTY_IMAGE". May be
    // called from a worker thread (a batch fill sets picture paths), so implementations return a copy taken
    // safely.
    virtual ItemPicture mainPhotoImage() const { return {}; }
    // The file the main photo was read from, as the design stores it. GUI thread only.
    virtual QString mainPhotoPath() const { return {}; }
    // Resets the inspector's picture editing controls; called when a new picture or signature item is made.
    virtual void resetImageEditingControls() {}
};

// Installs the host (not owned); nullptr removes it.
void setCanvasHost(CanvasHost* host);
CanvasHost* canvasHost();
