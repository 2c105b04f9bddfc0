// The program's windows keep the size their layout gives them: a title bar with a close button,
// nothing to resize or maximise.
#pragma once

#include <Qt>

inline constexpr Qt::WindowFlags fixedWindowFlags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint |
                                                    Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                    Qt::WindowCloseButtonHint;
