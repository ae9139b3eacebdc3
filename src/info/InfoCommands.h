#pragma once

class QWidget;
class HeadOperations;

// The Help menu's commands and the system menu's About.

// About (32774): reads the identity block for the brand code and runs the device information
// dialog, which reads the head's firmware record itself.
void showDeviceInfo(QWidget* owner, HeadOperations& head);

// Certificate (32809).
void showCertificate(QWidget* owner);

// The system menu's About item.
void showPlainAbout(QWidget* owner);
