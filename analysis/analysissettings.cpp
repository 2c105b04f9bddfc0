#include "analysis/analysissettings.h"

#include "core/numbers.h"
#include "files/inifile.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::array<double, 4> defaultBandBounds{0.20, 0.50, 0.70, 0.90};

// Teachers write decimals with a comma as often as with a full stop.
std::optional<double> readDecimal(const IniSection &section, QStringView key)
{
    QString text = section.readString(key, QString());
    text.replace(u',', u'.');
    return parseDecimal(text);
}

void loadBandBounds(const IniFile &ini, AnalysisSettings *settings)
{
    const IniSection section = ini.section(u"PrzedzialyLatwosci");
    const std::array<QStringView, 4> keys{u"Trudne", u"UmiarkowanieTrudne", u"Latwe", u"BardzoLatwe"};
    std::array<double, 4> bounds = defaultBandBounds;
    bool usable = true;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (!section.hasKey(keys[i]))
            continue;
        const std::optional<double> value = readDecimal(section, keys[i]);
        if (!value) {
            usable = false;
            break;
        }
        // A bound finer than the printed facility could split one printed figure over two bands.
        bounds[i] = double(hundredths(*value)) / 100.0;
    }
    for (std::size_t i = 0; usable && i < bounds.size(); ++i) {
        if (bounds[i] <= 0.0 || bounds[i] > 1.0 || (i > 0 && bounds[i] <= bounds[i - 1]))
            usable = false;
    }
    if (usable) {
        settings->bandBounds = bounds;
        return;
    }
    settings->bandBounds = defaultBandBounds;
    settings->problems.append(
        QStringLiteral("Granice przedziałów łatwości w definicji testu (plik Setup.ini) są "
                       "nieprawidłowe (muszą rosnąć, od 0 do 1); program przyjmuje granice %1; %2; %3; %4.")
            .arg(polishDecimal(defaultBandBounds[0]), polishDecimal(defaultBandBounds[1]),
                 polishDecimal(defaultBandBounds[2]), polishDecimal(defaultBandBounds[3])));
}

void loadStanineBounds(const IniFile &ini, AnalysisSettings *settings)
{
    bool usable = true;
    settings->stanineBounds = readStanineTable(ini, QStringLiteral("Staniny"), &usable);
    if (!usable)
        settings->problems.append(
            QStringLiteral("Tabela staninów średniego wyniku szkoły w definicji testu (plik Setup.ini) "
                           "jest niepełna lub nieprawidłowa; stanin nie będzie pokazywany."));
}

} // namespace

QList<double> readStanineTable(const IniFile &ini, const QString &section, bool *usable)
{
    *usable = true;
    constexpr int stanines = 9;
    const IniSection keys = ini.section(section);
    bool anyKey = false;
    for (int k = 1; k <= stanines; ++k)
        anyKey = anyKey || keys.hasKey(NumberedName(u"Stanin", k));
    if (!anyKey)
        return {};

    QList<double> bounds;
    for (int k = 1; k <= stanines; ++k) {
        const NumberedName key(u"Stanin", k);
        const std::optional<double> value = keys.hasKey(key) ? readDecimal(keys, key) : std::nullopt;
        if (!value || *value < 0.0)
            break;
        // Stanine 1 is the floor of the table (usually 0) and may meet the next bound; the others
        // must rise, or a stanine could never be reached.
        if (!bounds.isEmpty() && (bounds.size() == 1 ? *value < bounds.last() : *value <= bounds.last()))
            break;
        bounds.append(*value);
    }
    if (bounds.size() == stanines)
        return bounds;
    *usable = false;
    return {};
}

QList<double> loadPupilStanineBounds(const IniFile &setup, QStringList *problems)
{
    bool usable = true;
    const QList<double> bounds = readStanineTable(setup, QStringLiteral("StaninyUczniow"), &usable);
    if (!usable && problems)
        problems->append(
            QStringLiteral("Tabela staninów wyników uczniów w definicji testu (plik Setup.ini) jest "
                           "niepełna lub nieprawidłowa; staniny uczniów nie będą pokazywane."));
    return bounds;
}

