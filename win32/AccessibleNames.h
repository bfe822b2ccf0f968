#pragma once
// Names for screen readers. The platform's accessibility proxies name a control by its own text,
// which for a list or combo box is nothing or its current value ("On"), and only on some systems
// by a label before it. These controls answer with the label a sighted player reads beside them.
#include <windows.h>

// Gives every list box, combo box (and its text field) and text box of `dialog` the accessible
// name of its label: the nearest static text or group box before it in the dialog's order, without
// its access-key mark. Each keeps it until it is destroyed.
void NameControlsByTheirLabels(HWND dialog);
