// What assistive technology learns of the library's controls: the caption as name, the state as
// value ("on" or "off") and as the checked state. The interfaces come from a factory that the
// controls install when the first of them is made.
#pragma once

class QWidget;

// Installs the factory, once per process.
void InstallVrAccessibility();

// Tells assistive technology that control's on/off state changed.
void NotifyVrStateChange(QWidget* control);