int comparisonThreshold(const IniFile &setup, QStringList *problems)
{
    const QString section = QStringLiteral("Porownanie");
    const QString key = QStringLiteral("Prog");
    if (!setup.hasKey(section, key))
        return defaultComparisonThreshold;
    const std::optional<qint32> value = parseInteger(setup.readString(section, key, QString()));
    if (value && *value >= 1 && *value <= 100)
        return *value;
    if (problems) {
        problems->append(QStringLiteral("Próg porównania z krajem w definicji testu (plik Setup.ini) musi "
                                        "być liczbą całkowitą od 1 do 100; program przyjmuje %1.")
                             .arg(defaultComparisonThreshold));
    }
    return defaultComparisonThreshold;
}

AnalysisSettings loadAnalysisSettingsFrom(const QString &iniPath)
{
    const IniFile ini = IniFile::load(iniPath);
    AnalysisSettings settings;
    loadBandBounds(ini, &settings);
    loadStanineBounds(ini, &settings);
    settings.pupilStanineBounds = loadPupilStanineBounds(ini, &settings.problems);
    settings.comparisonThreshold = comparisonThreshold(ini, &settings.problems);
    return settings;
}

int bandOf(double facility, const AnalysisSettings &settings)
{
    const qint64 value = hundredths(facility);
    int band = 0;
    for (const double bound : settings.bandBounds) {
        if (value >= hundredths(bound))
            ++band;
    }
    return band;
}

QString bandName(int band)
{
    static const std::array<QString, bandCount> names{
        QStringLiteral("bardzo trudne"), QStringLiteral("trudne"), QStringLiteral("umiarkowanie trudne"),
        QStringLiteral("łatwe"), QStringLiteral("bardzo łatwe")};
    return band >= 0 && band < bandCount ? names[std::size_t(band)] : QString();
}

QString bandNameMasculine(int band)
{
    static const std::array<QString, bandCount> names{
        QStringLiteral("bardzo trudny"), QStringLiteral("trudny"), QStringLiteral("umiarkowanie trudny"),
        QStringLiteral("łatwy"), QStringLiteral("bardzo łatwy")};
    return band >= 0 && band < bandCount ? names[std::size_t(band)] : QString();
}

QString bandColour(int band)
{
    // Pale enough for black text on top, distinct enough to tell apart when printed in colour.
    static const std::array<QString, bandCount> colours{QStringLiteral("#f4a6a6"), QStringLiteral("#f8c98f"),
                                                        QStringLiteral("#f6e58d"), QStringLiteral("#c5e8a5"),
                                                        QStringLiteral("#8fd19e")};
    // White for a band that does not exist: a blank cell rather than an invalid colour.
    return band >= 0 && band < bandCount ? colours[std::size_t(band)] : QStringLiteral("#ffffff");
}

QString bandRange(int band, const AnalysisSettings &settings)
{
    if (band < 0 || band >= bandCount)
        return QString();
    const BandBounds bounds = bandBounds(band, settings);
    return polishDecimal(bounds.lower) + u'–' + polishDecimal(bounds.upper);
}

BandBounds bandBounds(int band, const AnalysisSettings &settings)
{
    if (band < 0 || band >= bandCount)
        return {};
    return {band == 0 ? 0.0 : settings.bandBounds[std::size_t(band - 1)],
            band == bandCount - 1 ? 1.0 : settings.bandBounds[std::size_t(band)] - 0.01};
}

std::optional<int> stanineOf(double mean, const QList<double> &stanineBounds)
{
    if (stanineBounds.isEmpty())
        return std::nullopt;
    // The mean is printed with two decimals; the stanine goes with the printed figure.
    const double value = std::isnan(mean) ? 0.0 : roundedUnits(std::clamp(mean, -1e9, 1e9), 2) / 100.0;
    int stanine = 1;
    const int count = int(std::min<qsizetype>(stanineBounds.size(), 9));
    for (int k = 1; k <= count; ++k) {
        if (value >= stanineBounds[k - 1] - 1e-9)
            stanine = k;
    }
    return stanine;
}

QString stanineName(int stanine)
{
    static const std::array<QString, 9> names{
        QStringLiteral("najniższy"),    QStringLiteral("bardzo niski"),  QStringLiteral("niski"),
        QStringLiteral("niżej średni"), QStringLiteral("średni"),        QStringLiteral("wyżej średni"),
        QStringLiteral("wysoki"),       QStringLiteral("bardzo wysoki"), QStringLiteral("najwyższy")};
    return stanine >= 1 && stanine <= 9 ? names[std::size_t(stanine - 1)] : QString();
}
