// Typing into a score grid as a teacher types: keystrokes into the cell's editor, confirmed with
// Enter. The window tests share it.
#pragma once

#include "ui/stringgrid.h"

#include <QLineEdit>
#include <QStringList>
#include <QTest>

// Ends the calling test function when a helper it called has failed.
#define WB_CHECK(call)                                                                                       \
    do {                                                                                                     \
        call;                                                                                                \
        if (QTest::currentTestFailed())                                                                      \
            return;                                                                                          \
    } while (false)

namespace support {

// Types text as keystrokes; letters outside ASCII arrive as the text of a key the keyboard lacks.
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            QTest::keyClick(widget, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Types text over a grid cell and confirms it with Enter; an empty text clears the cell.
inline void typeIntoCell(StringGrid *grid, int col, int row, const QString &text)
{
    QVERIFY(grid->isVisible());
    QVERIFY(grid->editingEnabled());
    grid->setFocus();
    grid->setCurrentCell(row, col);
    QCOMPARE(grid->currentColumn(), col);
    QCOMPARE(grid->currentRow(), row);
    if (text.isEmpty())
        QTest::keyClick(grid, Qt::Key_F2);
    else
        typeText(grid, text.left(1));
    auto *editor = qobject_cast<QLineEdit *>(grid->indexWidget(grid->currentIndex()));
    QVERIFY2(editor, "typing did not open the cell's editor");
    if (text.isEmpty()) {
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_Delete);
    } else {
        typeText(editor, text.mid(1));
    }
    QTest::keyClick(editor, Qt::Key_Return);
    // The grid takes the text once the event loop has run.
    QTRY_VERIFY(!grid->indexWidget(grid->currentIndex()));
    QCOMPARE(grid->cell(col, row), text);
}

// Types over a cell and confirms it with Enter, whether or not the window then takes the text.
inline void typeCell(StringGrid *grid, int col, int row, const QString &text)
{
    grid->setFocus();
    grid->setCurrentCell(row, col);
    typeText(grid, text.left(1));
    auto *editor = qobject_cast<QLineEdit *>(grid->indexWidget(grid->currentIndex()));
    QVERIFY2(editor, "typing did not open the cell's editor");
    typeText(editor, text.mid(1));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!grid->indexWidget(grid->currentIndex()));
}

// Types each pupil's row, "code;mark;points...", into the score grid, skipping cells already so.
inline void typeScores(StringGrid *grid, const QStringList &pupils)
{
    for (int r = 1; r <= pupils.size(); ++r) {
        const QStringList fields = pupils[r - 1].split(u';');
        for (int k = 0; k < fields.size(); ++k) {
            if (grid->cell(k + 1, r) != fields[k])
                WB_CHECK(typeIntoCell(grid, k + 1, r, fields[k]));
        }
    }
}

} // namespace support
