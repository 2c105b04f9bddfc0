#include "analysis/comparison.h"

#include "files/schoolpaths.h"

#include "analysis/analysis.h"
#include "core/cp1250.h"
#include "core/numbers.h"

#include <algorithm>
#include <cmath>

namespace {

// The keys of one section, in the order the file holds them, with the figures they stand for.
// Each key is made once for the four sections that repeat it.
struct KeyedFigure {
    NumberedName key;
    const AreaFigures *figures; // nullptr when the caller's figures are shorter than the test
};

NumberedName taskKey(int task)
{
    return NumberedName(u"Zadanie", task + 1);
}

NumberedName standardKey(int standard)
{
    return NumberedName(u"Standard", standard + 1);
}

NumberedName testKey()
{
    return NumberedName(u"Test");
}

int taskCountOf(const TestDefinition &test)
{
    return std::max(test.taskCount, 0);
}

bool isFacility(double value)
{
    return value >= 0.0 && value <= 1.0; // false for NaN too
}

// Both separators, as in every decimal the program reads from a hand-edited file.
std::optional<double> decimalWithEitherSeparator(QString text)
{
    text.replace(u',', u'.');
    const std::optional<double> value = parseDecimal(text);
    if (!value)
        return std::nullopt;
    return *value + 0.0; // "-0" reads as 0, never as negative zero
}

// Up to four decimals, trailing zeros dropped, and at least minDecimals kept.
QString trimmedDecimal(double value, int minDecimals)
{
    QString text = polishDecimal(value, 4);
    const qsizetype comma = text.indexOf(u',');
    if (comma < 0)
        return text;
    qsizetype end = text.size();
    while (end > comma + 1 + minDecimals && text.at(end - 1) == u'0')
        --end;
    if (end == comma + 1)
        --end;
    return text.left(end);
}

QString fileFigure(const std::optional<double> &figure)
{
    if (!figure || !isFacility(*figure))
        return QString();
    return trimmedDecimal(*figure, 0).replace(u',', u'.');
}

} // namespace

QString areaName(Area area)
{
    switch (area) {
    case Area::Kraj:
        return QStringLiteral("kraj");
    case Area::Wojewodztwo:
        return QStringLiteral("województwo");
    case Area::Powiat:
        return QStringLiteral("powiat");
    case Area::Gmina:
        return QStringLiteral("gmina");
    }
    return QString();
}

QString areaSection(Area area)
{
    switch (area) {
    case Area::Kraj:
        return QStringLiteral("PorownanieKraj");
    case Area::Wojewodztwo:
        return QStringLiteral("PorownanieWojewodztwo");
    case Area::Powiat:
        return QStringLiteral("PorownaniePowiat");
    case Area::Gmina:
        return QStringLiteral("PorownanieGmina");
    }
    return QString();
}

ComparisonFigures ComparisonFigures::emptyFor(const TestDefinition &test)
{
    ComparisonFigures figures;
    figures.tasks.resize(taskCountOf(test));
    figures.standards.resize(test.countedStandardCount());
    return figures;
}

bool ComparisonFigures::isEmpty() const
{
    auto none = [](const AreaFigures &row) {
        return std::none_of(row.begin(), row.end(),
                            [](const std::optional<double> &f) { return f.has_value(); });
    };
    return std::all_of(tasks.begin(), tasks.end(), none) &&
           std::all_of(standards.begin(), standards.end(), none) && none(wholeTest);
}

QString comparisonFileName()
{
    return schoolfiles::comparison.toString();
}

QByteArray comparisonFileBytes(const ComparisonFigures &figures, const TestDefinition &test)
{
    QList<KeyedFigure> keys;
    keys.reserve(taskCountOf(test) + std::max(test.countedStandardCount(), 0) + 1);
    for (int t = 0; t < taskCountOf(test); ++t)
        keys.append({taskKey(t), t < figures.tasks.size() ? &figures.tasks[t] : nullptr});
    for (int k = 0; k < test.countedStandardCount(); ++k)
        keys.append({standardKey(k), k < figures.standards.size() ? &figures.standards[k] : nullptr});
    keys.append({testKey(), &figures.wholeTest});

    QString text;
    text.reserve(qsizetype(allAreas.size()) * (keys.size() + 2) * 24);
    for (std::size_t a = 0; a < allAreas.size(); ++a) {
        if (a > 0)
            text += u"\r\n";
        text += u'[' + areaSection(allAreas[a]) + QStringLiteral("]\r\n");
        for (const KeyedFigure &entry : keys) {
            text.append(QStringView(entry.key));
            text += u'=';
            if (entry.figures)
                text += fileFigure((*entry.figures)[a]);
            text += u"\r\n";
        }
    }
    return cp1250::encode(text);
}

