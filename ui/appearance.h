// How every window of the program looks and speaks: its style, its font, Qt's own Polish texts and
// the pictures of its buttons.
#pragma once

class QApplication;

// Also used by tests, which make an application of their own.
void applyProgramLook(QApplication &application);
