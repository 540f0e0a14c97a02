#pragma once

class QWidget;

// Spin boxes, sliders and combo boxes inside root take the mouse wheel only while they have the keyboard
// focus; otherwise the wheel goes on to what holds them, so scrolling a panel past them changes nothing.
// They no longer take the focus from the wheel either. Controls added to root later are not covered.
void guardWheelByFocus(QWidget* root);
