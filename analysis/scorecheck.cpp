#include "analysis/scorecheck.h"

#include "core/numbers.h"

#include <algorithm>

QList<PupilScores> checkClassScores(const GridRows &rows, qint32 pupilCount, const TestDefinition &test)
{
    auto cell = [&rows](int column, int row) {
        return row < rows.size() && column < rows[row].size() ? rows[row][column] : QString();
    };
    QList<PupilScores> pupils;
    pupils.reserve(std::max<qint32>(pupilCount, 0));
    for (int r = 1; r <= std::max<qint32>(pupilCount, 0); ++r) {
        PupilScores pupil;
        pupil.row = r;
        pupil.taskPoints.reserve(std::max<qint32>(test.taskCount, 0));
        pupil.code = cell(1, r);
        pupil.mark = cell(2, r);
        pupil.present = isPresentMark(pupil.mark);
        for (int t = 0; t < test.taskCount; ++t) {
            const QString text = cell(3 + t, r);
            std::optional<qint32> points = isBlankCell(text) ? std::optional<qint32>(0) : parseInteger(text);
            if (test.isKeyed(t)) {
                const ClosedCell chosen = readClosedCell(text, test.keyOf(t));
                if (chosen.kind == ClosedCell::Kind::Refused) {
                    pupil.fault = PupilScores::Fault::WrongAnswer;
                    pupil.faultTask = t;
                    pupil.faultText = text;
                    break;
                }
                if (chosen.kind == ClosedCell::Kind::Chosen)
                    points =
                        closedanswers::pointsFor(test.keyOf(t), chosen.chosen, test.taskMaxPoints.value(t));
            }
            if (!points || *points < 0 || *points > test.taskMaxPoints.value(t)) {
                pupil.fault = points ? PupilScores::Fault::OutOfRange : PupilScores::Fault::NotANumber;
                pupil.faultTask = t;
                pupil.faultText = text;
                break;
            }
            pupil.taskPoints.append(*points);
            // Wide sums: a definition built without Setup.ini's bounds must not wrap around either.
            if (const qint32 k = test.countedStandardOf(t))
                pupil.standards[std::size_t(k - 1)] += *points;
        }
        for (const qint64 points : pupil.standards)
            pupil.total += points;
        pupils.append(pupil);
    }
    return pupils;
}