ComparisonFigures readComparison(const IniFile &file, const IniFile &setupDefaults,
                                 const TestDefinition &test, QStringList *problems)
{
    ComparisonFigures figures = ComparisonFigures::emptyFor(test);

    QString area;
    IniSection ownSection;
    IniSection defaultSection;
    auto read = [&](QStringView key) -> std::optional<double> {
        std::optional<QString> found = ownSection.value(key);
        const bool own = found.has_value();
        if (!own)
            found = defaultSection.value(key);
        if (!found)
            return std::nullopt;
        const QString text = *found;
        if (text.isEmpty())
            return std::nullopt;
        const std::optional<double> value = decimalWithEitherSeparator(text);
        if (value && isFacility(*value))
            return value;
        if (problems) {
            problems->append(
                QStringLiteral("W pliku %1 łatwość (%2, %3) ma wartość „%4”, która nie "
                               "jest łatwością (liczbą od 0 do 1); ta wartość została pominięta.")
                    .arg(own ? comparisonFileName() : QStringLiteral("Setup.ini"), area, key, text));
        }
        return std::nullopt;
    };

    // Each key is made once for the four sections that repeat it.
    QList<NumberedName> taskKeys;
    taskKeys.reserve(figures.tasks.size());
    for (int t = 0; t < figures.tasks.size(); ++t)
        taskKeys.append(taskKey(t));
    for (std::size_t a = 0; a < allAreas.size(); ++a) {
        area = areaName(allAreas[a]);
        const QString section = areaSection(allAreas[a]);
        ownSection = file.section(section);
        defaultSection = setupDefaults.section(section);
        for (int t = 0; t < figures.tasks.size(); ++t)
            figures.tasks[t][a] = read(taskKeys.at(t));
        for (int k = 0; k < figures.standards.size(); ++k)
            figures.standards[k][a] = read(standardKey(k));
        figures.wholeTest[a] = read(testKey());
    }
    return figures;
}

std::optional<double> parseFacilityText(const QString &text, QString *error)
{
    if (error)
        error->clear();
    QString number = text.trimmed();
    if (number.isEmpty())
        return std::nullopt;

    // The boards' reports and spreadsheets' percentage cells show facilities as "57%" (or "57 %"),
    // and a teacher pasting them should not have to retype every one.
    const bool percent = number.endsWith(u'%');
    if (percent)
        number = number.chopped(1).trimmed();
    std::optional<double> value = decimalWithEitherSeparator(number);
    if (value && percent)
        *value /= 100.0;
    if (value && isFacility(*value))
        return value;
    if (error)
        *error =
            QStringLiteral("„%1” nie jest łatwością: wpisz liczbę od 0 do 1, np. 0,57.").arg(text.trimmed());
    return std::nullopt;
}

QString facilityText(double facility)
{
    if (!std::isfinite(facility))
        return QString();
    return trimmedDecimal(facility, 2);
}

int differenceInPoints(double own, double area)
{
    // (0.3 − 0.255) · 100 comes out a hair below 4.5; a teacher working by hand writes 5. The
    // country's figures have up to four decimals, so the difference is not one of two printed
    // figures but of the values themselves.
    const double difference = own - area;
    if (std::isnan(difference))
        return 0;
    return int(roundedUnits(std::clamp(difference, -10.0, 10.0), 2));
}

QString signedPoints(int difference)
{
    if (difference > 0)
        return u'+' + QString::number(difference);
    if (difference < 0)
        return QChar(0x2212) + QString::number(-qint64(difference));
    return QStringLiteral("0");
}

bool markedBelow(int difference, int threshold)
{
    return difference <= -threshold;
}
