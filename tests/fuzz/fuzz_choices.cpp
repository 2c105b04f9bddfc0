// A test's keys and a class's Wybory.tmp as the program reads them: the bytes before the first NUL
// are the test's Setup.ini, the rest the file of symbols chosen.
#include "analysis/classchoices.h"
#include "analysis/testdefinition.h"
#include "core/closedanswers.h"
#include "files/choicesfile.h"
#include "files/inifile.h"
#include "tests/fuzz/fuzzsupport.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace {

using fuzz::require;

// Every key the reader keeps can be used: on a closed task, its symbols among the answers.
void checkKeys(const TestDefinition &test)
{
    for (qint32 t = 0; t < test.taskCount; ++t) {
        const TaskKey &key = test.keyOf(t);
        if (!key.isKeyed())
            continue;
        require(test.taskClosed.value(t), "a key kept on an open task");
        require(closedanswers::keyProblem(key, test.taskMaxPoints.value(t)).isEmpty(),
                "a key kept with a problem", key.key + u' ' + key.answers);
    }
    // Written out and read again, the keys are the same.
    const TestDefinition again = loadTestDefinition(IniFile::fromBytes(testDefinitionFileBytes(test)));
    for (qint32 t = 0; t < test.taskCount; ++t) {
        require(again.keyOf(t).key == test.keyOf(t).key, "a key changed on the way through its file");
        require(again.keyOf(t).answers == test.keyOf(t).answers,
                "answers changed on the way through the file");
        require(again.keyOf(t).pointPerPart == test.keyOf(t).pointPerPart, "the scoring rule changed");
    }
}

// The points each line's symbols give, as the answers file would hold them.
GridRows pointsOf(const QList<QList<QStringView>> &lines, const TestDefinition &test)
{
    GridRows points{QStringList(test.taskCount + 3)};
    for (qsizetype r = 0; r < lines.size(); ++r) {
        QStringList row(test.taskCount + 3);
        row[0] = QString::number(r + 1);
        row[1] = lines[r].value(0).toString();
        row[2] = QStringLiteral("T");
        for (qint32 t = 0; t < test.taskCount; ++t) {
            const QString field = lines[r].value(t + 1).toString();
            const ClosedCell cell = test.isKeyed(t) ? readClosedCell(field, test.keyOf(t)) : ClosedCell{};
            if (cell.kind == ClosedCell::Kind::Chosen && !cell.chosen.isEmpty()) {
                const qint32 given =
                    closedanswers::pointsFor(test.keyOf(t), cell.chosen, test.taskMaxPoints.value(t));
                require(given >= 0 && given <= test.taskMaxPoints.value(t),
                        "points beyond the task's maximum");
                row[t + 3] = QString::number(given);
            }
        }
        points.append(row);
    }
    return points;
}

void checkChoices(const QByteArray &bytes, const TestDefinition &test)
{
    const qint32 pupils = 40;
    const std::optional<ChoicesFile> file =
        parseChoicesFile(bytes, gridLimitsFor(pupils, test.taskCount + 1));
    if (!file)
        return;
    const QList<QList<QStringView>> *lines = &file->lines;
    const GridRows points = pointsOf(*lines, test);
    QString problem;
    const std::optional<ClassChoices> choices =
        readClassChoices(*lines, points, qint32(lines->size()), test, &problem);
    if (!choices) {
        require(!problem.isEmpty(), "a refused file without a reason");
        return;
    }
    // What was read goes back as typed: the same points, and the same file once more.
    GridRows sheet = points;
    putChoices(&sheet, *choices, test);
    const SheetFiles files = sheetFiles(sheet, qint32(lines->size()), test);
    require(files.points == points, "the symbols read back give other points");
    // A test without keys has no Wybory.tmp to write.
    if (!test.hasKeys())
        return;
    const QByteArray again = choicesFileBytes(files.choices);
    const std::optional<ChoicesFile> reread =
        parseChoicesFile(again, gridLimitsFor(pupils, test.taskCount + 1));
    require(reread &&
                readClassChoices(reread->lines, points, qint32(lines->size()), test, &problem) == choices,
            "the file written from the symbols read says something else");
}

const QByteArray keyedTest =
    "[Ustawienia]\r\nLiczbaZadan=4\r\nLiczbaStandardow=1\r\n[Zadanie1]\r\nKlucz=B\r\n"
    "[Zadanie2]\r\nMaxPunktow=2\r\nKlucz=PF\r\nPunktZaCzesc=1\r\n[Zadanie3]\r\n"
    "MaxPunktow=3\r\nKlucz=CAE\r\nOdpowiedzi=ABCDE\r\n[Zadanie4]\r\nZadanieZamkniete=0\r\n";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype nul = bytes.indexOf('\0');
    const TestDefinition test =
        loadTestDefinition(IniFile::fromBytes(nul < 0 ? keyedTest : bytes.first(nul)));
    checkKeys(test);
    checkChoices(nul < 0 ? bytes : bytes.mid(nul + 1), test);
    return 0;
}
